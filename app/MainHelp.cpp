// Help and the about box.

#include "app/TfrmMain.h"

namespace tavrin {

void TfrmMain::actHelpContentsExecute() {
    // TODO: open the help at its table of contents.
}

void TfrmMain::actHelpIndexExecute() {
    // TODO: open the help at its keyword index.
}

void TfrmMain::actHelpAboutExecute() {
    // TODO: the about box, shown modally through prompts.
}

}  // namespace tavrin
