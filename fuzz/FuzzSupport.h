#pragma once
// Checks shared by the fuzz targets: a broken expectation aborts, which libFuzzer reports
// as a crash with the input that caused it.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "formats/RecordLoad.h"
#include "formats/TextBuffer.h"
#include "game/Engine.h"
#include "game/GameState.h"

#define FUZZ_EXPECT(cond)                                                                       \
    do {                                                                                        \
        if (!(cond)) {                                                                          \
            std::fprintf(stderr, "%s:%d: expectation failed: %s\n", __FILE__, __LINE__, #cond); \
            std::abort();                                                                       \
        }                                                                                       \
    } while (0)

namespace tavrin::fuzz {

// The game every input is read into: a set-up game, kept from run to run like the window's.
inline GameState& game() {
    static GameState g = [] {
        GameState s;
        s.AppTag = "Tavrin:0.5.1.20";
        prcNewSetCore(s, "2026-12-06");
        return s;
    }();
    return g;
}

// A refusal names its reason and leaves the game as it was; a load ends the game at its
// last move.
inline void expectOutcome(const LoadResult& r, const GameState& before, const GameState& g) {
    if (!r.ok()) {
        FUZZ_EXPECT(!r.reason.empty());
        FUZZ_EXPECT(g.MoveCount == before.MoveCount && g.Board == before.Board && g.MovePos == before.MovePos);
        return;
    }
    FUZZ_EXPECT(g.CurrentMove == g.MoveCount + 1 && g.GameOver);
}

// Reads the fuzz input with one of the readers into game() and checks the outcome; buf keeps
// the lines read.
template <typename Reader>
LoadResult readInput(const uint8_t* data, size_t size, Reader read, const char* name, TextBuffer& buf) {
    GameState& g = game();
    buf.setFileBytes(std::string_view(reinterpret_cast<const char*>(data), size));
    const GameState before = g;
    const LoadResult r = read(g, buf, name);
    expectOutcome(r, before, g);
    return r;
}

}  // namespace tavrin::fuzz
