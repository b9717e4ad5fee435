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
    ui.engineTurn = new EngineTurn(*this, prompts, this, Game, prefs.Engine);
    ui.libraryIndexer = new LibraryIndexer(this);
    // Menu items with a caption of their own repeat their action's shortcut; while the menu
    // bar has the focus both match, and such an ambiguous key still runs the command once.
    for (QAction* a : ui.actListMain)
        if (!a->shortcut().isEmpty()) a->installEventFilter(this);
    // Disabled menu items and replay buttons get no events of their own: the window looks
    // at what reaches their menus and the buttons first (hints, the replay panel's popup).
    for (QMenu* m : findChildren<QMenu*>()) m->installEventFilter(this);
    for (QToolButton* b : ui.pnlKifuBtn->findChildren<QToolButton*>()) b->installEventFilter(this);
    // The move list's wheel steps through the record, as the board's does.
    ui.lsvKifu->viewport()->installEventFilter(this);

    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("pnlClient"));
    auto* row = new QHBoxLayout(central);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    row->addWidget(ui.pnlMain, 1);
    row->addWidget(ui.pnlSubBase);
    setCentralWidget(central);

    connect(qApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState s) {
        if (s == Qt::ApplicationActive) ApplicationEvents1Activate();
    });

    // The views of the record follow its every change.
    Record.onChange([this] { recordChanged(); });
    FormCreate();
    // The clipboard may already hold a record before the application is first activated.
    ApplicationEvents1Activate();
}

TfrmMain::~TfrmMain() { FormDestroy(); }

void TfrmMain::loadImages() {
    initIconResources();
    for (int i = 0; i < 25; ++i)
        ui.imgListIcon.emplace_back(assetPixmap(QStringLiteral(":/icons/icon%1.png").arg(i, 2, 10, QLatin1Char('0'))));
    for (int i = 0; i < 3; ++i) ui.imgListMk1.emplace_back(assetPixmap(QStringLiteral(":/icons/mk1_%1.png").arg(i)));
}

QAction* TfrmMain::action(const QString& name) const {
    for (QAction* a : ui.actListMain)
        if (a->objectName() == name) return a;
    return nullptr;
}

int TfrmMain::tagOf(const QAction* a) { return a->property("Tag").toInt(); }

void TfrmMain::setTag(QAction* a, int tag) { a->setProperty("Tag", tag); }

void TfrmMain::buildActions() {
    ui.grpToolBarPosition = new QActionGroup(this);
    ui.grpToolBarPosition->setObjectName(QStringLiteral("grpToolBarPosition"));
    ui.grpToolBarPosition->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    ui.grpKifuSpeed = new QActionGroup(this);
    ui.grpKifuSpeed->setObjectName(QStringLiteral("grpKifuSpeed"));
    ui.grpKifuSpeed->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);

    for (const ActionRow& r : actionTable()) {
        auto* a = new QAction(this);
        a->setObjectName(qs(r.name));
        a->setText(qs(r.caption));
        a->setStatusTip(qs(r.hint));
        if (*r.hint) a->setToolTip(qs(r.hint));
        a->setProperty("category", qs(r.category));
        a->setProperty("iconIndex", r.icon);
        setTag(a, r.tag);
        // The first key is the one the menus show; the others ("; ") work as well.
        if (*r.shortcut) a->setShortcuts(QKeySequence::listFromString(qs(r.shortcut), QKeySequence::PortableText));
        if (r.icon >= 0) a->setIcon(ui.imgListIcon.at(static_cast<std::size_t>(r.icon)));
        if (r.check != CheckKind::None) {
            a->setCheckable(true);
            a->setChecked(r.check == CheckKind::Checked || r.check == CheckKind::AutoChecked);
        }
        if (r.group == RadioGroup::Position) ui.grpToolBarPosition->addAction(a);
        if (r.group == RadioGroup::Speed) ui.grpKifuSpeed->addAction(a);
        ui.*r.member = a;
        ui.actListMain.push_back(a);
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

void TfrmMain::buildMenus() {
    ui.mnuMain = menuBar();
    ui.mnuMain->setObjectName(QStringLiteral("mnuMain"));
    auto menu = [this](QMenu* owner, const char* caption, const char* name) {
        QMenu* m = owner ? owner->addMenu(qs(caption)) : ui.mnuMain->addMenu(qs(caption));
        m->setObjectName(qs(name));
        m->menuAction()->setObjectName(qs(name));
        return m;
    };

    ui.mnuFile = menu(nullptr, "ファイル(&F)", "mnuFile");
    addItem(ui.mnuFile, ui.actFileOpenCK);
    addItem(ui.mnuFile, ui.actFileReOpen);
    addItem(ui.mnuFile, ui.actFileSave);
    addItem(ui.mnuFile, ui.actFileSaveAs, "棋譜の別名保存(&A)...", nullptr, QStringLiteral("mnuFileSaveAs"));
    ui.mnuFile->addSeparator();
    addItem(ui.mnuFile, ui.actClipBoard);
    addItem(ui.mnuFile, ui.actClipPast);
    ui.mnuFile->addSeparator();
    addItem(ui.mnuFile, ui.actFileExit);

    ui.mnuPlay = menu(nullptr, "対局(&P)", "mnuPlay");
    addItem(ui.mnuPlay, ui.actPlayNew);
    addItem(ui.mnuPlay, ui.actPlayConfig);
    addItem(ui.mnuPlay, ui.actPlayDetails);
    ui.mnuPlay->addSeparator();
    addItem(ui.mnuPlay, ui.actPlayPass);
    addItem(ui.mnuPlay, ui.actPlayGiveUp);
    addItem(ui.mnuPlay, ui.actPlayMatta);
    ui.mnuPlay->addSeparator();
    addItem(ui.mnuPlay, ui.actPlayStop);
    addItem(ui.mnuPlay, ui.actPlayResume);
    // The computer's commands and their separators show once its engine can be found.
    ui.sepPlayHint = ui.mnuPlay->addSeparator();
    ui.sepPlayHint->setVisible(false);
    addItem(ui.mnuPlay, ui.actPlayKeisei);
    addHidden(ui.mnuPlay, ui.actPlayHint);
    addItem(ui.mnuPlay, ui.actPlayKentou);
    ui.sepPlayEngine = ui.mnuPlay->addSeparator();
    ui.sepPlayEngine->setVisible(false);
    addHidden(ui.mnuPlay, ui.actPlayUtinaosi);
    addHidden(ui.mnuPlay, ui.actPlayStnChg);
    addItem(ui.mnuPlay, ui.actPlayCount);
    ui.mnuPlay->addSeparator();
    addItem(ui.mnuPlay, ui.actPlayEdit);

    ui.mnuEdit = menu(nullptr, "編集(&E)", "mnuEdit");
    addItem(ui.mnuEdit, ui.actEditUndo);
    addItem(ui.mnuEdit, ui.actEditRedo);
    ui.mnuEdit->addSeparator();
    addItem(ui.mnuEdit, ui.actEditDelete);
    addItem(ui.mnuEdit, ui.actEditPromote);
    addItem(ui.mnuEdit, ui.actEditUp);
    addItem(ui.mnuEdit, ui.actEditDown);
    ui.mnuEdit->addSeparator();
    addItem(ui.mnuEdit, ui.actEditCut);
    addItem(ui.mnuEdit, ui.actEditKeepLine);
    ui.mnuEdit->addSeparator();
    addItem(ui.mnuEdit, ui.actEditCopyLine);
    addItem(ui.mnuEdit, ui.actEditPasteLine);
    ui.mnuEdit->addSeparator();
    QMenu* annotations = menu(ui.mnuEdit, "評価(&A)", "mnuEditAnnotation");
    for (QAction* a : {ui.actEditBM, ui.actEditDO, ui.actEditIT, ui.actEditTE}) addItem(annotations, a);
    annotations->addSeparator();
    for (QAction* a : {ui.actEditGB, ui.actEditGW, ui.actEditDM, ui.actEditUC}) addItem(annotations, a);
    annotations->addSeparator();
    addItem(annotations, ui.actEditHO);

    ui.mnuKifuP = menu(nullptr, "棋譜観賞(&K)", "mnuKifuP");
    ui.mnuKifuAuto = addItem(ui.mnuKifuP, ui.actKifuAuto, "自動再生開始(&A)", nullptr, QStringLiteral("mnuKifuAuto"));
    ui.mnuKifuP->addSeparator();
    addItem(ui.mnuKifuP, ui.actKifuFirst, "最初に戻す(&F)", nullptr, QStringLiteral("mnuKifuFirst"));
    addItem(ui.mnuKifuP, ui.actKifuLast, "最後に飛ぶ(&L)", nullptr, QStringLiteral("mnuKifuLast"));
    ui.mnuKifuP->addSeparator();
    addItem(ui.mnuKifuP, ui.actKifuBack, "１手戻す(&B)", nullptr, QStringLiteral("mnuKifuBack"));
    addItem(ui.mnuKifuP, ui.actKifuNext, "１手進む(&W)", nullptr, QStringLiteral("mnuKifuNext"));
    ui.mnuKifuP->addSeparator();
    addItem(ui.mnuKifuP, ui.actKifuBack10, "10手戻す(&C)", nullptr, QStringLiteral("mnuKifuBack10"));
    addItem(ui.mnuKifuP, ui.actKifuNext10, "10手進む(&Y)", nullptr, QStringLiteral("mnuKifuNext10"));
    ui.mnuKifuP->addSeparator();
    addItem(ui.mnuKifuP, ui.actKifuVarNext);
    addItem(ui.mnuKifuP, ui.actKifuVarPrev);
    addItem(ui.mnuKifuP, ui.actKifuVarBranch);
    addItem(ui.mnuKifuP, ui.actKifuMainLine);
    ui.mnuKifuP->addSeparator();
    addItem(ui.mnuKifuP, ui.actKifuGoTo);
    addItem(ui.mnuKifuP, ui.actKifuNextComment);
    addItem(ui.mnuKifuP, ui.actKifuPrevComment);
    addItem(ui.mnuKifuP, ui.actKifuSearch);
    addItem(ui.mnuKifuP, ui.actKifuAnalyse);
    ui.mnuKifuP->addSeparator();
    ui.mnuKifuSpeed = menu(ui.mnuKifuP, "自動再生速度(&S)", "mnuKifuSpeed");
    for (QAction* a : ui.grpKifuSpeed->actions()) addItem(ui.mnuKifuSpeed, a);

    ui.mnuDisp = menu(nullptr, "表示(&D)", "mnuDisp");
    addItem(ui.mnuDisp, ui.actDispZahyou);
    addItem(ui.mnuDisp, ui.actDispRowsFromBottom);
    addItem(ui.mnuDisp, ui.actDispGbnHanten);
    addItem(ui.mnuDisp, ui.actDispTejun);
    addItem(ui.mnuDisp, ui.actDispVariations);
    addItem(ui.mnuDisp, ui.actDispVariationLetters);
    addItem(ui.mnuDisp, ui.actDispOpenAtStart);
    addItem(ui.mnuDisp, ui.actDispFskJsk);
    ui.mnuDisp->addSeparator();
    ui.mnuDispToolBar = menu(ui.mnuDisp, "ツールバー(&T)", "mnuDispToolBar");
    ui.mnuDispToolBar->menuAction()->setStatusTip(QStringLiteral("ツールバー"));
    addItem(ui.mnuDispToolBar, ui.actDispToolBar, "ツールバー表示(&N)", "ツールバーを表示する",
            QStringLiteral("mnuDispToolBarShow"));
    ui.mnuDispToolBar->addSeparator();
    addItem(ui.mnuDispToolBar, ui.actDispToolBarTop);
    addItem(ui.mnuDispToolBar, ui.actDispToolBarLeft);
    addItem(ui.mnuDispToolBar, ui.actDispToolBarRight);
    addItem(ui.mnuDispToolBar, ui.actDispToolBarBottom);
    addItem(ui.mnuDisp, ui.actDispDataPanel, nullptr, "情報表示パネルを表示する", QStringLiteral("mnuDispDataPanel"));
    addItem(ui.mnuDisp, ui.actDispPanelKifuBtn);
    addItem(ui.mnuDisp, ui.actDispStatusBar);
    addItem(ui.mnuDisp, ui.actDispKifu);
    addItem(ui.mnuDisp, ui.actDispComment);
    addItem(ui.mnuDisp, ui.actDispTree);
    addItem(ui.mnuDisp, ui.actDispGraph);
    ui.mnuDisp->addSeparator();
    addItem(ui.mnuDisp, ui.actDispConfig);

    ui.mnuHelp = menu(nullptr, "ヘルプ(&H)", "mnuHelp");
    addItem(ui.mnuHelp, ui.actHelpContents);
    addItem(ui.mnuHelp, ui.actHelpIndex, nullptr, "キーワード", QStringLiteral("mnuHelpIndex"));
    addItem(ui.mnuHelp, ui.actHelpAbout);
}

void TfrmMain::buildPopups() {
    auto popup = [this](const char* name) {
        auto* m = new QMenu(this);
        m->setObjectName(qs(name));
        return m;
    };
    ui.pumToolBar = popup("pumToolBar");
    addItem(ui.pumToolBar, ui.actDispToolBar, "非表示にする(&N)", "非表示にする", QStringLiteral("pumToolBarHide"));
    addItem(ui.pumToolBar, ui.actDispToolBarTop);
    addItem(ui.pumToolBar, ui.actDispToolBarLeft);
    addItem(ui.pumToolBar, ui.actDispToolBarRight);
    addItem(ui.pumToolBar, ui.actDispToolBarBottom);

    // The "hide" items of the popups are shown while their part is: they carry no check mark,
    // which would read as already hidden.
    ui.pumStatusBar = popup("pumStatusBar");
    addItem(ui.pumStatusBar, ui.actDispStatusBar, "非表示にする(&N)", "非表示にする",
            QStringLiteral("pumStatusBarHide"))
        ->setCheckable(false);

    ui.pumPanelSub = popup("pumPanelSub");
    addItem(ui.pumPanelSub, ui.actPlayConfig);
    addItem(ui.pumPanelSub, ui.actDispDataPanel, "情報表示パネル非表示(&N)", "パネルを非表示にする",
            QStringLiteral("pumPanelSubHide"))
        ->setCheckable(false);
    addItem(ui.pumPanelSub, ui.actDispPanelKifuBtn);

    ui.pumGoban = popup("pumGoban");
    addItem(ui.pumGoban, ui.actPlayPass);
    addItem(ui.pumGoban, ui.actPlayGiveUp);
    addItem(ui.pumGoban, ui.actPlayMatta);
    ui.pumGoban->addSeparator();
    addItem(ui.pumGoban, ui.actCansel);

    ui.pumPanelKifBtn = popup("pumPanelKifBtn");
    addItem(ui.pumPanelKifBtn, ui.actDispPanelKifuBtn, "非表示にする(&N)", "非表示にする",
            QStringLiteral("pumPanelKifBtnHide"))
        ->setCheckable(false);
    ui.pumPanelKifBtn->addSeparator();
    ui.pumPanelKifBtnSpeed = ui.pumPanelKifBtn->addMenu(QStringLiteral("自動再生速度(&S)"));
    ui.pumPanelKifBtnSpeed->setObjectName(QStringLiteral("pumPanelKifBtnSpeed"));
    for (QAction* a : ui.grpKifuSpeed->actions()) addItem(ui.pumPanelKifBtnSpeed, a);

    // Each popup opens on the right button over its owner.
    auto own = [](QWidget* owner, QMenu* menu) {
        owner->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(owner, &QWidget::customContextMenuRequested, menu,
                [owner, menu](const QPoint& at) { menu->popup(owner->mapToGlobal(at)); });
    };
    own(ui.tlbMain, ui.pumToolBar);
    own(ui.stbMain, ui.pumStatusBar);
    own(ui.pnlSub, ui.pumPanelSub);
    own(ui.pnlGameInfo, ui.pumPanelSub);
    own(ui.pnlKifuBtn, ui.pumPanelKifBtn);
    QWidget* box = ui.pnlMain->paintBox();
    box->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(box, &QWidget::customContextMenuRequested, this, [this, box](const QPoint& at) {
        // Only while a game is being played; in replay the right button steps back.
        if (prefs.pumGobanAutoPopup) ui.pumGoban->popup(box->mapToGlobal(at));
    });
}

QMenu* TfrmMain::createPopupMenu() { return nullptr; }

void TfrmMain::buildToolBar() {
    ui.tlbMain = new QToolBar(this);
    ui.tlbMain->setObjectName(QStringLiteral("tlbMain"));
    ui.tlbMain->setMovable(false);
    ui.tlbMain->setFloatable(false);
    ui.tlbMain->setIconSize(QSize(16, 16));
    ui.tlbMain->setToolButtonStyle(Qt::ToolButtonIconOnly);
    addToolBar(Qt::TopToolBarArea, ui.tlbMain);
    struct Button {
        QAction* action;  // nullptr = separator
        const char* name;
    };
    const Button buttons[] = {
        {ui.actPlayNew, "tlbPlayNew"},
        {nullptr, "tlbSep1"},
        {ui.actFileOpenCK, "tlbFileOpen1"},
        {ui.actFileSave, "tlbFileSave"},
        {ui.actClipBoard, "tlbClipBoard"},
        {ui.actClipPast, "tlbClipPast"},
        {nullptr, "tlbSep2"},
        {ui.actPlayPass, "tlbPlayPass"},
        {ui.actPlayGiveUp, "tlbPlayGiveUp"},
        {ui.actPlayMatta, "tlbPlayMatta"},
        {nullptr, "tlbSep3"},
        {ui.actPlayStop, "tlbPlayStop"},
        {ui.actPlayResume, "tlbPlayResume"},
    };
    for (const Button& b : buttons) {
        QAction* a = b.action ? b.action : ui.tlbMain->addSeparator();
        if (b.action) ui.tlbMain->addAction(a);
        if (QWidget* w = ui.tlbMain->widgetForAction(a)) w->setObjectName(qs(b.name));
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
        setStatusText(0, tip.isEmpty() ? restingStatus() : tip);
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
            setStatusText(0, tip.isEmpty() ? restingStatus() : tip);
        }
        return QMainWindow::eventFilter(watched, e);
    }
    if (auto* b = qobject_cast<QToolButton*>(watched)) {
        // A disabled replay button passes nothing on; its panel's popup opens over it too.
        if (e->type() == QEvent::MouseButtonPress && !b->isEnabled() &&
            static_cast<QMouseEvent*>(e)->button() == Qt::RightButton) {
            ui.pumPanelKifBtn->popup(b->mapToGlobal(static_cast<QMouseEvent*>(e)->position().toPoint()));
            return true;
        }
        return QMainWindow::eventFilter(watched, e);
    }
    if (e->type() == QEvent::Wheel && watched == ui.lsvKifu->viewport()) {
        wheelEvent(static_cast<QWheelEvent*>(e));
        return true;
    }
    if (e->type() == QEvent::MouseButtonDblClick && watched->isWidgetType()) {
        // The game-information command is never disabled: triggering it runs its handler.
        const QVariant opens = watched->property("opensDialog");
        if (!opens.isValid() || opens.toBool()) ui.actPlayConfig->trigger();
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
