// Help and the about box.

#include "app/TfrmMain.h"
#include "view/Dialogs.h"
#include "view/useHTMLHelp.h"

namespace tavrin {

// Missing help pages are the help window's business; the outcome is not examined here.
void TfrmMain::actHelpContentsExecute() { openHelp(this, HelpPage::Contents); }

void TfrmMain::actHelpIndexExecute() { openHelp(this, HelpPage::Index); }

void TfrmMain::actHelpAboutExecute() { showAboutBox(prompts, this); }

}  // namespace tavrin
