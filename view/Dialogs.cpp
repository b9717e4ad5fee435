#include "view/Dialogs.h"

#include "base/Version.h"
#include "view/UnitAbout.h"
#include "view/UnitGameInfo.h"
#include "view/UnitGameNew.h"

namespace tavrin {

namespace {

// Runs a dialog on a copy of the game: the game itself is never written.
template <typename Dialog>
std::optional<GameInfo> runOn(Prompts& prompts, QWidget* parent, const GameState& game, bool offerComputer) {
    GameState copy = game;
    Dialog dlg(copy, parent);
    if (offerComputer) dlg.offerComputer();
    prompts.exec(dlg);
    if (!dlg.Accepted()) return std::nullopt;
    return infoOf(copy);
}

}  // namespace

std::optional<GameInfo> runGameNewDialog(Prompts& prompts, QWidget* parent, const GameState& game, bool offerComputer) {
    return runOn<TDlgGameNew>(prompts, parent, game, offerComputer);
}

std::optional<GameInfo> runGameInfoDialog(Prompts& prompts, QWidget* parent, const GameState& game,
                                          bool offerComputer) {
    return runOn<TDlgGameInfo>(prompts, parent, game, offerComputer);
}

void showAboutBox(Prompts& prompts, QWidget* parent) {
    TAboutBox box(QString::fromStdString(GetVersionInfo("FileVersion")), parent);
    prompts.exec(box);
}

}  // namespace tavrin
