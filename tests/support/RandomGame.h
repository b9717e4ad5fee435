#pragma once
// A long game of random legal moves, for tests and benchmarks that need a record of a given
// length without the corpus.
#include <random>

#include "game/Engine.h"

namespace tavrin::test {

// `moves` random legal moves on 19 x 19 (every 40th or so a pass, never the last), with a
// title, names and a result, ended where the record ends.
inline GameState randomGame(int moves, unsigned seed) {
    GameState g;
    prcNewSetCore(g, "2026-12-07");
    g.GameName = "棋譜テスト対局";
    g.BlackPlayer = "黒川";
    g.WhitePlayer = "白井";
    g.GameComment = "B+R";
    std::mt19937 rng(seed);
    std::uniform_int_distribution<int> line(1, g.BoardSize);
    NullPainter none;
    while (g.MoveCount < moves) {
        bool played = false;
        const bool last = g.MoveCount + 1 == moves;
        for (int tries = 0; tries < (last ? 2000 : 60) && !played && (last || rng() % 40 != 0); ++tries) {
            const int column = line(rng);
            const int pos = column * g.BoardStride + line(rng);
            played = prcHitCore(g, pos, g.SideToMove, none) == HitResult::Legal;
        }
        if (!played) prcHitCore(g, PassPos, g.SideToMove, none);
    }
    return g;
}

}  // namespace tavrin::test
