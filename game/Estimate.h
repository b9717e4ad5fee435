#pragma once
// A rough position judgement without an engine: who is likely to own each point and who
// leads by about how much. Pure C++ and quick enough to run on every shown position.
//
// How: Zobrist's influence with Bouzy's 5/21 operators. Every stone radiates influence by
// five dilations (a point grows by the number of its neighbours already on its side, as long
// as no neighbour leans the other way), then twenty-one erosions wear away all but what is
// nearly enclosed (a point loses one for each neighbour that is not on its side; the board's
// edge does not wear). What keeps a sign is that side's area. A group of stones with fewer
// than two eyes that would leave only the other side's area behind if taken off the board is
// counted dead, and the board is judged again without it. The count is by area: a side's
// living stones and the points it owns, komi given to White.
//
// This is honest and rough: it sees walls, corners and closed areas, not open frameworks,
// life and death in a fight, ko or the reading a real count needs. The window says "about".

#include <array>
#include <cstdint>

#include "game/GameState.h"

namespace tavrin {

struct PositionEstimate {
    // By board position: Black or White for the side likely to own the point (a stone
    // counted dead belongs to the side around it), 0 for neither or off the board.
    std::array<std::int8_t, BoardCells> Owner{};
    int BlackArea = 0;  // Black's living stones and the points it owns, dead white stones among them
    int WhiteArea = 0;
    int BlackDead = 0;  // black stones counted dead
    int WhiteDead = 0;
    // Black's lead in tenths by area, komi included: positive when Black leads, negative
    // when White does.
    int LeadTenths = 0;
};

// Judges g's Board with its KomiTenths.
PositionEstimate fncEstimate(const GameState& g);

}  // namespace tavrin
