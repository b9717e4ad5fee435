// Construction and layout of the main window's panels: the status bar, the board panel, the
// side panel (information panel, move list, replay buttons) and the timers.

#include <QBoxLayout>
#include <QDockWidget>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>

#include "app/TfrmMain.h"
#include "record/InfoTexts.h"
#include "view/AssetImage.h"
#include "view/BoardView.h"

namespace tavrin {

namespace {

const QColor PanelGreen(64, 96, 32);

QString qs(const char* utf8) { return QString::fromUtf8(utf8); }

}  // namespace

QFont TfrmMain::pixelFont(const QString& family, int pixels) {
    // Asked by the name it stands for (IPAPGothic for ＭＳ Ｐゴシック): the font database
    // then looks for one family instead of failing on the first and falling back.
    QFont f(QFont::substitute(family));
    f.setPixelSize(pixels);
    return f;
}

void TfrmMain::buildStatusBar() {
    ui.stbMain = new QStatusBar(this);
    ui.stbMain->setObjectName(QStringLiteral("stbMain"));
    ui.stbMain->setFixedHeight(19);
    setStatusBar(ui.stbMain);
    struct Panel {
        int width;
        Qt::Alignment align;
        const char* text;
    };
    const Panel panels[6] = {
        {MessagePanelWidth, Qt::AlignLeft, HelpHintText},
        {51, Qt::AlignRight, "888手目"},
        {35, Qt::AlignHCenter, "パス"},
        {56, Qt::AlignHCenter, "黒番です"},
        {56, Qt::AlignHCenter, "00:00:00"},
        {50, Qt::AlignLeft, ""},
    };
    for (int i = 0; i < 6; ++i) {
        auto* l = new QLabel(qs(panels[i].text), ui.stbMain);
        l->setObjectName(QStringLiteral("stbPanel%1").arg(i));
        l->setAlignment(panels[i].align | Qt::AlignVCenter);
        l->setFrameStyle(i == 0 ? QFrame::NoFrame : QFrame::Panel | QFrame::Sunken);
        if (i == 0) {
            // The message field takes the room the others leave, so long messages show whole;
            // its text never widens the window.
            l->setMinimumWidth(panels[i].width);
            l->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
            ui.stbMain->addWidget(l, 1);
        } else {
            l->setFixedWidth(panels[i].width);
            ui.stbMain->addWidget(l);
        }
        ui.stbPanel[static_cast<std::size_t>(i)] = l;
    }
}

void TfrmMain::buildBoard() {
    ui.pnlMain = new BoardView(Game, this);
    ui.pnlMain->setObjectName(QStringLiteral("pnlMain"));
    ui.pnlMain->setMinimumSize(BoardMinimum);
    QPalette pal = ui.pnlMain->palette();
    pal.setColor(QPalette::Window, PanelGreen);
    ui.pnlMain->setPalette(pal);
    ui.pnlMain->setAutoFillBackground(true);
    connect(ui.pnlMain, &BoardView::resized, this, &TfrmMain::pnlMainResize);
    connect(ui.pnlMain, &BoardView::boardMouseDown, this, &TfrmMain::pbxGbnMouseDown);
    connect(ui.pnlMain, &BoardView::boardMouseUp, this, &TfrmMain::pbxGbnMouseUp);
}

void TfrmMain::buildSidePanel() {
    ui.pnlSubBase = new QWidget(this);
    ui.pnlSubBase->setObjectName(QStringLiteral("pnlSubBase"));
    ui.pnlSubBase->setFixedWidth(202);
    auto* base = new QHBoxLayout(ui.pnlSubBase);
    base->setContentsMargins(0, 0, 0, 0);
    base->setSpacing(0);
    ui.pnlSpaser = new QWidget(ui.pnlSubBase);
    ui.pnlSpaser->setObjectName(QStringLiteral("pnlSpaser"));
    ui.pnlSpaser->setFixedWidth(2);
    ui.pnlSub = new QFrame(ui.pnlSubBase);
    ui.pnlSub->setObjectName(QStringLiteral("pnlSub"));
    ui.pnlSub->setFixedWidth(200);
    ui.pnlSub->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    ui.pnlSub->setLineWidth(1);
    base->addWidget(ui.pnlSpaser);
    base->addWidget(ui.pnlSub);
    auto* column = new QVBoxLayout(ui.pnlSub);
    column->setContentsMargins(4, 4, 4, 4);
    column->setSpacing(0);

    buildGameInfo();
    buildKifuList();
    buildKifuButtons();
    column->addWidget(ui.pnlGameInfo);
    column->addWidget(ui.lsvKifu, 1);
    column->addWidget(ui.pnlKifuBtn);
}

void TfrmMain::buildGameInfo() {
    ui.pnlGameInfo = new QFrame(ui.pnlSub);
    ui.pnlGameInfo->setObjectName(QStringLiteral("pnlGameInfo"));
    ui.pnlGameInfo->setFixedSize(190, 156);
    const QString hint = QStringLiteral("ダブルクリックすると情報を編集できます");
    ui.pnlGameInfo->setStatusTip(hint);
    ui.pnlGameInfo->installEventFilter(this);

    auto bevel = [this](const char* name, int x, int y, int w, int h) {
        auto* f = new QFrame(ui.pnlGameInfo);
        f->setObjectName(qs(name));
        f->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        f->setGeometry(x, y, w, h);
        return f;
    };
    ui.bvlGameName = bevel("bvlGameName", 0, 0, 190, 23);
    ui.bvlGameComment = bevel("bvlGameComment", 0, 28, 190, 23);
    ui.bvlBlack = bevel("bvlBlack", 0, 63, 190, 28);
    ui.bvlWhite = bevel("bvlWhite", 0, 103, 190, 28);

    const QString gothicP = QStringLiteral("ＭＳ Ｐゴシック");
    // opensDialog: a double click on it opens the game information (all but the captions).
    auto label = [&](const char* name, int x, int y, int w, int h, int pixels, bool opensDialog) {
        auto* l = new QLabel(ui.pnlGameInfo);
        l->setObjectName(qs(name));
        if (pixels) l->setFont(pixelFont(gothicP, pixels));
        l->setStatusTip(hint);
        if (w > 0)
            l->setGeometry(x, y, w, h);
        else
            l->move(x, y);
        // The captions take double clicks without passing them on to the panel.
        l->installEventFilter(this);
        l->setProperty("opensDialog", opensDialog);
        return l;
    };
    ui.lblGameName = label("lblGameName", 6, 3, 182, 18, 0, true);
    ui.lblGameName->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    ui.lblGameComment = label("lblGameComment", 5, 31, 182, 18, 0, true);
    ui.lblGameComment->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    const QColor maroon(128, 0, 0);
    auto player = [&](const char* name, int y) {
        QLabel* l = label(name, 6, y, 0, 0, 12, true);
        QPalette pal = l->palette();
        pal.setColor(QPalette::WindowText, maroon);
        l->setPalette(pal);
        // Painted over the upper edge of its box.
        l->setAutoFillBackground(true);
        return l;
    };
    ui.lblBlackPlayer = player("lblBlackPlayer", 56);
    ui.lblWhitePlayer = player("lblWhitePlayer", 96);
    auto icon = [&](const char* name, int y, int index) {
        QLabel* l = label(name, 9, y, 16, 16, 0, true);
        l->setPixmap(ui.imgListIcon.at(static_cast<std::size_t>(index)).pixmap(16, 16));
        l->raise();  // over the player's name, whose leading blanks leave room for it
        return l;
    };
    ui.imgBlackIcon = icon("imgBlackIcon", 54, 15);
    ui.imgWhiteIcon = icon("imgWhiteIcon", 94, 17);

    ui.lblBlackGetStone = label("lblBlackGetStone", 9, 73, 88, 16, 13, true);
    ui.lblBlackTimeCaption = label("lblBlackTimeCaption", 99, 73, 32, 16, 13, false);
    ui.lblBlackTimeCaption->setText(QStringLiteral("時間"));
    ui.lblBlackTime = label("lblBlackTime", 133, 73, 57, 16, 13, true);
    ui.lblWhiteGetStone = label("lblWhiteGetStone", 9, 113, 88, 16, 13, true);
    ui.lblWhiteTimeCaption = label("lblWhiteTimeCaption", 99, 113, 32, 16, 13, false);
    ui.lblWhiteTimeCaption->setText(QStringLiteral("時間"));
    ui.lblWhiteTime = label("lblWhiteTime", 133, 113, 57, 16, 13, true);
    ui.lblPutStone = label("lblPutStone", 18, 134, 73, 18, 12, true);
    ui.lblKomi = label("lblKomi", 110, 134, 73, 18, 12, true);
    ui.lblBlackTime->setText(qs(ClockZeroText));
    ui.lblWhiteTime->setText(qs(ClockZeroText));
}

void TfrmMain::buildKifuList() {
    ui.lsvKifu = new QTreeWidget(ui.pnlSub);
    ui.lsvKifu->setObjectName(QStringLiteral("lsvKifu"));
    // The header has the window's font from the start: measured in the list's own font
    // first, it would load a font it never shows.
    ui.lsvKifu->header()->setFont(font());
    ui.lsvKifu->setColumnCount(3);
    ui.lsvKifu->setHeaderLabels({QStringLiteral("番 号"), QStringLiteral("座標"), QStringLiteral("  時間")});
    ui.lsvKifu->headerItem()->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
    ui.lsvKifu->setRootIsDecorated(false);
    ui.lsvKifu->setTextElideMode(Qt::ElideNone);
    ui.lsvKifu->setUniformRowHeights(true);
    ui.lsvKifu->setItemsExpandable(false);
    ui.lsvKifu->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ui.lsvKifu->setSelectionMode(QAbstractItemView::SingleSelection);
    ui.lsvKifu->setSelectionBehavior(QAbstractItemView::SelectRows);
    ui.lsvKifu->setAllColumnsShowFocus(true);
    ui.lsvKifu->setFrameShape(QFrame::NoFrame);
    ui.lsvKifu->setIconSize(QSize(12, 15));
    ui.lsvKifu->setFont(pixelFont(QStringLiteral("ＭＳ ゴシック"), 13));
    QPalette pal = ui.lsvKifu->palette();
    pal.setColor(QPalette::Base, PanelGreen);
    pal.setColor(QPalette::Window, PanelGreen);
    pal.setColor(QPalette::Text, Qt::white);
    ui.lsvKifu->setPalette(pal);
    QHeaderView* header = ui.lsvKifu->header();
    header->setStretchLastSection(false);
    header->setMaximumSectionSize(85);
    header->resizeSection(0, 48);
    header->resizeSection(1, 53);
    header->setSectionResizeMode(2, QHeaderView::ResizeToContents);
    // Every time text has the same form, so the rows in view size the column as well as all
    // of them would; measuring a long record's rows one by one costs more than its load.
    header->setResizeContentsPrecision(0);
    connect(ui.lsvKifu, &QTreeWidget::itemSelectionChanged, this, [this] {
        const auto items = ui.lsvKifu->selectedItems();
        if (!items.isEmpty()) lsvKifuSelectItem(items.first(), true);
    });
}

void TfrmMain::buildKifuButtons() {
    ui.pnlKifuBtn = new QFrame(ui.pnlSub);
    ui.pnlKifuBtn->setObjectName(QStringLiteral("pnlKifuBtn"));
    ui.pnlKifuBtn->setFixedHeight(34);
    auto* row = new QHBoxLayout(ui.pnlKifuBtn);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    auto button = [&](const char* name, int width, const QIcon& glyph) {
        auto* b = new QToolButton(ui.pnlKifuBtn);
        b->setObjectName(qs(name));
        b->setAutoRaise(true);
        b->setFixedSize(width, 29);
        b->setIconSize(QSize(16, 16));
        b->setIcon(glyph);
        row->addWidget(b);
        return b;
    };
    // Buttons bound to an action follow its enabled state and hint but keep their glyph.
    auto bound = [&](const char* name, QAction* a, const char* glyph) {
        QToolButton* b = button(name, 27, QIcon(assetPixmap(QStringLiteral(":/icons/%1.png").arg(qs(glyph)))));
        auto sync = [b, a] {
            b->setEnabled(a->isEnabled());
            b->setToolTip(a->statusTip());
            b->setStatusTip(a->statusTip());
        };
        sync();
        connect(a, &QAction::changed, b, sync);
        connect(b, &QToolButton::clicked, a, &QAction::trigger);
        return b;
    };
    ui.btnKifuFirst = bound("btnKifuFirst", ui.actKifuFirst, "btnKifuFirst");
    ui.btnKifuBack10 = bound("btnKifuBack10", ui.actKifuBack10, "btnKifuBack10");
    ui.btnKifuBack = bound("btnKifuBack", ui.actKifuBack, "btnKifuBack");
    QIcon autoGlyph;
    autoGlyph.addPixmap(assetPixmap(QStringLiteral(":/icons/btnKifuAuto_up.png")), QIcon::Normal, QIcon::Off);
    autoGlyph.addPixmap(assetPixmap(QStringLiteral(":/icons/btnKifuAuto_disabled.png")), QIcon::Disabled, QIcon::Off);
    autoGlyph.addPixmap(assetPixmap(QStringLiteral(":/icons/btnKifuAuto_disabled.png")), QIcon::Disabled, QIcon::On);
    autoGlyph.addPixmap(assetPixmap(QStringLiteral(":/icons/btnKifuAuto_pressed.png")), QIcon::Active, QIcon::Off);
    autoGlyph.addPixmap(assetPixmap(QStringLiteral(":/icons/btnKifuAuto_down.png")), QIcon::Normal, QIcon::On);
    autoGlyph.addPixmap(assetPixmap(QStringLiteral(":/icons/btnKifuAuto_down.png")), QIcon::Active, QIcon::On);
    ui.btnKifuAuto = button("btnKifuAuto", 28, autoGlyph);
    ui.btnKifuAuto->setCheckable(true);
    ui.btnKifuAuto->setToolTip(QStringLiteral("自動再生開始"));
    ui.btnKifuAuto->setStatusTip(QStringLiteral("自動再生開始"));
    connect(ui.btnKifuAuto, &QToolButton::clicked, this, [this] { actKifuAutoExecute(); });
    ui.btnKifuNext = bound("btnKifuNext", ui.actKifuNext, "btnKifuNext");
    ui.btnKifuNext10 = bound("btnKifuNext10", ui.actKifuNext10, "btnKifuNext10");
    ui.btnKifuLast = bound("btnKifuLast", ui.actKifuLast, "btnKifuLast");
}

void TfrmMain::buildTimers() {
    auto timer = [this](const char* name, int interval, bool singleShot) {
        auto* t = new QTimer(this);
        t->setObjectName(qs(name));
        t->setInterval(interval);
        t->setSingleShot(singleShot);
        return t;
    };
    ui.tmrTime = timer("tmrTime", 1000, false);
    ui.tmrDelay = timer("tmrDelay", 1, true);
    ui.tmrKifuAuto = timer("tmrKifuAuto", 2000, false);
    connect(ui.tmrTime, &QTimer::timeout, this, &TfrmMain::tmrTimeTimer);
    connect(ui.tmrDelay, &QTimer::timeout, this, &TfrmMain::tmrDelayTimer);
    connect(ui.tmrKifuAuto, &QTimer::timeout, this, &TfrmMain::tmrKifuAutoTimer);
}

QVBoxLayout* TfrmMain::buildDockPane(QDockWidget*& dock, const QString& title, const QString& name, QLabel*& info,
                                     const QString& infoName, Qt::DockWidgetArea area) {
    dock = new QDockWidget(title, this);
    dock->setObjectName(name);
    // Shown and hidden through its command only, so the command's mark is always true.
    dock->setFeatures(QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetFloatable);
    auto* body = new QWidget(dock);
    auto* column = new QVBoxLayout(body);
    column->setContentsMargins(4, 2, 4, 4);
    column->setSpacing(2);
    info = new QLabel(body);
    info->setObjectName(infoName);
    info->setWordWrap(true);
    column->addWidget(info);
    dock->setWidget(body);
    addDockWidget(area, dock);
    dock->hide();
    return column;
}

}  // namespace tavrin
