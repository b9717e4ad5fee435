#include "view/KifuWindow.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QSpinBox>
#include <algorithm>

#include "base/SettingsFile.h"
#include "record/KifuFigures.h"

namespace tavrin {

namespace {

constexpr char Section[] = "KifuWindow";
constexpr int DefaultWidth = 620;
constexpr int DefaultHeight = 800;
constexpr int DefaultPngWidth = 1200;

// The paper the figure is painted on; it takes the keys of the window.
class FigureCanvas final : public QWidget {
public:
    FigureCanvas(const std::function<void(QPainter&, const QRect&)>& painter, QWidget* parent)
        : QWidget(parent), Paint(painter) {
        setObjectName(QStringLiteral("KifuCanvas"));
        setAttribute(Qt::WA_OpaquePaintEvent);
        setFocusPolicy(Qt::StrongFocus);
        setMinimumSize(200, 200);
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        Paint(p, rect());
    }

private:
    std::function<void(QPainter&, const QRect&)> Paint;
};

QCheckBox* checkBox(const char* name, const QString& text, const QString& tip, QWidget* parent) {
    auto* c = new QCheckBox(text, parent);
    c->setObjectName(QString::fromLatin1(name));
    c->setToolTip(tip);
    c->setStatusTip(tip);
    return c;
}

QPushButton* button(const char* name, const QString& text, const QString& tip, QWidget* parent) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setToolTip(tip);
    b->setStatusTip(tip);
    b->setAutoDefault(false);
    return b;
}

}  // namespace

KifuWindow::KifuWindow(const GameState& game, QWidget* parent, const GameRecord* record)
    : QWidget(parent, Qt::Window), Game(game), Record(record) {
    setObjectName(QStringLiteral("KifuWindow"));
    setWindowTitle(QStringLiteral("棋譜ウィンドウ"));
    resize(DefaultWidth, DefaultHeight);

    btnPrev = button("btnKifuPrev", QStringLiteral("◀ 前の譜"), QStringLiteral("前の譜を表示する"), this);
    btnNext = button("btnKifuNext", QStringLiteral("次の譜 ▶"), QStringLiteral("次の譜を表示する"), this);
    lblFigure = new QLabel(this);
    lblFigure->setObjectName(QStringLiteral("lblKifuFigure"));
    lblFigure->setAlignment(Qt::AlignCenter);

    cmbPer = new QComboBox(this);
    cmbPer->setObjectName(QStringLiteral("cmbKifuPer"));
    cmbPer->setToolTip(QStringLiteral("１つの譜に載せる手数"));
    for (int per : FigureMovesChoices)
        cmbPer->addItem(per > 0 ? QStringLiteral("%1手ごと").arg(per) : QStringLiteral("全部"), per);
    cmbPer->setCurrentIndex(cmbPer->findData(DefaultFigureMoves));
    chkRestart = checkBox("chkKifuRestart", QStringLiteral("譜ごとに1から"),
                          QStringLiteral("手順の番号を譜ごとに1から振る"), this);
    chkCoords = checkBox("chkKifuCoords", QStringLiteral("座標"), QStringLiteral("盤の座標を表示する"), this);
    chkFollow = checkBox("chkKifuFollow", QStringLiteral("局面に合わせる"),
                         QStringLiteral("盤に表示中の手を含む譜を表示する"), this);
    chkFollow->setChecked(true);

    cmbPerPage = new QComboBox(this);
    cmbPerPage->setObjectName(QStringLiteral("cmbKifuPerPage"));
    cmbPerPage->setToolTip(QStringLiteral("印刷と PDF の１ページに載せる譜の数"));
    cmbPerPage->addItem(QStringLiteral("1ページに1譜"), 1);
    cmbPerPage->addItem(QStringLiteral("1ページに2譜"), 2);
    spnPngWidth = new QSpinBox(this);
    spnPngWidth->setObjectName(QStringLiteral("spnKifuPngWidth"));
    spnPngWidth->setRange(300, 8000);
    spnPngWidth->setSingleStep(100);
    spnPngWidth->setSuffix(QStringLiteral(" px"));
    spnPngWidth->setValue(DefaultPngWidth);
    spnPngWidth->setToolTip(QStringLiteral("PNG で保存する画像の幅"));
    auto* lblPng = new QLabel(QStringLiteral("PNG 幅"), this);
    lblPng->setBuddy(spnPngWidth);
    btnPrint = button("btnKifuPrint", QStringLiteral("印刷..."), QStringLiteral("全ての譜を印刷する"), this);
    btnSave = button("btnKifuSave", QStringLiteral("保存..."),
                     QStringLiteral("表示中の譜を PNG・SVG で、全ての譜を PDF で保存する"), this);
    lblStatus = new QLabel(this);
    lblStatus->setObjectName(QStringLiteral("lblKifuStatus"));
    lblStatus->setTextInteractionFlags(Qt::TextSelectableByMouse);

    Canvas = new FigureCanvas(
        [this](QPainter& p, const QRect& r) {
            if (Drawing)
                Drawing->paint(p, r, Shown, Qt::AlignCenter, true);
            else
                p.fillRect(r, Qt::white);
        },
        this);

    // Moving between figures above the paper; how they are cut and the outputs below it.
    auto* top = new QHBoxLayout;
    top->addWidget(btnPrev);
    top->addWidget(lblFigure);
    top->addWidget(btnNext);
    top->addStretch(1);
    top->addWidget(chkFollow);
    auto* options = new QHBoxLayout;
    options->addWidget(cmbPer);
    options->addWidget(chkRestart);
    options->addWidget(chkCoords);
    options->addStretch(1);
    options->addWidget(cmbPerPage);
    options->addWidget(lblPng);
    options->addWidget(spnPngWidth);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(lblStatus, 1);
    bottom->addWidget(btnPrint);
    bottom->addWidget(btnSave);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(6, 6, 6, 6);
    column->setSpacing(4);
    column->addLayout(top);
    column->addWidget(Canvas, 1);
    column->addLayout(options);
    column->addLayout(bottom);
    setTabOrder(Canvas, btnPrev);

    connect(btnPrev, &QPushButton::clicked, this, [this] { showFigure(Shown - 1); });
    connect(btnNext, &QPushButton::clicked, this, [this] { showFigure(Shown + 1); });
    // A new cut keeps the move at the top of the shown figure in view.
    const auto recut = [this] {
        const int first = Drawing ? Drawing->figures().Figures[static_cast<size_t>(Shown - 1)].FirstMove : 1;
        Stale = true;
        rebuild();
        showFigureOfMove(first);
    };
    connect(cmbPer, &QComboBox::currentIndexChanged, this, recut);
    connect(chkRestart, &QCheckBox::toggled, this, recut);
    connect(chkCoords, &QCheckBox::toggled, this, recut);
    connect(chkFollow, &QCheckBox::toggled, this, [this](bool on) {
        if (on) followRecord();
    });
    connect(btnSave, &QPushButton::clicked, this, &KifuWindow::save);
    connect(btnPrint, &QPushButton::clicked, this, &KifuWindow::print);
    rebuild();
}

KifuWindow::~KifuWindow() = default;

void KifuWindow::setSaveChooser(SaveChooser chooser) {
    ChooseSave = std::move(chooser);
    updateControls();
}

void KifuWindow::setPrintChooser(PrintChooser chooser) {
    ChoosePrint = std::move(chooser);
    updateControls();
}

int KifuWindow::movesPerFigure() const { return cmbPer->currentData().toInt(); }
int KifuWindow::perPage() const { return cmbPerPage->currentData().toInt() == 2 ? 2 : 1; }
int KifuWindow::figureCount() const { return Drawing ? Drawing->count() : 0; }
const KifuFigureDrawing& KifuWindow::drawing() const { return *Drawing; }

void KifuWindow::rebuild() {
    if (!Stale && Drawing) return;
    KifuFigureLook look;
    look.Coordinates = chkCoords->isChecked();
    const int branch = Record ? Record->branchMoves() : 0;
    Drawing =
        std::make_unique<KifuFigureDrawing>(Game,
                                            cutKifuFigures(Game, movesPerFigure(), chkRestart->isChecked(),
                                                           Record ? Record->laterSetup() : SetupChanges{}, branch),
                                            look);
    Stale = false;
    Shown = std::clamp(Shown, 1, Drawing->count());
    updateControls();
    Canvas->update();
}

void KifuWindow::followRecord() {
    Stale = true;
    // A hidden window cuts the record when it is shown again, not at every move.
    if (!isVisible()) return;
    rebuild();
    if (chkFollow->isChecked()) showFigureOfMove(Game.CurrentMove - 1);
}

void KifuWindow::showFigureOfMove(int move) {
    rebuild();
    showFigure(figureOfMove(Drawing->figures(), move));
}

void KifuWindow::showFigure(int k) {
    rebuild();
    Shown = std::clamp(k, 1, Drawing->count());
    updateControls();
    Canvas->update();
}

void KifuWindow::updateControls() {
    if (!Drawing) return;
    const int n = Drawing->count();
    const KifuHeading h = Drawing->heading(Shown);
    lblFigure->setText(QStringLiteral("%1 / 全%2譜").arg(h.Range).arg(n));
    btnPrev->setEnabled(Shown > 1);
    btnNext->setEnabled(Shown < n);
    btnSave->setEnabled(static_cast<bool>(ChooseSave));
    btnPrint->setEnabled(static_cast<bool>(ChoosePrint));
}

void KifuWindow::report(const QString& text) { lblStatus->setText(text); }

bool KifuWindow::saveTo(const QString& path) {
    rebuild();
    const QString suffix = QFileInfo(path).suffix().toLower();
    const QString name = QFileInfo(path).fileName();
    bool ok = false;
    if (suffix == QLatin1String("png"))
        ok = Drawing->writePng(path, Shown, spnPngWidth->value());
    else if (suffix == QLatin1String("svg"))
        ok = Drawing->writeSvg(path, Shown);
    else if (suffix == QLatin1String("pdf"))
        ok = Drawing->writePdf(path, perPage());
    else {
        report(QStringLiteral("%1: PNG・SVG・PDF のどれかの名前で保存して下さい").arg(name));
        return false;
    }
    report(ok ? QStringLiteral("保存しました: %1").arg(name) : QStringLiteral("保存できませんでした: %1").arg(name));
    return ok;
}

void KifuWindow::save() {
    if (!ChooseSave) return;
    rebuild();
    KifuSaveRequest req;
    req.title = QStringLiteral("棋譜の保存");
    const QString base =
        Record ? QFileInfo(QString::fromStdString(Record->document().FileName)).completeBaseName() : QString();
    req.proposedName = (base.isEmpty() ? QStringLiteral("棋譜") : base) + QStringLiteral(".pdf");
    req.filters = {QStringLiteral("PDF文書 (*.pdf)"), QStringLiteral("PNG画像 (*.png)"),
                   QStringLiteral("SVG画像 (*.svg)")};
    req.defaultSuffix = QStringLiteral("pdf");
    const std::optional<QString> path = ChooseSave(req);
    if (path && !path->isEmpty()) saveTo(*path);
}

bool KifuWindow::printOn(QPrinter& printer) {
    rebuild();
    const bool pages = printer.printRange() == QPrinter::PageRange;
    const bool ok =
        Drawing->paintPages(printer, perPage(), pages ? printer.fromPage() : 0, pages ? printer.toPage() : 0);
    report(ok ? QStringLiteral("印刷しました") : QStringLiteral("印刷できませんでした"));
    return ok;
}

void KifuWindow::print() {
    if (!ChoosePrint) return;
    rebuild();
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setDocName(QString::fromStdString(Game.GameName.empty() ? "棋譜" : Game.GameName));
    printer.setFromTo(1, Drawing->pageCount(perPage()));
    if (ChoosePrint(printer)) printOn(printer);
}

void KifuWindow::keyPressEvent(QKeyEvent* e) {
    switch (e->key()) {
        case Qt::Key_Left:
        case Qt::Key_PageUp: showFigure(Shown - 1); return;
        case Qt::Key_Right:
        case Qt::Key_PageDown: showFigure(Shown + 1); return;
        case Qt::Key_Home: showFigure(1); return;
        case Qt::Key_End: showFigure(figureCount()); return;
        default: QWidget::keyPressEvent(e);
    }
}

void KifuWindow::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    if (Stale) {
        rebuild();
        if (chkFollow->isChecked()) showFigureOfMove(Game.CurrentMove - 1);
    }
    Canvas->setFocus();
}

void KifuWindow::readSettings(const SettingsFile& ini) {
    const int w = std::clamp(ini.ReadInteger(Section, "Width", DefaultWidth), 320, 4000);
    const int h = std::clamp(ini.ReadInteger(Section, "Height", DefaultHeight), 320, 4000);
    resize(w, h);
    const int per = cmbPer->findData(ini.ReadInteger(Section, "Moves", DefaultFigureMoves));
    const QSignalBlocker b1(cmbPer), b2(chkRestart), b3(chkCoords), b4(chkFollow);
    cmbPer->setCurrentIndex(per >= 0 ? per : cmbPer->findData(DefaultFigureMoves));
    chkRestart->setChecked(ini.ReadBool(Section, "Restart", false));
    chkCoords->setChecked(ini.ReadBool(Section, "Coordinates", false));
    chkFollow->setChecked(ini.ReadBool(Section, "Follow", true));
    cmbPerPage->setCurrentIndex(ini.ReadInteger(Section, "PerPage", 1) == 2 ? 1 : 0);
    spnPngWidth->setValue(ini.ReadInteger(Section, "PngWidth", DefaultPngWidth));
    Stale = true;
    rebuild();
}

void KifuWindow::writeSettings(SettingsFile& ini) const {
    ini.WriteInteger(Section, "Width", width());
    ini.WriteInteger(Section, "Height", height());
    ini.WriteInteger(Section, "Moves", movesPerFigure());
    ini.WriteBool(Section, "Restart", chkRestart->isChecked());
    ini.WriteBool(Section, "Coordinates", chkCoords->isChecked());
    ini.WriteBool(Section, "Follow", chkFollow->isChecked());
    ini.WriteInteger(Section, "PerPage", perPage());
    ini.WriteInteger(Section, "PngWidth", spnPngWidth->value());
}

}  // namespace tavrin
