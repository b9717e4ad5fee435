#pragma once
// Makes the kifu window of the main window's game: its settings as the settings file has
// them, its save and print dialogs going through the prompts like every other dialog.

#include <QString>
#include <functional>

class QWidget;

namespace tavrin {

class KifuWindow;
class Prompts;
struct GameState;
class GameRecord;

// saveFolder names the folder the save dialog opens in, asked each time it opens.
KifuWindow* makeKifuWindow(const GameState& game, const GameRecord& record, QWidget* parent, Prompts& prompts,
                           const QString& settingsPath, std::function<QString()> saveFolder);

}  // namespace tavrin
