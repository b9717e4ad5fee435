#pragma once
// Entry points of the dialogs for the main window's handlers. Every dialog is created for one
// showing, shown through Prompts::exec and destroyed; on OK it gives the game information
// chosen, which the window gives to the game.

#include <optional>

#include "game/GameInfo.h"
#include "game/GameState.h"
#include "view/Prompts.h"
#include "view/useHTMLHelp.h"

class QWidget;

namespace tavrin {

// 新規対局 for game: on OK the title, comment, names, kinds, level, board size, handicap and
// komi chosen; Cancel, Esc or closing: nothing. With offerComputer the player kinds (and the
// level) can be chosen.
std::optional<GameInfo> runGameNewDialog(Prompts& prompts, QWidget* parent, const GameState& game,
                                         bool offerComputer = false);

// 対局情報 for game: on OK the game's information with the title, comment, names, kinds, level
// and komi chosen; otherwise nothing.
std::optional<GameInfo> runGameInfoDialog(Prompts& prompts, QWidget* parent, const GameState& game,
                                          bool offerComputer = false);

// Tavrinのバージョン情報, with the version line cut from GetVersionInfo("FileVersion").
void showAboutBox(Prompts& prompts, QWidget* parent);

}  // namespace tavrin
