#pragma once
// The engine's review of a game (棋譜解析): what it judged at each position of a line, the moves
// that lost most for the side that played them, and how a judgement is kept in its node.
// Pure C++; the engine that judges lives elsewhere.

#include <string_view>
#include <vector>

#include "record/RecordTree.h"

namespace tavrin {

// The engine's judgement of one position of a line: index 0 is the start position, k the
// position after move k (its node is the one holding move k).
struct Judgement {
    bool judged = false;
    // Black's lead in points at this position (after this node's move); + = Black ahead. 0 and
    // no figure when hasLead is false.
    double lead = 0;
    // Black's win rate 0..1; -1 when the engine gives none.
    double winrate = -1;
    // The engine's preferred move for the side to move at the position before this node's move:
    // a board position (col * BoardStride + row, as GameState keeps it), PassPos, or 0 none.
    int better = 0;
    // Black's lead after that better move, whenever better is not 0; for a move that lost no
    // lead the engine need not be asked, and it is the lead after the move played.
    double betterLead = 0;
    // Black's win rate after that better move when the engine gives win rates (-1 none).
    double betterWinrate = -1;
    // False for an engine that tells win rates alone (lz-analyze): lead and betterLead stay 0,
    // and such a judgement's moves are marked by the win rate they lost (see markedMoves).
    bool hasLead = true;

    friend bool operator==(const Judgement&, const Judgement&) = default;
};

// A move whose lead dropped most for the side that played it. Where the judgements before and
// after the move do not both tell a lead, loss and gain are percent points of that side's win
// rate instead.
struct MarkedMove {
    int move = 0;     // its number on the line (1-based)
    int colour = 0;   // Black or White
    double loss = 0;  // points the lead dropped for that side (> 0)
    int better = 0;   // the engine's preferred move instead, when it judges it better (0 none)
    double gain = 0;  // points the better move keeps over the move played, for that side (> 0)
    friend bool operator==(const MarkedMove&, const MarkedMove&) = default;
};

// The moves of a line marked as losses: for each side the worst `worstPerSide` drops, and
// every drop of more than threshold points, in the order of the line. line[k] is the
// judgement after move k (line[0] the start); colours[k] the colour of move k (colours[0] is
// not read). A move counts when the positions before and after it were both judged, by their
// leads, or by their win rates when one of them has none (threshold then in percent points).
std::vector<MarkedMove> markedMoves(const std::vector<Judgement>& line, const std::vector<int>& colours,
                                    double threshold, int worstPerSide = 3);

// The points the side of colour gains (+) or loses (-) from lead `before` to lead `after`.
double leadChangeFor(int colour, double before, double after);

// ---- Kept in the record ----
// A judged node holds TVL (Black's lead, points, '.' decimal); when the engine named a better
// move, TVB (its SGF point, TVB[] a pass) and TVG (its gain for the side that moved); when the
// engine gives a win rate, SBKV (Black's win rate in percent, as other programs read it). A
// judgement without a lead has no TVL: SBKV alone makes it, and its TVG is the better move's
// gain in percent points of the win rate.

// Identifiers of the review's properties.
inline constexpr std::string_view ReviewIdents[] = {"TVL", "TVB", "TVG", "SBKV"};

// Replaces the review's properties of node n by j's (none when j is not judged). A better move
// is kept only in a node holding a move (B or W), whose side its gain is counted for. The
// caller touches n first when the tree keeps a journal.
void writeJudgement(RecordTree& tree, RecordTree::NodeId n, const Judgement& j, int boardSize);
// The judgement node n holds (not judged when it has no readable TVL).
Judgement readJudgement(const RecordTree& tree, RecordTree::NodeId n, int boardSize);

}  // namespace tavrin
