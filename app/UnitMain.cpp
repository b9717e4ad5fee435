// Construction and layout of the main window: actions, menus, popups, toolbar, status bar,
// side panel, board panel and timers.

#include <QActionGroup>
#include <QApplication>
#include <QBoxLayout>
#include <QDockWidget>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QStatusBar>
#include <QMouseEvent>
#include <QStatusTipEvent>
#include <QShortcutEvent>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QUrl>


#include "app/ActionTable.h"
#include "app/LibraryIndexer.h"
#include "app/TfrmMain.h"
#include "library/LibraryIndex.h"
#include "record/InfoTexts.h"
#include "view/AssetImage.h"
#include "view/BoardView.h"

// Resources of a static library must be pulled in by name, from the global namespace.
static void initIconResources() { Q_INIT_RESOURCE(icons); }

namespace tavrin {

namespace {

const QColor PanelGreen(64, 96, 32);

QString qs(const char* utf8) { return QString::fromUtf8(utf8); }

QFont pixelFont(const QString& family, int pixels) {
    // Asked by the name it stands for (IPAPGothic for ＭＳ Ｐゴシック): the font database
    // then looks for one family instead of failing on the first and falling back.
    QFont f(QFont::substitute(family));
    f.setPixelSize(pixels);
    return f;
}

}  // namespace

TfrmMain::TfrmMain(Prompts& p, MainOptions options, QWidget* parent)
    : QMainWindow(parent), prompts(p), Options(std::move(options)) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Tavrin"));
    setFont(pixelFont(QStringLiteral("ＭＳ Ｐゴシック"), 12));
    setStatusTip(qs(HelpHintText));
    setMaximumSize(1032, 776);
    resize(684, 567);

    loadImages();
    buildActions();
    buildToolBar();
    buildStatusBar();
    buildBoard();
    buildSidePanel();
    buildMenus();
    buildPopups();
    buildTimers();
    Library = std::make_shared<library::LibraryIndex>();
    engineTurn = new EngineTurn(*this, prompts, this, Game, Engine);
    libraryIndexer = new LibraryIndexer(this);
    // Menu items with a caption of their own repeat their action's shortcut; while the menu
    // bar has the focus both match, and such an ambiguous key still runs the command once.
    for (QAction* a : actListMain)
        if (!a->shortcut().isEmpty()) a->installEventFilter(this);
    // Disabled menu items and replay buttons get no events of their own: the window looks
    // at what reaches their menus and the buttons first (hints, the replay panel's popup).
    for (QMenu* m : findChildren<QMenu*>()) m->installEventFilter(this);
    for (QToolButton* b : pnlKifuBtn->findChildren<QToolButton*>()) b->installEventFilter(this);

    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("pnlClient"));
    auto* row = new QHBoxLayout(central);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    row->addWidget(pnlMain, 1);
    row->addWidget(pnlSubBase);
    setCentralWidget(central);

    connect(qApp, &QGuiApplication::applicationStateChanged, this,
            [this](Qt::ApplicationState s) {
                if (s == Qt::ApplicationActive) ApplicationEvents1Activate();
            });

    FormCreate();
    // The clipboard may already hold a record before the application is first activated.
    ApplicationEvents1Activate();
}

TfrmMain::~TfrmMain() { FormDestroy(); }

void TfrmMain::loadImages() {
    initIconResources();
    for (int i = 0; i < 25; ++i)
        imgListIcon.emplace_back(assetPixmap(QStringLiteral(":/icons/icon%1.png").arg(i, 2, 10, QLatin1Char('0'))));
    for (int i = 0; i < 3; ++i)
        imgListMk1.emplace_back(assetPixmap(QStringLiteral(":/icons/mk1_%1.png").arg(i)));
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

QAction* TfrmMain::action(const QString& name) const {
    for (QAction* a : actListMain)
        if (a->objectName() == name) return a;
    return nullptr;
}

int TfrmMain::tagOf(const QAction* a) { return a->property("Tag").toInt(); }

void TfrmMain::setTag(QAction* a, int tag) { a->setProperty("Tag", tag); }

void TfrmMain::buildActions() {
    grpToolBarPosition = new QActionGroup(this);
    grpToolBarPosition->setObjectName(QStringLiteral("grpToolBarPosition"));
    grpToolBarPosition->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    grpKifuSpeed = new QActionGroup(this);
    grpKifuSpeed->setObjectName(QStringLiteral("grpKifuSpeed"));
    grpKifuSpeed->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);

    for (const ActionRow& r : actionTable()) {
        auto* a = new QAction(this);
        a->setObjectName(qs(r.name));
        a->setText(qs(r.caption));
        a->setStatusTip(qs(r.hint));
        if (*r.hint) a->setToolTip(qs(r.hint));
        a->setProperty("category", qs(r.category));
        a->setProperty("iconIndex", r.icon);
        setTag(a, r.tag);
        if (*r.shortcut) a->setShortcut(QKeySequence(qs(r.shortcut), QKeySequence::PortableText));
        if (r.icon >= 0) a->setIcon(imgListIcon.at(static_cast<std::size_t>(r.icon)));
        if (r.check != CheckKind::None) {
            a->setCheckable(true);
            a->setChecked(r.check == CheckKind::Checked || r.check == CheckKind::AutoChecked);
        }
        if (r.group == RadioGroup::Position) grpToolBarPosition->addAction(a);
        if (r.group == RadioGroup::Speed) grpKifuSpeed->addAction(a);
        this->*r.member = a;
        actListMain.push_back(a);
        // Added to the window so that its shortcut works wherever the focus is.
        addAction(a);
        if (!r.handler) {
            // No handler: greyed out, its shortcut does nothing, its menu items hidden.
            a->setEnabled(false);
            a->setVisible(false);
            continue;
        }
        const auto handler = r.handler;
        const bool flipsItself = r.check == CheckKind::Checked;
        connect(a, &QAction::triggered, this, [this, a, handler, flipsItself] {
            // These handlers flip their own mark; undo the flip the toolkit has just made.
            if (flipsItself) a->setChecked(!a->isChecked());
            (this->*handler)();
        });
    }
}

QAction* TfrmMain::addItem(QMenu* menu, QAction* a, const char* caption, const char* hint,
                           const QString& itemName) {
    if (!caption && !hint) {
        menu->addAction(a);
        return a;
    }
    // A menu item with a caption or hint of its own: it forwards to the action and mirrors
    // its enabled state, visibility, check mark and icon.
    auto* item = new QAction(this);
    item->setObjectName(itemName);
    item->setProperty("sourceAction", a->objectName());
    item->setText(caption ? qs(caption) : a->text());
    item->setStatusTip(hint ? qs(hint) : a->statusTip());
    if (hint) item->setToolTip(qs(hint));
    // Shown in the menu; it fires only while the menu itself has the focus.
    item->setShortcut(a->shortcut());
    item->setShortcutContext(Qt::WidgetShortcut);
    if (!item->shortcut().isEmpty()) item->installEventFilter(this);
    item->setCheckable(a->isCheckable());
    const bool ownCaption = caption != nullptr;
    const bool ownHint = hint != nullptr;
    auto sync = [item, a, ownCaption, ownHint] {
        item->setEnabled(a->isEnabled());
        item->setVisible(a->isVisible());
        item->setChecked(a->isChecked());
        item->setIcon(a->icon());
        if (!ownCaption) item->setText(a->text());
        if (!ownHint) {
            item->setStatusTip(a->statusTip());
            item->setToolTip(a->toolTip());
        }
    };
    sync();
    connect(a, &QAction::changed, item, sync);
    connect(a, &QAction::toggled, item, sync);
    connect(item, &QAction::triggered, a, [a, sync] {
        a->trigger();
        sync();
    });
    menu->addAction(item);
    return item;
}

void TfrmMain::addHidden(QMenu* menu, QAction* a) {
    menu->addAction(a);
    a->setVisible(false);
}

void TfrmMain::addHiddenSeparator(QMenu* menu) { menu->addSeparator()->setVisible(false); }

void TfrmMain::buildMenus() {
    mnuMain = menuBar();
    mnuMain->setObjectName(QStringLiteral("mnuMain"));
    auto menu = [this](QMenu* owner, const char* caption, const char* name) {
        QMenu* m = owner ? owner->addMenu(qs(caption)) : mnuMain->addMenu(qs(caption));
        m->setObjectName(qs(name));
        m->menuAction()->setObjectName(qs(name));
        return m;
    };

    mnuFile = menu(nullptr, "ファイル(&F)", "mnuFile");
    addItem(mnuFile, actFileOpenCK);
    addItem(mnuFile, actFileReOpen);
    addItem(mnuFile, actFileSave);
    addItem(mnuFile, actFileSaveAs, "棋譜の別名保存(&A)...", nullptr, QStringLiteral("mnuFileSaveAs"));
    mnuFile->addSeparator();
    addItem(mnuFile, actClipBoard);
    addItem(mnuFile, actClipPast);
    mnuFile->addSeparator();
    addItem(mnuFile, actFileExit);

    mnuPlay = menu(nullptr, "対局(&P)", "mnuPlay");
    addItem(mnuPlay, actPlayNew);
    addItem(mnuPlay, actPlayConfig);
    mnuPlay->addSeparator();
    addItem(mnuPlay, actPlayPass);
    addItem(mnuPlay, actPlayGiveUp);
    addItem(mnuPlay, actPlayMatta);
    mnuPlay->addSeparator();
    addItem(mnuPlay, actPlayStop);
    addItem(mnuPlay, actPlayResume);
    // The computer's commands and their separators show once its engine can be found.
    sepPlayHint = mnuPlay->addSeparator();
    sepPlayHint->setVisible(false);
    addItem(mnuPlay, actPlayKeisei);
    addHidden(mnuPlay, actPlayHint);
    addHidden(mnuPlay, actPlayKentou);
    sepPlayEngine = mnuPlay->addSeparator();
    sepPlayEngine->setVisible(false);
    addHidden(mnuPlay, actPlayUtinaosi);
    addHidden(mnuPlay, actPlayStnChg);
    addItem(mnuPlay, actPlayCount);
    addHiddenSeparator(mnuPlay);
    addHidden(mnuPlay, actPlayEdit);

    mnuKifuP = menu(nullptr, "棋譜観賞(&K)", "mnuKifuP");
    mnuKifuAuto = addItem(mnuKifuP, actKifuAuto, "自動再生開始(&A)", nullptr, QStringLiteral("mnuKifuAuto"));
    mnuKifuP->addSeparator();
    addItem(mnuKifuP, actKifuFirst, "最初に戻す(&F)", nullptr, QStringLiteral("mnuKifuFirst"));
    addItem(mnuKifuP, actKifuLast, "最後に飛ぶ(&L)", nullptr, QStringLiteral("mnuKifuLast"));
    mnuKifuP->addSeparator();
    addItem(mnuKifuP, actKifuBack, "１手戻す(&B)", nullptr, QStringLiteral("mnuKifuBack"));
    addItem(mnuKifuP, actKifuNext, "１手進む(&W)", nullptr, QStringLiteral("mnuKifuNext"));
    mnuKifuP->addSeparator();
    addItem(mnuKifuP, actKifuBack10, "10手戻す(&C)", nullptr, QStringLiteral("mnuKifuBack10"));
    addItem(mnuKifuP, actKifuNext10, "10手進む(&Y)", nullptr, QStringLiteral("mnuKifuNext10"));
    mnuKifuP->addSeparator();
    mnuKifuSpeed = menu(mnuKifuP, "自動再生速度(&S)", "mnuKifuSpeed");
    for (QAction* a : grpKifuSpeed->actions()) addItem(mnuKifuSpeed, a);

    mnuDisp = menu(nullptr, "表示(&D)", "mnuDisp");
    addItem(mnuDisp, actDispZahyou);
    addItem(mnuDisp, actDispGbnHanten);
    addItem(mnuDisp, actDispTejun);
    addItem(mnuDisp, actDispFskJsk);
    mnuDisp->addSeparator();
    mnuDispToolBar = menu(mnuDisp, "ツールバー(&T)", "mnuDispToolBar");
    mnuDispToolBar->menuAction()->setStatusTip(QStringLiteral("ツールバー"));
    addItem(mnuDispToolBar, actDispToolBar, "ツールバー表示(&N)", "ツールバーを表示する",
            QStringLiteral("mnuDispToolBarShow"));
    mnuDispToolBar->addSeparator();
    addItem(mnuDispToolBar, actDispToolBarTop);
    addItem(mnuDispToolBar, actDispToolBarLeft);
    addItem(mnuDispToolBar, actDispToolBarRight);
    addItem(mnuDispToolBar, actDispToolBarBottom);
    addItem(mnuDisp, actDispDataPanel, nullptr, "情報表示パネルを表示する",
            QStringLiteral("mnuDispDataPanel"));
    addItem(mnuDisp, actDispPanelKifuBtn);
    addItem(mnuDisp, actDispStatusBar);
    addItem(mnuDisp, actDispKifu);
    addItem(mnuDisp, actDispComment);
    mnuDisp->addSeparator();
    addItem(mnuDisp, actDispConfig);

    mnuHelp = menu(nullptr, "ヘルプ(&H)", "mnuHelp");
    addItem(mnuHelp, actHelpContents);
    addItem(mnuHelp, actHelpIndex, nullptr, "キーワード", QStringLiteral("mnuHelpIndex"));
    addItem(mnuHelp, actHelpAbout);
}

void TfrmMain::buildPopups() {
    auto popup = [this](const char* name) {
        auto* m = new QMenu(this);
        m->setObjectName(qs(name));
        return m;
    };
    pumToolBar = popup("pumToolBar");
    addItem(pumToolBar, actDispToolBar, "非表示にする(&N)", "非表示にする",
            QStringLiteral("pumToolBarHide"));
    addItem(pumToolBar, actDispToolBarTop);
    addItem(pumToolBar, actDispToolBarLeft);
    addItem(pumToolBar, actDispToolBarRight);
    addItem(pumToolBar, actDispToolBarBottom);

    // The "hide" items of the popups are shown while their part is: they carry no check mark,
    // which would read as already hidden.
    pumStatusBar = popup("pumStatusBar");
    addItem(pumStatusBar, actDispStatusBar, "非表示にする(&N)", "非表示にする", QStringLiteral("pumStatusBarHide"))
        ->setCheckable(false);

    pumPanelSub = popup("pumPanelSub");
    addItem(pumPanelSub, actPlayConfig);
    addItem(pumPanelSub, actDispDataPanel, "情報表示パネル非表示(&N)", "パネルを非表示にする",
            QStringLiteral("pumPanelSubHide"))
        ->setCheckable(false);
    addItem(pumPanelSub, actDispPanelKifuBtn);

    pumGoban = popup("pumGoban");
    addItem(pumGoban, actPlayPass);
    addItem(pumGoban, actPlayGiveUp);
    addItem(pumGoban, actPlayMatta);
    pumGoban->addSeparator();
    addItem(pumGoban, actCansel);

    pumPanelKifBtn = popup("pumPanelKifBtn");
    addItem(pumPanelKifBtn, actDispPanelKifuBtn, "非表示にする(&N)", "非表示にする",
            QStringLiteral("pumPanelKifBtnHide"))
        ->setCheckable(false);
    pumPanelKifBtn->addSeparator();
    pumPanelKifBtnSpeed = pumPanelKifBtn->addMenu(QStringLiteral("自動再生速度(&S)"));
    pumPanelKifBtnSpeed->setObjectName(QStringLiteral("pumPanelKifBtnSpeed"));
    for (QAction* a : grpKifuSpeed->actions()) addItem(pumPanelKifBtnSpeed, a);

    // Each popup opens on the right button over its owner.
    auto own = [](QWidget* owner, QMenu* menu) {
        owner->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(owner, &QWidget::customContextMenuRequested, menu,
                [owner, menu](const QPoint& at) { menu->popup(owner->mapToGlobal(at)); });
    };
    own(tlbMain, pumToolBar);
    own(stbMain, pumStatusBar);
    own(pnlSub, pumPanelSub);
    own(pnlGameInfo, pumPanelSub);
    own(pnlKifuBtn, pumPanelKifBtn);
    QWidget* box = pnlMain->paintBox();
    box->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(box, &QWidget::customContextMenuRequested, this, [this, box](const QPoint& at) {
        // Only while a game is being played; in replay the right button steps back.
        if (pumGobanAutoPopup) pumGoban->popup(box->mapToGlobal(at));
    });
}

QMenu* TfrmMain::createPopupMenu() { return nullptr; }

void TfrmMain::buildToolBar() {
    tlbMain = new QToolBar(this);
    tlbMain->setObjectName(QStringLiteral("tlbMain"));
    tlbMain->setMovable(false);
    tlbMain->setFloatable(false);
    tlbMain->setIconSize(QSize(16, 16));
    tlbMain->setToolButtonStyle(Qt::ToolButtonIconOnly);
    addToolBar(Qt::TopToolBarArea, tlbMain);
    struct Button {
        QAction* action;  // nullptr = separator
        const char* name;
    };
    const Button buttons[] = {
        {actPlayNew, "tlbPlayNew"},     {nullptr, "tlbSep1"},           {actFileOpenCK, "tlbFileOpen1"},
        {actFileSave, "tlbFileSave"},   {actClipBoard, "tlbClipBoard"}, {actClipPast, "tlbClipPast"},
        {nullptr, "tlbSep2"},           {actPlayPass, "tlbPlayPass"},   {actPlayGiveUp, "tlbPlayGiveUp"},
        {actPlayMatta, "tlbPlayMatta"}, {nullptr, "tlbSep3"},           {actPlayStop, "tlbPlayStop"},
        {actPlayResume, "tlbPlayResume"},
    };
    for (const Button& b : buttons) {
        QAction* a = b.action ? b.action : tlbMain->addSeparator();
        if (b.action) tlbMain->addAction(a);
        if (QWidget* w = tlbMain->widgetForAction(a)) w->setObjectName(qs(b.name));
    }
    dockToolBar(Qt::TopToolBarArea);
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
        {210, Qt::AlignLeft, HelpHintText}, {51, Qt::AlignRight, "888手目"},
        {35, Qt::AlignHCenter, "パス"},      {56, Qt::AlignHCenter, "黒番です"},
        {56, Qt::AlignHCenter, "00:00:00"}, {50, Qt::AlignLeft, ""},
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

void TfrmMain::setTitle(const QString& title) {
    // The window title is what the task bar shows. The application display name stays
    // "Tavrin": X11 appends it to every other window's title, and the dialogs keep their own.
    setWindowTitle(title);
}

bool TfrmMain::event(QEvent* e) {
    if (e->type() == QEvent::StatusTip) {
        // Hints of the control or menu item under the mouse go to panel 0; leaving it
        // shows the window's own hint.
        const QString tip = static_cast<QStatusTipEvent*>(e)->tip();
        setStatusText(0, tip.isEmpty() ? qs(HelpHintText) : tip);
        return true;
    }
    return QMainWindow::event(e);
}

bool TfrmMain::eventFilter(QObject* watched, QEvent* e) {
    if (e->type() == QEvent::Shortcut && static_cast<QShortcutEvent*>(e)->isAmbiguous()) {
        if (auto* a = qobject_cast<QAction*>(watched)) {
            QAction* source = action(a->property("sourceAction").toString());
            if (!source) source = a;
            if (source->isEnabled()) source->trigger();
            return true;
        }
    }
    if (auto* menu = qobject_cast<QMenu*>(watched)) {
        // A disabled item is never the menu's active one and shows no hint by itself: under
        // the mouse, or highlighted by the keyboard where the style allows it, it shows its
        // hint in panel 0 like any other item.
        QAction* item = nullptr;
        if (e->type() == QEvent::MouseMove)
            item = menu->actionAt(static_cast<QMouseEvent*>(e)->position().toPoint());
        else if (e->type() == QEvent::KeyRelease)
            item = menu->activeAction();
        if (item && !item->isEnabled() && !item->isSeparator()) {
            const QString tip = item->statusTip();
            setStatusText(0, tip.isEmpty() ? qs(HelpHintText) : tip);
        }
        return QMainWindow::eventFilter(watched, e);
    }
    if (auto* b = qobject_cast<QToolButton*>(watched)) {
        // A disabled replay button passes nothing on; its panel's popup opens over it too.
        if (e->type() == QEvent::MouseButtonPress && !b->isEnabled() &&
            static_cast<QMouseEvent*>(e)->button() == Qt::RightButton) {
            pumPanelKifBtn->popup(b->mapToGlobal(static_cast<QMouseEvent*>(e)->position().toPoint()));
            return true;
        }
        return QMainWindow::eventFilter(watched, e);
    }
    if (e->type() == QEvent::MouseButtonDblClick && watched->isWidgetType()) {
        // The game-information command is never disabled: triggering it runs its handler.
        const QVariant opens = watched->property("opensDialog");
        if (!opens.isValid() || opens.toBool()) actPlayConfig->trigger();
        return true;
    }
    return QMainWindow::eventFilter(watched, e);
}

void TfrmMain::dragEnterEvent(QDragEnterEvent* e) {
    if (e->mimeData()->hasUrls()) e->acceptProposedAction();
}

void TfrmMain::dropEvent(QDropEvent* e) {
    // Only the first dropped file counts; further files are ignored.
    for (const QUrl& url : e->mimeData()->urls()) {
        if (!url.isLocalFile()) continue;
        e->acceptProposedAction();
        FormDropFiles(url.toLocalFile());
        return;
    }
}

}  // namespace tavrin
