#pragma once
// What the game-information dialogs set: the game's title, comment, players, level, board
// size, handicap and komi, as one value taken from a game and given back to it.

#include <string>

#include "game/GameState.h"

namespace tavrin {

struct GameInfo {
    std::string GameName;
    std::string GameComment;
    std::string BlackPlayer;
    std::string WhitePlayer;
    bool BlackPlayerKind = true;
    bool WhitePlayerKind = true;
    int Level = 2;
    int BoardSize = 19;
    int HandicapCount = 0;
    int KomiTenths = 65;
    bool KomiGiven = true;

    bool operator==(const GameInfo&) const = default;
};

inline GameInfo infoOf(const GameState& g) {
    return {g.GameName, g.GameComment, g.BlackPlayer,   g.WhitePlayer, g.BlackPlayerKind, g.WhitePlayerKind,
            g.Level,    g.BoardSize,   g.HandicapCount, g.KomiTenths,  g.KomiGiven};
}

inline void setInfo(GameState& g, const GameInfo& i) {
    g.GameName = i.GameName;
    g.GameComment = i.GameComment;
    g.BlackPlayer = i.BlackPlayer;
    g.WhitePlayer = i.WhitePlayer;
    g.BlackPlayerKind = i.BlackPlayerKind;
    g.WhitePlayerKind = i.WhitePlayerKind;
    g.Level = i.Level;
    g.BoardSize = i.BoardSize;
    g.HandicapCount = i.HandicapCount;
    g.KomiTenths = i.KomiTenths;
    g.KomiGiven = i.KomiGiven;
}

}  // namespace tavrin
