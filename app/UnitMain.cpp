// Construction of the main window: actions, menus, popups and toolbar (the status bar, side
// panel, board panel and timers are MainPanels.cpp's), and the window's events.

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
#include <QMouseEvent>
#include <QShortcutEvent>
#include <QStatusBar>
#include <QStatusTipEvent>
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

QString qs(const char* utf8) { return QString::fromUtf8(utf8); }

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

    connect(qApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState s) {
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
    for (int i = 0; i < 3; ++i) imgListMk1.emplace_back(assetPixmap(QStringLiteral(":/icons/mk1_%1.png").arg(i)));
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
            applyCommandStates();
        });
    }
}

QAction* TfrmMain::addItem(QMenu* menu, QAction* a, const char* caption, const char* hint, const QString& itemName) {
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
    addItem(mnuDisp, actDispDataPanel, nullptr, "情報表示パネルを表示する", QStringLiteral("mnuDispDataPanel"));
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
    addItem(pumToolBar, actDispToolBar, "非表示にする(&N)", "非表示にする", QStringLiteral("pumToolBarHide"));
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
        {actPlayNew, "tlbPlayNew"},
        {nullptr, "tlbSep1"},
        {actFileOpenCK, "tlbFileOpen1"},
        {actFileSave, "tlbFileSave"},
        {actClipBoard, "tlbClipBoard"},
        {actClipPast, "tlbClipPast"},
        {nullptr, "tlbSep2"},
        {actPlayPass, "tlbPlayPass"},
        {actPlayGiveUp, "tlbPlayGiveUp"},
        {actPlayMatta, "tlbPlayMatta"},
        {nullptr, "tlbSep3"},
        {actPlayStop, "tlbPlayStop"},
        {actPlayResume, "tlbPlayResume"},
    };
    for (const Button& b : buttons) {
        QAction* a = b.action ? b.action : tlbMain->addSeparator();
        if (b.action) tlbMain->addAction(a);
        if (QWidget* w = tlbMain->widgetForAction(a)) w->setObjectName(qs(b.name));
    }
    dockToolBar(Qt::TopToolBarArea);
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
