#include <QApplication>

#include "app/AppSetup.h"
#include "app/TfrmMain.h"
#include "view/Prompts.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tavrin"));
    tavrin::installJapanese(app);
    tavrin::installFontSubstitutions();

    tavrin::QtPrompts prompts;
    tavrin::MainOptions options;
    const QStringList args = QApplication::arguments();
    options.arguments = args.mid(1);
    tavrin::TfrmMain frmMain(prompts, options);
    frmMain.show();
    return app.exec();
}
