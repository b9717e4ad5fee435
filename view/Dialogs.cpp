#include "view/Dialogs.h"

#include "app/Version.h"
#include "view/UnitAbout.h"
#include "view/UnitGameInfo.h"
#include "view/UnitGameNew.h"

namespace tavrin {

bool runGameNewDialog(Prompts& prompts, QWidget* parent, GameState& game) {
    TDlgGameNew dlg(game, parent);
    prompts.exec(dlg);
    return dlg.Accepted();
}

bool runGameInfoDialog(Prompts& prompts, QWidget* parent, GameState& game) {
    TDlgGameInfo dlg(game, parent);
    prompts.exec(dlg);
    return dlg.Accepted();
}

void showAboutBox(Prompts& prompts, QWidget* parent) {
    TAboutBox box(QString::fromStdString(GetVersionInfo("FileVersion")), parent);
    prompts.exec(box);
}

}  // namespace tavrin
