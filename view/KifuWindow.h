#pragma once
// 棋譜ウィンドウ: the record's kifu figures, one at a time, with previous/next, the cutting
// options, printing and saving as PNG, SVG or PDF. A top-level window that stays open beside
// the main window; the app tells it when the record or the shown position changed.

#include <QString>
#include <QStringList>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>

#include "game/GameState.h"
#include "record/GameRecord.h"
#include "record/SetupChange.h"
#include "view/KifuFigure.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPrinter;
class QPushButton;
class QSpinBox;

namespace tavrin {

class SettingsFile;

// What the save dialog is asked.
struct KifuSaveRequest {
    QString title;
    QString proposedName;  // file name without folder
    QStringList filters;   // "PDF文書 (*.pdf)", …
    QString defaultSuffix;
};

class KifuWindow : public QWidget {
    Q_OBJECT
public:
    // The file name to save to, or nothing when the user cancelled.
    using SaveChooser = std::function<std::optional<QString>(const KifuSaveRequest&)>;
    // Sets up the printer (the system's print dialog); false when the user cancelled. The
    // printer's from/to pages hold the pages there are.
    using PrintChooser = std::function<bool(QPrinter&)>;

    // objectName "KifuWindow", title "棋譜ウィンドウ"; a window of its own even with a parent.
    // With the record game belongs to: a variation shown is cut as 参考図 from its branch, and
    // the save dialog proposes the name of the record's file.
    explicit KifuWindow(const GameState& game, QWidget* parent = nullptr, const GameRecord* record = nullptr);
    ~KifuWindow() override;

    void setSaveChooser(SaveChooser chooser);
    void setPrintChooser(PrintChooser chooser);

    // Call after any change of the record or of the shown position: the figures are cut anew
    // (at once when shown, else when the window is next shown) and, when the window follows
    // the shown position, the figure of the last move on the board is shown.
    void followRecord();
    // Shows the figure holding record move `move` (0: the first figure).
    void showFigureOfMove(int move);
    // Shows figure k (1-based), held to the figures there are.
    void showFigure(int k);

    // Size and options in the [KifuWindow] section.
    void readSettings(const SettingsFile& ini);
    void writeSettings(SettingsFile& ini) const;

    int figureCount() const;
    int shownFigure() const { return Shown; }
    const KifuFigureDrawing& drawing() const;

    // Writes to path by its extension: .png (the shown figure, the width of the PNG box),
    // .svg (the shown figure) or .pdf (every figure on A4). Reports in the status line.
    bool saveTo(const QString& path);
    // Prints every figure (or the pages chosen) on printer.
    bool printOn(QPrinter& printer);

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void showEvent(QShowEvent* e) override;

private:
    void rebuild();
    void updateControls();
    void save();
    void print();
    void report(const QString& text);
    int movesPerFigure() const;
    int perPage() const;

    const GameState& Game;
    const GameRecord* Record;
    std::unique_ptr<KifuFigureDrawing> Drawing;
    bool Stale = true;  // the figures are not those of the record any more
    int Shown = 1;
    SaveChooser ChooseSave;
    PrintChooser ChoosePrint;

    QWidget* Canvas = nullptr;
    QPushButton* btnPrev = nullptr;
    QPushButton* btnNext = nullptr;
    QLabel* lblFigure = nullptr;
    QComboBox* cmbPer = nullptr;
    QCheckBox* chkRestart = nullptr;
    QCheckBox* chkCoords = nullptr;
    QCheckBox* chkFollow = nullptr;
    QComboBox* cmbPerPage = nullptr;
    QSpinBox* spnPngWidth = nullptr;
    QPushButton* btnPrint = nullptr;
    QPushButton* btnSave = nullptr;
    QLabel* lblStatus = nullptr;
};

}  // namespace tavrin
