#pragma once
// A rough position judgement without an engine: who is likely to own each point and who
// leads by about how much. Pure C++ and quick enough to run on every shown position.
//
// How: every stone radiates influence over the board by repeated dilation (a point grows
// by the number of its neighbours already on its side, as long as no neighbour leans the
// other way), then erosion wears thin and contested areas away (a point loses one for each
// neighbour that is not on its side; the board's edge does not wear). What keeps a sign
// after both is that side's area. Stones count as alive, except a group (a colour's stones
// joined through empty points, not through the other colour's stones) with fewer than two
// eyes and fewer than two empty points in its own side's area: it is taken as dead,
// its stones become prisoners and the board is judged again without them.
//
// This is honest and rough: it sees walls, corners and open frameworks, not life and death,
// ko or the reading a real count needs. The window says "about".

#include <array>
#include <cstdint>

#include "game/GameState.h"

namespace tavrin {

struct PositionEstimate {
    // By board position: Black or White for the side likely to own the point (a stone
    // counted dead belongs to the side around it), 0 for neither or off the board.
    std::array<std::int8_t, BoardCells> Owner{};
    int BlackArea = 0;  // empty points and dead white stones Black likely owns
    int WhiteArea = 0;
    int BlackPrisoners = 0;  // CapturedCount[Black] + white stones counted dead
    int WhitePrisoners = 0;
    // Black's lead under Japanese counting, in tenths, komi included: positive when Black
    // leads, negative when White does.
    int LeadTenths = 0;
};

// Judges g's Board with its CapturedCount and KomiTenths.
PositionEstimate fncEstimate(const GameState& g);

}  // namespace tavrin
