#pragma once
// Counting a finished game under Japanese rules: territory and prisoners, with stones the
// players (or an engine) have marked dead or in seki. Pure C++; the window draws what it
// answers and writes the result into the game.
//
// The count:
//  - Dead stones are taken off: each is a prisoner of the other colour, and its point is
//    empty for the regions below.
//  - A region is a set of orthogonally connected points that are empty or hold dead stones.
//    It is the territory of one colour when every live stone around it is of that colour,
//    dame when live stones of both colours touch it, and nobody's when it touches a stone
//    in seki (the shared liberties and the eyes of groups in seki count for neither side)
//    or no live stone at all (an empty board).
//  - Black's total is territory + prisoners; White's the same plus komi.
//  - Prisoners are the stones each side captured during the game (CapturedCount) plus the
//    dead stones of the other colour.

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "game/GameState.h"

namespace tavrin {

enum class StoneStatus : std::uint8_t { Alive, Dead, Seki };

// A status for every board position; only the entries of points holding a stone are read.
// A value-initialised map marks every stone alive.
using StoneStatusMap = std::array<StoneStatus, BoardCells>;

// What a point counts as once the game is counted.
enum class PointKind : std::uint8_t {
    Stone,           // a live stone (alive or in seki)
    BlackTerritory,  // includes points of dead white stones inside it
    WhiteTerritory,
    Dame,     // region touching live stones of both colours
    Seki,     // region touching a stone in seki
    Neutral,  // region touching no live stone
};

// Black or White for territory, 0 for anything else.
int territoryOwner(PointKind kind);

struct SideScore {
    int Territory = 0;
    int Prisoners = 0;
};

struct ScoreCount {
    std::array<SideScore, 3> Side{};  // [Black], [White]; [0] unused
    int KomiTenths = 0;
    int BlackTenths = 0;   // territory + prisoners, in tenths of a point
    int WhiteTenths = 0;   // territory + prisoners + komi, in tenths
    int MarginTenths = 0;  // BlackTenths - WhiteTenths
    std::string Result;    // "B+3.5", "W+12", "0" (jigo)
    int DamePoints = 0;
    int SekiPoints = 0;                          // empty points counted for nobody because of a seki
    std::array<PointKind, BoardCells> Points{};  // by board position; border cells Stone
};

// Counts g's Board (size, stride), CapturedCount and KomiTenths with the stones' statuses.
ScoreCount fncCountScore(const GameState& g, const StoneStatusMap& status);

// The result in the record's form for Black's margin in tenths: "B+3.5", "W+0.5", "B+2"
// (no ".0"), "0" for a margin of 0.
std::string resultText(int marginTenths);

// Tenths as the shortest plain decimal: "6.5", "0", "7", "-0.5"; the komi of the SGF KM
// property and of the engine's komi command.
std::string tenthsText(int tenths);

// The stones of the chain at pos (same colour, orthogonally connected), in ascending order;
// empty when pos holds no stone.
std::vector<int> fncChainOf(const GameState& g, int pos);

// The stones a click on pos stands for, in ascending order; empty when pos holds no stone.
// Rule: starting from the clicked stone, spread to every neighbouring point that is not a
// live stone (alive or seki) of the other colour, that is, over the stone's own colour,
// empty points and the other colour's dead stones. The answer is every stone of the
// clicked colour reached: its chain plus the chains of its colour that share an empty
// region with it, bounded by the other colour's live stones. Stones that share eye space
// live or die together, so one click marks a whole dead group however many chains a
// false eye or a cutting point splits it into.
std::vector<int> fncStoneGroup(const GameState& g, const StoneStatusMap& status, int pos);

// Left click: the group of the stone at pos becomes Dead, or Alive when the stone was Dead.
void prcToggleDead(const GameState& g, StoneStatusMap& status, int pos);

// Right click: the group of the stone at pos becomes Seki, or Alive when the stone was Seki.
void prcToggleSeki(const GameState& g, StoneStatusMap& status, int pos);

// Statuses proposed from an engine's lists (for GNU Go `final_status_list dead` / `seki`,
// vertices already turned into positions): every stone Alive, the chains of the dead
// positions Dead, then those of the seki positions Seki. Positions without a stone are
// ignored, so a list naming one stone per chain works as well as one naming them all.
StoneStatusMap fncProposeStatus(const GameState& g, std::span<const int> dead, std::span<const int> seki);

}  // namespace tavrin
