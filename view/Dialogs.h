#pragma once
// Entry points of the dialogs for the main window's handlers. Every dialog is created for one
// showing, shown through Prompts::exec and destroyed; the game state is written only on OK.

#include "game/GameState.h"
#include "view/Prompts.h"
#include "view/useHTMLHelp.h"

class QWidget;

namespace tavrin {

// 新規対局: on OK the title, comment, names, kinds, level, board size, handicap and komi are
// in the game state and the result is true; Cancel, Esc or closing: false, nothing changed.
// With offerComputer the player kinds (and the level) can be chosen.
bool runGameNewDialog(Prompts& prompts, QWidget* parent, GameState& game, bool offerComputer = false);

// 対局情報: on OK the title, comment, names, kinds and komi are in the game state and the
// result is true; otherwise false and nothing changed.
bool runGameInfoDialog(Prompts& prompts, QWidget* parent, GameState& game, bool offerComputer = false);

// Tavrinのバージョン情報, with the version line cut from GetVersionInfo("FileVersion").
void showAboutBox(Prompts& prompts, QWidget* parent);

}  // namespace tavrin
