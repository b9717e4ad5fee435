// Construction and layout of the main window's panels: the status bar, the board panel, the
// side panel (information panel, move list, replay buttons) and the timers.

#include <QBoxLayout>
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
    stbMain = new QStatusBar(this);
    stbMain->setObjectName(QStringLiteral("stbMain"));
    stbMain->setFixedHeight(19);
    setStatusBar(stbMain);
    struct Panel {
        int width;
        Qt::Alignment align;
        const char* text;
    };
    const Panel panels[6] = {
        {210, Qt::AlignLeft, HelpHintText}, {51, Qt::AlignRight, "888手目"},    {35, Qt::AlignHCenter, "パス"},
        {56, Qt::AlignHCenter, "黒番です"}, {56, Qt::AlignHCenter, "00:00:00"}, {50, Qt::AlignLeft, ""},
    };
    for (int i = 0; i < 6; ++i) {
        auto* l = new QLabel(qs(panels[i].text), stbMain);
        l->setObjectName(QStringLiteral("stbPanel%1").arg(i));
        l->setAlignment(panels[i].align | Qt::AlignVCenter);
        l->setFrameStyle(i == 0 ? QFrame::NoFrame : QFrame::Panel | QFrame::Sunken);
        if (i == 0) {
            // The message field takes the room the others leave, so long messages show whole;
            // its text never widens the window.
            l->setMinimumWidth(panels[i].width);
            l->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
            stbMain->addWidget(l, 1);
        } else {
            l->setFixedWidth(panels[i].width);
            stbMain->addWidget(l);
        }
        stbPanel[static_cast<std::size_t>(i)] = l;
    }
}

void TfrmMain::buildBoard() {
    pnlMain = new BoardView(Game, this);
    pnlMain->setObjectName(QStringLiteral("pnlMain"));
    pnlMain->setMinimumSize(BoardMinimum);
    QPalette pal = pnlMain->palette();
    pal.setColor(QPalette::Window, PanelGreen);
    pnlMain->setPalette(pal);
    pnlMain->setAutoFillBackground(true);
    connect(pnlMain, &BoardView::resized, this, &TfrmMain::pnlMainResize);
    connect(pnlMain, &BoardView::boardMouseDown, this, &TfrmMain::pbxGbnMouseDown);
    connect(pnlMain, &BoardView::boardMouseUp, this, &TfrmMain::pbxGbnMouseUp);
}

void TfrmMain::buildSidePanel() {
    pnlSubBase = new QWidget(this);
    pnlSubBase->setObjectName(QStringLiteral("pnlSubBase"));
    pnlSubBase->setFixedWidth(202);
    auto* base = new QHBoxLayout(pnlSubBase);
    base->setContentsMargins(0, 0, 0, 0);
    base->setSpacing(0);
    pnlSpaser = new QWidget(pnlSubBase);
    pnlSpaser->setObjectName(QStringLiteral("pnlSpaser"));
    pnlSpaser->setFixedWidth(2);
    pnlSub = new QFrame(pnlSubBase);
    pnlSub->setObjectName(QStringLiteral("pnlSub"));
    pnlSub->setFixedWidth(200);
    pnlSub->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    pnlSub->setLineWidth(1);
    base->addWidget(pnlSpaser);
    base->addWidget(pnlSub);
    auto* column = new QVBoxLayout(pnlSub);
    column->setContentsMargins(4, 4, 4, 4);
    column->setSpacing(0);

    buildGameInfo();
    buildKifuList();
    buildKifuButtons();
    column->addWidget(pnlGameInfo);
    column->addWidget(lsvKifu, 1);
    column->addWidget(pnlKifuBtn);
}

void TfrmMain::buildGameInfo() {
    pnlGameInfo = new QFrame(pnlSub);
    pnlGameInfo->setObjectName(QStringLiteral("pnlGameInfo"));
    pnlGameInfo->setFixedSize(190, 156);
    const QString hint = QStringLiteral("ダブルクリックすると情報を編集できます");
    pnlGameInfo->setStatusTip(hint);
    pnlGameInfo->installEventFilter(this);

    auto bevel = [this](const char* name, int x, int y, int w, int h) {
        auto* f = new QFrame(pnlGameInfo);
        f->setObjectName(qs(name));
        f->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        f->setGeometry(x, y, w, h);
        return f;
    };
    bvlGameName = bevel("bvlGameName", 0, 0, 190, 23);
    bvlGameComment = bevel("bvlGameComment", 0, 28, 190, 23);
    bvlBlack = bevel("bvlBlack", 0, 63, 190, 28);
    bvlWhite = bevel("bvlWhite", 0, 103, 190, 28);

    const QString gothicP = QStringLiteral("ＭＳ Ｐゴシック");
    // opensDialog: a double click on it opens the game information (all but the captions).
    auto label = [&](const char* name, int x, int y, int w, int h, int pixels, bool opensDialog) {
        auto* l = new QLabel(pnlGameInfo);
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
    lblGameName = label("lblGameName", 6, 3, 182, 18, 0, true);
    lblGameName->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    lblGameComment = label("lblGameComment", 5, 31, 182, 18, 0, true);
    lblGameComment->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

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
    lblBlackPlayer = player("lblBlackPlayer", 56);
    lblWhitePlayer = player("lblWhitePlayer", 96);
    auto icon = [&](const char* name, int y, int index) {
        QLabel* l = label(name, 9, y, 16, 16, 0, true);
        l->setPixmap(imgListIcon.at(static_cast<std::size_t>(index)).pixmap(16, 16));
        l->raise();  // over the player's name, whose leading blanks leave room for it
        return l;
    };
    imgBlackIcon = icon("imgBlackIcon", 54, 15);
    imgWhiteIcon = icon("imgWhiteIcon", 94, 17);

    lblBlackGetStone = label("lblBlackGetStone", 9, 73, 88, 16, 13, true);
    lblBlackTimeCaption = label("lblBlackTimeCaption", 99, 73, 32, 16, 13, false);
    lblBlackTimeCaption->setText(QStringLiteral("時間"));
    lblBlackTime = label("lblBlackTime", 133, 73, 57, 16, 13, true);
    lblWhiteGetStone = label("lblWhiteGetStone", 9, 113, 88, 16, 13, true);
    lblWhiteTimeCaption = label("lblWhiteTimeCaption", 99, 113, 32, 16, 13, false);
    lblWhiteTimeCaption->setText(QStringLiteral("時間"));
    lblWhiteTime = label("lblWhiteTime", 133, 113, 57, 16, 13, true);
    lblPutStone = label("lblPutStone", 18, 134, 73, 18, 12, true);
    lblKomi = label("lblKomi", 110, 134, 73, 18, 12, true);
    lblBlackTime->setText(qs(ClockZeroText));
    lblWhiteTime->setText(qs(ClockZeroText));
}

void TfrmMain::buildKifuList() {
    lsvKifu = new QTreeWidget(pnlSub);
    lsvKifu->setObjectName(QStringLiteral("lsvKifu"));
    // The header has the window's font from the start: measured in the list's own font
    // first, it would load a font it never shows.
    lsvKifu->header()->setFont(font());
    lsvKifu->setColumnCount(3);
    lsvKifu->setHeaderLabels({QStringLiteral("番 号"), QStringLiteral("座標"), QStringLiteral("  時間")});
    lsvKifu->headerItem()->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
    lsvKifu->setRootIsDecorated(false);
    lsvKifu->setTextElideMode(Qt::ElideNone);
    lsvKifu->setUniformRowHeights(true);
    lsvKifu->setItemsExpandable(false);
    lsvKifu->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lsvKifu->setSelectionMode(QAbstractItemView::SingleSelection);
    lsvKifu->setSelectionBehavior(QAbstractItemView::SelectRows);
    lsvKifu->setAllColumnsShowFocus(true);
    lsvKifu->setFrameShape(QFrame::NoFrame);
    lsvKifu->setIconSize(QSize(12, 15));
    lsvKifu->setFont(pixelFont(QStringLiteral("ＭＳ ゴシック"), 13));
    QPalette pal = lsvKifu->palette();
    pal.setColor(QPalette::Base, PanelGreen);
    pal.setColor(QPalette::Window, PanelGreen);
    pal.setColor(QPalette::Text, Qt::white);
    lsvKifu->setPalette(pal);
    QHeaderView* header = lsvKifu->header();
    header->setStretchLastSection(false);
    header->setMaximumSectionSize(85);
    header->resizeSection(0, 48);
    header->resizeSection(1, 53);
    header->setSectionResizeMode(2, QHeaderView::ResizeToContents);
    // Every time text has the same form, so the rows in view size the column as well as all
    // of them would; measuring a long record's rows one by one costs more than its load.
    header->setResizeContentsPrecision(0);
    connect(lsvKifu, &QTreeWidget::itemSelectionChanged, this, [this] {
        const auto items = lsvKifu->selectedItems();
        if (!items.isEmpty()) lsvKifuSelectItem(items.first(), true);
    });
}

void TfrmMain::buildKifuButtons() {
    pnlKifuBtn = new QFrame(pnlSub);
    pnlKifuBtn->setObjectName(QStringLiteral("pnlKifuBtn"));
    pnlKifuBtn->setFixedHeight(34);
    auto* row = new QHBoxLayout(pnlKifuBtn);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    auto button = [&](const char* name, int width, const QIcon& glyph) {
        auto* b = new QToolButton(pnlKifuBtn);
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
    btnKifuFirst = bound("btnKifuFirst", actKifuFirst, "btnKifuFirst");
    btnKifuBack10 = bound("btnKifuBack10", actKifuBack10, "btnKifuBack10");
    btnKifuBack = bound("btnKifuBack", actKifuBack, "btnKifuBack");
    QIcon autoGlyph;
    autoGlyph.addPixmap(assetPixmap(QStringLiteral(":/icons/btnKifuAuto_up.png")), QIcon::Normal, QIcon::Off);
    autoGlyph.addPixmap(assetPixmap(QStringLiteral(":/icons/btnKifuAuto_disabled.png")), QIcon::Disabled, QIcon::Off);
    autoGlyph.addPixmap(assetPixmap(QStringLiteral(":/icons/btnKifuAuto_disabled.png")), QIcon::Disabled, QIcon::On);
    autoGlyph.addPixmap(assetPixmap(QStringLiteral(":/icons/btnKifuAuto_pressed.png")), QIcon::Active, QIcon::Off);
    autoGlyph.addPixmap(assetPixmap(QStringLiteral(":/icons/btnKifuAuto_down.png")), QIcon::Normal, QIcon::On);
    autoGlyph.addPixmap(assetPixmap(QStringLiteral(":/icons/btnKifuAuto_down.png")), QIcon::Active, QIcon::On);
    btnKifuAuto = button("btnKifuAuto", 28, autoGlyph);
    btnKifuAuto->setCheckable(true);
    btnKifuAuto->setToolTip(QStringLiteral("自動再生開始"));
    btnKifuAuto->setStatusTip(QStringLiteral("自動再生開始"));
    connect(btnKifuAuto, &QToolButton::clicked, this, [this] { actKifuAutoExecute(); });
    btnKifuNext = bound("btnKifuNext", actKifuNext, "btnKifuNext");
    btnKifuNext10 = bound("btnKifuNext10", actKifuNext10, "btnKifuNext10");
    btnKifuLast = bound("btnKifuLast", actKifuLast, "btnKifuLast");
}

void TfrmMain::buildTimers() {
    auto timer = [this](const char* name, int interval, bool singleShot) {
        auto* t = new QTimer(this);
        t->setObjectName(qs(name));
        t->setInterval(interval);
        t->setSingleShot(singleShot);
        return t;
    };
    tmrTime = timer("tmrTime", 1000, false);
    tmrDelay = timer("tmrDelay", 1, true);
    tmrKifuAuto = timer("tmrKifuAuto", 2000, false);
    connect(tmrTime, &QTimer::timeout, this, &TfrmMain::tmrTimeTimer);
    connect(tmrDelay, &QTimer::timeout, this, &TfrmMain::tmrDelayTimer);
    connect(tmrKifuAuto, &QTimer::timeout, this, &TfrmMain::tmrKifuAutoTimer);
}

}  // namespace tavrin
