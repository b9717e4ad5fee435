#include "record/KifuFigures.h"

#include <algorithm>
#include <array>
#include <climits>

#include "game/BoardPainter.h"
#include "game/Engine.h"

namespace tavrin {

namespace {

// What a point of the figure shows.
struct PointShown {
    int Stone = -1;  // index in KifuFigure::Stones; -1: nothing
};

bool onBoard(const GameState& g, int pos) {
    return pos > 0 && pos <= g.BoardLast && pos < BoardCells && g.Board[static_cast<size_t>(pos)] >= 0;
}

}  // namespace

int figureOfMove(const KifuFigureSet& set, int move) {
    for (const KifuFigure& f : set.Figures)
        if (move <= f.LastMove) return f.Index;
    return std::max(1, static_cast<int>(set.Figures.size()));
}

std::string figureLabelText(int label) {
    std::string out;
    for (int n = label; n > 0; n = (n - 1) / 26) out.insert(out.begin(), static_cast<char>('A' + (n - 1) % 26));
    return out;
}

std::string figureNoteText(const FigureNote& note) {
    const std::string number = std::to_string(note.Number);
    switch (note.Kind) {
        case FigureNoteKind::SameNumber: return number + " = " + std::to_string(note.AtNumber);
        case FigureNoteKind::StartStone: return number + " = " + figureLabelText(note.AtLabel);
        case FigureNoteKind::Pass: break;
    }
    return number + " パス";
}

KifuFigureSet cutKifuFigures(const GameState& g, int movesPerFigure, bool restartNumbers, int branchAfter,
                             const SetupChanges& later) {
    KifuFigureSet set;
    set.BoardSize = g.BoardSize;
    set.BoardStride = g.BoardStride;
    set.MovesPerFigure = std::max(0, movesPerFigure);
    set.RestartNumbers = restartNumbers;

    // Moves beyond the record's room are not the record's; a damaged count reads as none.
    const int moves = std::clamp(g.MoveCount, 0, RecordCapacity - std::max(0, g.HandicapCount));
    const int branch = branchAfter > 0 && branchAfter < moves ? branchAfter : 0;
    set.BranchAfter = branch;
    // The figures' first moves: every per moves of the line up to the branch, then every per
    // moves of the variation from the branch on.
    std::vector<int> firsts;
    const int own = branch > 0 ? branch : moves;
    const int per = set.MovesPerFigure > 0 ? set.MovesPerFigure : std::max(1, own);
    for (int m = 1; m <= own || firsts.empty(); m += per) firsts.push_back(m);
    if (branch > 0) {
        const int perVariation = set.MovesPerFigure > 0 ? set.MovesPerFigure : moves - branch;
        for (int m = branch + 1; m <= moves; m += perVariation) firsts.push_back(m);
    }
    const int count = static_cast<int>(firsts.size());

    // A copy replayed from the start gives each figure's start position; the shown game is
    // left where it is.
    GameState work = g;
    NullPainter none;
    prcKifBack(work, 1, none);
    if (!later.empty()) {
        // Taking the moves back leaves the setup between them: the start is the record's
        // first entries alone.
        for (int pos = 1; pos <= work.BoardLast && pos < BoardCells; ++pos)
            if (work.Board[static_cast<size_t>(pos)] > 0) work.Board[static_cast<size_t>(pos)] = 0;
        for (int e = 1; e <= work.HandicapCount && e <= RecordCapacity; ++e)
            if (onBoard(work, work.MovePos[static_cast<size_t>(e)]))
                work.Board[static_cast<size_t>(work.MovePos[static_cast<size_t>(e)])] =
                    work.MoveColor[static_cast<size_t>(e)];
    }
    size_t applied = 0;  // setup on work's board so far
    const auto setupBefore = [&](int m) {
        for (; applied < later.size() && later[applied].BeforeMove <= m; ++applied)
            if (onBoard(work, later[applied].Pos))
                work.Board[static_cast<size_t>(later[applied].Pos)] = later[applied].Colour;
    };

    set.Figures.resize(static_cast<size_t>(count));
    for (int k = 1; k <= count; ++k) {
        KifuFigure& fig = set.Figures[static_cast<size_t>(k - 1)];
        fig.Index = k;
        fig.FirstMove = firsts[static_cast<size_t>(k - 1)];
        fig.LastMove = k < count ? firsts[static_cast<size_t>(k)] - 1 : moves;
        if (branch > 0 && fig.FirstMove > branch) fig.Reference = k - figureOfMove(set, branch);
        for (const int to = std::min(fig.FirstMove, work.MoveCount + 1); work.CurrentMove < to;) {
            setupBefore(work.CurrentMove);
            prcKifNext(work, work.CurrentMove + 1, none);
        }
        setupBefore(fig.FirstMove);

        std::array<PointShown, BoardCells> shown{};
        for (int pos = 1; pos <= work.BoardLast && pos < BoardCells; ++pos) {
            const int colour = work.Board[static_cast<size_t>(pos)];
            if (colour != Black && colour != White) continue;
            shown[static_cast<size_t>(pos)].Stone = static_cast<int>(fig.Stones.size());
            fig.Stones.push_back({pos, colour, 0, 0, 0});
        }

        // The setup within the figure (after the last move too, in the last figure), as it
        // comes; work stays at the figure's start.
        size_t inside = applied;
        const auto setupWithin = [&](int m) {
            for (; inside < later.size() && later[inside].BeforeMove <= m; ++inside) {
                const SetupChange& c = later[inside];
                if (!onBoard(work, c.Pos)) continue;
                int& at = shown[static_cast<size_t>(c.Pos)].Stone;
                if (c.Colour != 0 && at < 0) {
                    at = static_cast<int>(fig.Stones.size());
                    fig.Stones.push_back({c.Pos, c.Colour, 0, 0, 0});
                } else if (c.Colour == 0 && at >= 0 && fig.Stones[static_cast<size_t>(at)].Move == 0 &&
                           fig.Stones[static_cast<size_t>(at)].Label == 0) {
                    fig.Stones.erase(fig.Stones.begin() + at);
                    for (PointShown& s : shown)
                        if (s.Stone > at) --s.Stone;
                    at = -1;
                }
            }
        };
        int labels = 0;
        for (int m = fig.FirstMove; m <= fig.LastMove; ++m) {
            setupWithin(m);
            const size_t entry = static_cast<size_t>(g.HandicapCount + m);
            const int pos = g.MovePos[entry];
            const int colour = g.MoveColor[entry];
            const int number = restartNumbers ? m - fig.FirstMove + 1 : fig.Reference > 0 ? m - branch : m;
            FigureNote note{FigureNoteKind::Pass, m, number, colour, PassPos, 0, 0};
            if (!onBoard(work, pos)) {
                fig.Notes.push_back(note);
            } else if (const int at = shown[static_cast<size_t>(pos)].Stone; at >= 0) {
                FigureStone& there = fig.Stones[static_cast<size_t>(at)];
                note.Pos = pos;
                if (there.Move > 0) {
                    note.Kind = FigureNoteKind::SameNumber;
                    note.AtNumber = there.Number;
                } else {
                    // The stone that stood here at the start was captured during the figure:
                    // it gets a letter the note can name.
                    if (there.Label == 0) there.Label = ++labels;
                    note.Kind = FigureNoteKind::StartStone;
                    note.AtLabel = there.Label;
                }
                fig.Notes.push_back(note);
            } else {
                shown[static_cast<size_t>(pos)].Stone = static_cast<int>(fig.Stones.size());
                fig.Stones.push_back({pos, colour, m, number, 0});
            }
            if (m == moves) {
                // A figure may hold no stone at all (a record of passes on an empty board).
                if (!fig.Stones.empty() && fig.Stones.back().Move == m)
                    fig.LastMovePos = pos;
                else
                    fig.LastMoveNote = static_cast<int>(fig.Notes.size()) - 1;
            }
        }
        if (k == count) setupWithin(INT_MAX);
    }
    return set;
}

}  // namespace tavrin
