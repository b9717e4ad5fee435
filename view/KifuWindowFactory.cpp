#include "view/KifuWindowFactory.h"

#include <QFile>
#include <QPrintDialog>
#include <QPrinter>

#include "base/SettingsFile.h"
#include "view/KifuWindow.h"
#include "view/Prompts.h"

namespace tavrin {

KifuWindow* makeKifuWindow(const GameState& game, const GameRecord& record, QWidget* parent, Prompts& prompts,
                           const QString& settingsPath, std::function<QString()> saveFolder) {
    auto* window = new KifuWindow(game, parent, &record);
    SettingsFile ini;
    ini.load(QFile::encodeName(settingsPath).toStdString());
    window->readSettings(ini);
    window->setSaveChooser([window, &prompts, saveFolder = std::move(saveFolder)](const KifuSaveRequest& r) {
        return prompts.saveFile(window, SaveRequest{r.title, saveFolder(), r.proposedName, r.filters, r.defaultSuffix});
    });
    window->setPrintChooser([window, &prompts](QPrinter& printer) {
        QPrintDialog d(&printer, window);
        if (printer.toPage() > 0) d.setMinMax(1, printer.toPage());
        d.setOption(QAbstractPrintDialog::PrintPageRange);
        return prompts.exec(d) == QDialog::Accepted;
    });
    return window;
}

}  // namespace tavrin
