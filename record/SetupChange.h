#pragma once
// A stone a record sets up after its start, or a point it empties there (a problem's or a
// lesson's setup node between the moves): what the moves alone do not put on the board.

#include <vector>

namespace tavrin {

struct SetupChange {
    int BeforeMove = 1;  // it stands before this move of the line (after the moves before it)
    int Pos = 0;
    int Colour = 0;  // Black or White; 0: the point is emptied
};

// In the line's order: BeforeMove never decreases.
using SetupChanges = std::vector<SetupChange>;

}  // namespace tavrin
