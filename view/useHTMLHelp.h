#pragma once
// The program's help: Japanese HTML pages shipped beside the executable (folder "help"),
// shown in a help window of the program at the contents page or the keyword index.

#include <QString>

class QWidget;

namespace tavrin {

enum class HelpPage { Contents, Index };

// The help folder: "help" beside the executable, else the installed share/tavrin/help;
// empty when neither exists.
QString helpFolder();

// Opens (or raises) the non-modal help window "helpWindow" at the page. False, and nothing
// shown, when the help pages are missing.
bool openHelp(QWidget* parent, HelpPage page);
bool openHelp(QWidget* parent, HelpPage page, const QString& folder);

}  // namespace tavrin
