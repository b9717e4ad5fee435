#include "view/Dialogs.h"

#include "base/Version.h"
#include "view/UnitAbout.h"
#include "view/UnitGameInfo.h"
#include "view/UnitGameNew.h"

namespace tavrin {

bool runGameNewDialog(Prompts& prompts, QWidget* parent, GameState& game, bool offerComputer) {
    TDlgGameNew dlg(game, parent);
    if (offerComputer) dlg.offerComputer();
    prompts.exec(dlg);
    return dlg.Accepted();
}

bool runGameInfoDialog(Prompts& prompts, QWidget* parent, GameState& game, bool offerComputer) {
    TDlgGameInfo dlg(game, parent);
    if (offerComputer) dlg.offerComputer();
    prompts.exec(dlg);
    return dlg.Accepted();
}

void showAboutBox(Prompts& prompts, QWidget* parent) {
    TAboutBox box(QString::fromStdString(GetVersionInfo("FileVersion")), parent);
    prompts.exec(box);
}

}  // namespace tavrin
