#include "tests/monkey/Monkey.h"
#include "tests/support/MainWindowAccess.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDir>
#include <QDockWidget>
#include <QDropEvent>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QStatusBar>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QUrl>
#include <QWheelEvent>
#include <QWindow>
#include <algorithm>
#include <cstdio>
#include <functional>

#include "app/ActionTable.h"
#include "record/NodeMarkup.h"
#include "view/BoardView.h"
#include "view/GameTreePane.h"
#include "view/ReviewGraph.h"

namespace tavrin::monkey {

namespace {

std::string str(const QString& s) { return s.toStdString(); }
std::string num(long v) { return std::to_string(v); }

std::string shortPath(const QString& path) { return str(path.section(QLatin1Char('/'), -2)); }

bool endsWithNoCase(const QString& path, const char* tail) {
    return path.endsWith(QLatin1String(tail), Qt::CaseInsensitive);
}

// Pieces that make SGF (and NGF) text go wrong in interesting ways.
const char* const Tokens[] = {
    "(",
    ")",
    ";",
    "[",
    "]",
    "\\",
    "B[",
    "W[aa]",
    "AB[dd]",
    "AW[pp]",
    "SZ[",
    "SZ[13]",
    "SZ[9]",
    "SZ[0]",
    "SZ[99]",
    "SZ[-1]",
    "HA[9]",
    "HA[1]",
    "HA[99]",
    "KM[-999999999]",
    "KM[6.5]",
    "KM[650]",
    "PL[W]",
    "C[",
    "\n",
    "\r\n",
    "B[zz]",
    "W[]",
    "B[tt]",
    ";B[aa]",
    ";W[ss]",
    "(;",
    ")(",
    "CA[UTF-8]",
    "CA[Shift_JIS]",
    "\xef\xbb\xbf",
    "\x81",
    "\x83\x5c",
    "RE[B+R]",
    "RE[W+",
    "DT[2024-01-01]",
    "FF[4]",
    "GM[2]",
    "PB[黒]",
    "AB[aa][bb][cc]",
    "9999999999999999999999",
};
constexpr int TokenCount = sizeof Tokens / sizeof Tokens[0];

QByteArray mutateBytes(Rng& r, QByteArray b) {
    const int rounds = r.between(1, 6);
    for (int i = 0; i < rounds; ++i) {
        const int n = static_cast<int>(b.size());
        const int at = r.below(n + 1);
        switch (r.below(6)) {
            case 0:  // flip a byte
                if (n > 0) b[at % n] = static_cast<char>(r.below(256));
                break;
            case 1:  // cut a span
                b.remove(at, r.between(1, 64));
                break;
            case 2:  // repeat a span
                if (n > 0) b.insert(at, b.mid(r.below(n), r.between(1, 200)));
                break;
            case 3:  // truncate
                b.truncate(at);
                break;
            default:  // insert a token
                b.insert(at, Tokens[r.below(TokenCount)]);
                break;
        }
    }
    return b;
}

// A property value: random text, escaped as SGF wants it most of the time.
QString sgfValue(Rng& r) {
    QString t = randomText(r);
    if (r.percent(85)) {
        t.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
        t.replace(QLatin1Char(']'), QStringLiteral("\\]"));
    }
    return t;
}

// A synthetic record: random size, handicap, names and a game of random length, sometimes
// longer than the record holds.
QString syntheticSgf(Rng& r) {
    static const int Sizes[] = {9, 13, 19, 19, 19, 7, 25, 0};
    const int size = Sizes[r.below(8)];
    QString s = QStringLiteral("(;GM[1]FF[4]CA[UTF-8]SZ[%1]").arg(size);
    if (r.percent(30)) s += QStringLiteral("HA[%1]").arg(r.between(0, 10));
    if (r.percent(20)) {
        s += QStringLiteral("AB");
        for (int i = r.between(1, 9); i > 0; --i)
            s += QStringLiteral("[%1%2]").arg(QChar('a' + r.below(19))).arg(QChar('a' + r.below(19)));
    }
    s += QStringLiteral("KM[%1]PB[%2]PW[%3]").arg(r.between(-100, 100) / 2.0).arg(sgfValue(r), sgfValue(r));
    if (r.percent(40)) s += QStringLiteral("RE[%1]").arg(sgfValue(r));
    if (r.percent(20)) s += QStringLiteral("GN[%1]C[%2]").arg(sgfValue(r), sgfValue(r));
    // Long games sit at the record's capacity (1024 entries with the handicap stones):
    // passes, then a few real moves so play can go on from the end.
    const int roll = r.below(100);
    const int moves = roll < 70 ? r.between(0, 60) : roll < 88 ? r.between(200, 400) : r.between(1000, 1030);
    const int edge = size >= 1 && size <= 25 ? size : 19;
    for (int k = 0; k < moves; ++k) {
        const bool black = (k % 2 == 0) != r.percent(5);
        s += black ? QStringLiteral(";B[") : QStringLiteral(";W[");
        const int kind = r.below(100);
        if (kind < 8 || (moves >= 1000 && k < moves - 12)) {
            // "tt" is a pass; an empty value is no move at all.
            if (r.percent(97)) s += QStringLiteral("tt");
        } else if (kind < 10) {
            s += QStringLiteral("zz");
        } else {
            s += QChar('a' + r.below(edge));
            s += QChar('a' + r.below(edge));
        }
        s += QLatin1Char(']');
    }
    return s + QLatin1Char(')');
}

QString mutateText(Rng& r, const QString& text) { return QString::fromUtf8(mutateBytes(r, text.toUtf8())); }

}  // namespace

Monkey::Monkey(Rng& rng, ActionLog& log, MonkeyFiles& files, RandomPrompts& prompts, QString settingsPath)
    : R(rng), Log(log), Files(files), Prompts(prompts), SettingsPath(std::move(settingsPath)) {
    Choices = {
        {16, "trigger", &Monkey::triggerAction},
        {4, "view", &Monkey::viewToggle},
        {8, "shortcut", &Monkey::shortcutKey},
        {18, "board", &Monkey::boardMouse},
        {10, "click", &Monkey::windowMouse},
        {4, "wheel", &Monkey::wheel},
        {3, "resize", &Monkey::resizeWindow},
        {8, "row", &Monkey::kifuRow},
        {10, "timers", &Monkey::timerTicks},
        {7, "open", &Monkey::openRecord},
        {3, "open-mutated", &Monkey::openMutatedRecord},
        {3, "drop", &Monkey::dropFiles},
        {6, "paste", &Monkey::paste},
        {3, "save", &Monkey::save},
        {2, "close", &Monkey::closeAttempt},
        {2, "dblclick", &Monkey::doubleClickInfo},
        {3, "popup", &Monkey::contextMenu},
        {4, "button", &Monkey::clickButton},
        {3, "idle", &Monkey::idle},
        {2, "keys", &Monkey::keys},
        {1, "activate", &Monkey::activate},
        {1, "long-record", &Monkey::longRecord},
        {4, "variations", &Monkey::variations},
    };
    for (const Choice& c : Choices) TotalWeight += c.weight;
    NestedLoopGuard = new QTimer;
    NestedLoopGuard->setInterval(20);
    QObject::connect(NestedLoopGuard, &QTimer::timeout, [this] {
        if (QThread::currentThread()->loopLevel() == 0) return;
        if (QWidget* popup = QApplication::activePopupWidget()) {
            note("closed the toolkit's modal " + std::string(popup->metaObject()->className()));
            popup->close();
        } else if (QWidget* modal = QApplication::activeModalWidget()) {
            note("closed the toolkit's modal " + std::string(modal->metaObject()->className()));
            modal->close();
        }
    });
    NestedLoopGuard->start();
}

Monkey::~Monkey() {
    W.reset();
    delete NestedLoopGuard;
}

void Monkey::note(const std::string& text) { Log.note(text); }

void Monkey::keepInput(const char* what, const QByteArray& bytes) {
    LastInput = bytes;
    LastInputKind = what;
    LastInputAction = Log.Started.load();
    if (!KeepInputs.isEmpty()) saveLastInput(KeepInputs);
}

QString Monkey::saveLastInput(const QString& folder) const {
    if (LastInputKind.empty()) return {};
    const QString path = folder + QStringLiteral("/monkey-seed%1-action%2.input").arg(Log.Seed).arg(LastInputAction);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) return {};
    f.write(LastInput);
    return path;
}

QByteArray Monkey::fileBytes(const QString& path) {
    auto it = Bytes.find(path);
    if (it != Bytes.end()) return *it;
    QFile f(path);
    QByteArray b = f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    Bytes.insert(path, b);
    return b;
}

void Monkey::openWindow(const QStringList& arguments) {
    MainOptions o;
    o.settingsPath = SettingsPath;
    o.arguments = arguments;
    // The play between people, replay and files: no engine process takes part.
    o.engineLookup = false;
    W = std::make_unique<TfrmMain>(Prompts, o);
    ++WindowsOpened;
    W->show();
    W->activateWindow();
    QApplication::processEvents();
}

void Monkey::closeWindow() {
    if (!W) return;
    W->close();
    W.reset();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void Monkey::ensureActive() {
    if (QApplication::activePopupWidget() && R.percent(50)) QApplication::activePopupWidget()->close();
    if (QApplication::activeWindow() != W.get()) {
        W->raise();
        W->activateWindow();
        QApplication::processEvents();
    }
}

// The window was closed by the user: the program ends and is started again on the settings
// it has just written.
void Monkey::afterClose() {
    if (W->isVisible()) return;
    note("window closed: program started again");
    W.reset();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    openWindow({});
}

void Monkey::step(long index) {
    int roll = R.below(TotalWeight);
    const Choice* chosen = &Choices.front();
    for (const Choice& c : Choices) {
        if (roll < c.weight) {
            chosen = &c;
            break;
        }
        roll -= c.weight;
    }
    // Now and then the program is ended and started again (settings round trip).
    if (R.below(1000) < 3) {
        Log.begin(index, "restart");
        restartProgram();
        return;
    }
    Log.begin(index, chosen->name);
    const bool replay = inside(*W).ReplayMode;
    const int moves = W->Game.MoveCount;
    const int current = W->Game.CurrentMove;
    const TfrmMain* before = W.get();
    (this->*chosen->run)();
    if (W.get() == before) {
        if (!replay && !inside(*W).ReplayMode && W->Game.MoveCount > moves && W->Game.MoveCount - moves <= 12)
            Stats.MovesPlayed += W->Game.MoveCount - moves;
        if (!replay && !inside(*W).ReplayMode && W->Game.MoveCount < moves) ++Stats.TakeBacks;
        if (replay && inside(*W).ReplayMode && W->Game.MoveCount == moves && W->Game.CurrentMove != current)
            ++Stats.ReplaySteps;
        if (replay != inside(*W).ReplayMode) ++Stats.ModeChanges;
    }
    Stats.LongestRecord = std::max(Stats.LongestRecord, W->Game.MoveCount);
    afterClose();
    if (R.percent(50)) QApplication::processEvents();
    // The monkey's own copies of saved records, to open and drop later.
    if (index % 64 == 0) {
        Files.Saved.clear();
        for (const QString& n :
             QDir(Files.Scratch).entryList({QStringLiteral("*.sgf"), QStringLiteral("*.SGF")}, QDir::Files, QDir::Name))
            Files.Saved.push_back(Files.Scratch + QLatin1Char('/') + n);
    }
}

// ---- actions ---------------------------------------------------------------------------

// An enabled action of the list, as from its menu item or button.
void Monkey::triggerAction() { triggerEnabled(QString()); }

void Monkey::viewToggle() { triggerEnabled(QStringLiteral("actDisp")); }

void Monkey::triggerEnabled(const QString& prefix) {
    std::vector<QAction*> enabled;
    for (QAction* a : W->ui.actListMain)
        if (a->isEnabled() && a->objectName().startsWith(prefix)) enabled.push_back(a);
    if (enabled.empty()) return note("nothing enabled");
    QAction* a = R.pick(enabled);
    note(str(a->objectName()));
    a->trigger();
}

void Monkey::shortcutKey() {
    std::vector<QAction*> keyed;
    for (QAction* a : W->ui.actListMain)
        if (!a->shortcut().isEmpty()) keyed.push_back(a);
    ensureActive();
    if (R.percent(10)) {
        // Keys no action owns.
        static const QKeyCombination Free[] = {QKeyCombination(Qt::ControlModifier, Qt::Key_J),
                                               QKeyCombination(Qt::Key_F2), QKeyCombination(Qt::AltModifier, Qt::Key_F),
                                               QKeyCombination(Qt::Key_Escape),
                                               QKeyCombination(Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_Up)};
        const QKeyCombination k = Free[R.below(5)];
        note(str(QKeySequence(k).toString()));
        QTest::keyClick(W.get(), k.key(), k.keyboardModifiers());
        return;
    }
    if (QWidget* popup = QApplication::activePopupWidget()) note("popup " + str(popup->objectName()) + " open");
    if (QWidget* focus = QApplication::focusWidget()) note("focus " + str(focus->objectName()));
    QAction* a = R.pick(keyed);
    const QKeyCombination k = a->shortcut()[0];
    note(str(QKeySequence(k).toString()) + " (" + str(a->objectName()) + (a->isEnabled() ? "" : ", disabled") + ")");
    QTest::keyClick(W.get(), k.key(), k.keyboardModifiers());
}

void Monkey::boardMouse() {
    // While a game is played, a few moves in a row, so games grow long enough to capture.
    const int clicks = inside(*W).ReplayMode ? 1 : R.between(1, 12);
    for (int i = 0; i < clicks; ++i) boardClick();
}

void Monkey::boardClick() {
    QWidget* box = W->ui.pnlMain->paintBox();
    const int cell = W->ui.pnlMain->geometryInfo().CellSize;
    const int size = W->Game.BoardSize;
    auto point = [&]() -> QPoint {
        const int roll = R.below(100);
        if (roll < 65 && cell > 0)
            return {(R.between(1, size) - 1) * cell + cell / 2, (R.between(1, size) - 1) * cell + cell / 2};
        if (roll < 95) return {R.between(-30, box->width() + 30), R.between(-30, box->height() + 30)};
        return {R.between(-100000, 100000), R.between(-100000, 100000)};
    };
    static const Qt::MouseButton Buttons[] = {Qt::LeftButton, Qt::LeftButton,  Qt::LeftButton,
                                              Qt::LeftButton, Qt::RightButton, Qt::MiddleButton};
    const Qt::MouseButton button = Buttons[R.below(6)];
    const QPoint down = point();
    const int shape = R.below(100);
    const QPoint up = shape < 80 ? down : point();
    auto send = [&](QEvent::Type type, QPoint at, Qt::MouseButtons held) {
        QMouseEvent e(type, at, box->mapToGlobal(at), button, held, Qt::NoModifier);
        QApplication::sendEvent(box, &e);
    };
    const char* b = button == Qt::LeftButton ? "left" : button == Qt::RightButton ? "right" : "middle";
    note(std::string(b) + " " + num(down.x()) + "," + num(down.y()) +
         (shape >= 95   ? " (release only)"
          : shape >= 90 ? " (press only)"
                        : "") +
         (up != down ? " -> " + num(up.x()) + "," + num(up.y()) : std::string()));
    if (shape < 95) send(QEvent::MouseButtonPress, down, button);
    if (shape < 90 || shape >= 95) send(QEvent::MouseButtonRelease, up, Qt::NoButton);
}

void Monkey::windowMouse() {
    // Through the window system: the event goes to whatever lies under the point (toolbar,
    // menu bar, list, buttons, board, an open popup), with the usual grabs and context menus.
    QWindow* win = W->windowHandle();
    if (!win) return note("no window handle");
    QPoint at(R.between(-10, W->width() + 10), R.between(-10, W->height() + 10));
    if (R.percent(40)) {
        QWidget* box = W->ui.pnlMain->paintBox();
        at = box->mapTo(W.get(), QPoint(R.below(std::max(1, box->width())), R.below(std::max(1, box->height()))));
    }
    if (QWidget* popup = QApplication::activePopupWidget(); popup && R.percent(60)) {
        // Aim into the open popup (a menu item, most of the time).
        at = W->mapFromGlobal(
            popup->mapToGlobal(QPoint(R.below(std::max(1, popup->width())), R.below(std::max(1, popup->height())))));
    }
    const Qt::MouseButton button = R.percent(75) ? Qt::LeftButton : R.percent(70) ? Qt::RightButton : Qt::MiddleButton;
    const char* kind = "click";
    const int roll = R.below(100);
    if (roll < 75) {
        QTest::mouseClick(win, button, Qt::NoModifier, at);
    } else if (roll < 88) {
        kind = "double-click";
        QTest::mouseDClick(win, button, Qt::NoModifier, at);
    } else {
        kind = "drag";
        const QPoint to(R.between(-50, W->width() + 50), R.between(-50, W->height() + 50));
        QTest::mousePress(win, button, Qt::NoModifier, at);
        QTest::mouseMove(win, to);
        QTest::mouseRelease(win, button, Qt::NoModifier, to);
    }
    QWidget* under = W->childAt(at);
    note(std::string(kind) + " " + num(at.x()) + "," + num(at.y()) + " on " +
         (under ? str(under->objectName().isEmpty() ? QString::fromLatin1(under->metaObject()->className())
                                                    : under->objectName())
                : std::string("-")));
}

void Monkey::wheel() {
    QWidget* targets[] = {W.get(), W->ui.pnlMain->paintBox(), W->ui.lsvKifu->viewport()};
    QWidget* t = targets[R.below(3)];
    const int delta = R.percent(90) ? (R.percent(50) ? 120 : -120) : R.between(-2400, 2400);
    note(str(t->objectName()) + " " + num(delta));
    const QPointF at(t->width() / 2.0, t->height() / 2.0);
    QWheelEvent e(at, t->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase,
                  false);
    QApplication::sendEvent(t, &e);
}

void Monkey::resizeWindow() {
    const int roll = R.below(100);
    if (roll < 8) {
        static const Qt::WindowStates States[] = {Qt::WindowMaximized, Qt::WindowMinimized, Qt::WindowNoState};
        const int i = R.below(3);
        note("state " + num(i));
        W->setWindowState(States[i]);
    } else {
        int w = 0, h = 0;
        if (roll < 30) {
            w = R.between(1, 80);
            h = R.between(1, 80);
        } else if (roll < 80) {
            w = R.between(300, 1100);
            h = R.between(250, 800);
        } else {
            w = R.between(1500, 20000);
            h = R.between(1500, 20000);
        }
        note(num(w) + "x" + num(h));
        W->resize(w, h);
    }
    // The deferred re-layout comes at once, later, or with the next events.
    if (R.percent(40) && W->ui.tmrDelay->isActive()) {
        note("tmrDelayTimer");
        inside(*W).tmrDelayTimer();
    }
}

// The tree pane (a click on any point of it, an arrow key on it) and the comment window's
// links to the variations.
void Monkey::variations() {
    const int how = R.below(100);
    if (how < 15) {
        note("actDispTree");
        W->ui.actDispTree->trigger();
        return;
    }
    if (how < 35) {
        QLabel* info = W->ui.lblCommentInfo;
        const QString text = info ? info->text() : QString();
        const qsizetype at = text.indexOf(QStringLiteral("<a href=\""));
        if (at < 0) return note("no variation link");
        const QString link = text.mid(at + 9, text.indexOf(QLatin1Char('"'), at + 9) - at - 9);
        note("comment link " + str(link));
        emit info->linkActivated(link);
        return;
    }
    if (how < 45 && W->ui.tlbEdit && W->ui.tlbEdit->isVisible()) {
        // 盤面編集's tools: a tool chosen, or the side to move changed.
        const QList<QAction*> tools = W->ui.tlbEdit->actions();
        QAction* a = tools.at(R.below(static_cast<int>(tools.size())));
        note("edit tool " + str(a->objectName()));
        a->trigger();
        return;
    }
    if (how >= 95 && W->ui.grfReview && !W->ui.dckGraph->isHidden()) {
        // 形勢グラフ: a click goes to the move under it.
        const QPoint at(R.below(W->ui.grfReview->width() + 1), R.below(W->ui.grfReview->height() + 1));
        note("graph click " + num(at.x()) + "," + num(at.y()));
        QTest::mouseClick(W->ui.grfReview, Qt::LeftButton, {}, at);
        return;
    }
    GameTreePane* pane = W->ui.treePane;
    if (!pane || W->ui.dckTree->isHidden()) return note("no tree pane");
    if (how < 50) {
        const QPoint at(R.below(pane->viewport()->width() + 1), R.below(pane->viewport()->height() + 1));
        note("tree pane menu " + num(at.x()) + "," + num(at.y()));
        emit pane->customContextMenuRequested(at);
        return;
    }
    if (how < 70) {
        const QPoint at(R.below(pane->viewport()->width() + 1), R.below(pane->viewport()->height() + 1));
        note("tree pane click " + num(at.x()) + "," + num(at.y()));
        QTest::mouseClick(pane->viewport(), Qt::LeftButton, {}, at);
        return;
    }
    static const Qt::Key Keys[] = {Qt::Key_Left, Qt::Key_Right, Qt::Key_Up, Qt::Key_Down};
    const Qt::Key k = Keys[R.below(4)];
    note("tree pane key " + str(QKeySequence(k).toString()));
    QTest::keyClick(pane, k);
}

void Monkey::kifuRow() {
    QTreeWidget* list = W->ui.lsvKifu;
    const int rows = W->kifuRowCount();
    const int r = R.below(rows + 1);
    QTreeWidgetItem* item = r < rows ? W->kifuRow(r) : nullptr;
    const int how = R.below(100);
    if (how < 30) {
        note("select row " + num(r) + "/" + num(rows));
        if (item) item->setSelected(true);
    } else if (how < 50) {
        note("current row " + num(r) + "/" + num(rows));
        if (item) list->setCurrentItem(item);
    } else if (how < 75) {
        note("click row " + num(r) + "/" + num(rows));
        if (item) {
            const QRect rect = list->visualItemRect(item);
            QMouseEvent press(QEvent::MouseButtonPress, rect.center(), list->viewport()->mapToGlobal(rect.center()),
                              Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
            QMouseEvent release(QEvent::MouseButtonRelease, rect.center(), list->viewport()->mapToGlobal(rect.center()),
                                Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
            QApplication::sendEvent(list->viewport(), &press);
            QApplication::sendEvent(list->viewport(), &release);
        }
    } else {
        static const Qt::Key Keys[] = {Qt::Key_Up,   Qt::Key_Down, Qt::Key_PageUp, Qt::Key_PageDown,
                                       Qt::Key_Home, Qt::Key_End,  Qt::Key_Space,  Qt::Key_Return};
        const Qt::Key k = Keys[R.below(8)];
        note("key in list " + str(QKeySequence(k).toString()));
        list->setFocus();
        QTest::keyClick(list, k);
    }
}

void Monkey::timerTicks() {
    // A tick comes only from a running timer; the deferred re-layout may also be asked for
    // with nothing pending.
    const int roll = R.below(100);
    if (roll < 40) {
        if (!W->ui.tmrTime->isActive()) return note("tmrTime idle");
        const int n = R.percent(5) ? R.between(3000, 4000) : R.between(1, 5);
        note("tmrTimeTimer x" + num(n));
        for (int i = 0; i < n && W->ui.tmrTime->isActive(); ++i) inside(*W).tmrTimeTimer();
    } else if (roll < 80) {
        if (!W->ui.tmrKifuAuto->isActive()) {
            // Start the replay the way the user does, when it can be started.
            if (!W->ui.actKifuAuto->isEnabled()) return note("tmrKifuAuto idle");
            note("actKifuAuto");
            W->ui.actKifuAuto->trigger();
        }
        const int n = R.between(1, 15);
        note("tmrKifuAutoTimer x" + num(n));
        for (int i = 0; i < n && W->ui.tmrKifuAuto->isActive(); ++i) inside(*W).tmrKifuAutoTimer();
    } else {
        note(W->ui.tmrDelay->isActive() ? "tmrDelayTimer (pending)" : "tmrDelayTimer");
        inside(*W).tmrDelayTimer();
    }
}

void Monkey::openRecord() {
    QString path;
    // Mostly the next record of the sweep through the corpus, else any record.
    if (!Files.Corpus.isEmpty() && SweepNext < Files.Corpus.size() && R.percent(70))
        path = Files.Corpus.at(SweepNext++);
    else
        path = Files.someRecord(R);
    const bool ngf = endsWithNoCase(path, ".ngf");
    const bool other = R.percent(8);  // the other reader on the same bytes
    const bool useNgf = ngf != other;
    const int how = R.below(100);
    bool ok = false;
    if (how < 60) {
        note(std::string(useNgf ? "fncFileReadNGF " : "fncFileReadSGF ") + shortPath(path));
        ok = useNgf ? inside(*W).fncFileReadNGF(path) : inside(*W).fncFileReadSGF(path);
    } else {
        const bool readOnly = R.percent(30);
        note("actFileOpenAccept " + shortPath(path) + (readOnly ? " read-only" : ""));
        inside(*W).actFileOpenAccept(OpenChoice{path, readOnly});
        ok = W->Doc.FileName == path.toStdString();
    }
    note(std::string(ok ? "loaded, " : "not loaded, ") + num(W->Game.MoveCount) + " moves");
}

void Monkey::openMutatedRecord() {
    const QString source = Files.someRecord(R);
    const bool ngf = endsWithNoCase(source, ".ngf");
    const QString path = Files.Scratch + (ngf ? QStringLiteral("/mutated.ngf") : QStringLiteral("/mutated.sgf"));
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) return note("cannot write " + str(path));
    const QByteArray bytes = mutateBytes(R, fileBytes(source));
    f.write(bytes);
    f.close();
    keepInput(ngf ? "mutated .ngf file" : "mutated .sgf file", bytes);
    note("from " + shortPath(source));
    const bool ok = ngf ? inside(*W).fncFileReadNGF(path) : inside(*W).fncFileReadSGF(path);
    note(std::string(ok ? "loaded, " : "not loaded, ") + num(W->Game.MoveCount) + " moves");
}

void Monkey::dropFiles() {
    QList<QUrl> urls;
    const int roll = R.below(100);
    if (roll < 55) {
        urls << QUrl::fromLocalFile(Files.someRecord(R));
    } else if (roll < 65) {
        urls << QUrl::fromLocalFile(Files.missingPath());
    } else if (roll < 72) {
        urls << QUrl::fromLocalFile(Files.Scratch);
    } else if (roll < 80) {
        const QString text = Files.Scratch + QStringLiteral("/notes.txt");
        QFile f(text);
        if (f.open(QIODevice::WriteOnly | QIODevice::Truncate)) f.write("(;GM[1])");
        urls << QUrl::fromLocalFile(text);
    } else if (roll < 88) {
        urls << QUrl(QStringLiteral("https://example.invalid/game.sgf")) << QUrl::fromLocalFile(Files.someRecord(R));
    } else {
        urls << QUrl::fromLocalFile(Files.someRecord(R)) << QUrl::fromLocalFile(Files.someRecord(R));
    }
    std::string names;
    for (const QUrl& u : urls) {
        names += ' ';
        names += u.isLocalFile() ? shortPath(u.toLocalFile()) : str(u.toString());
    }
    if (R.percent(40)) {
        QString first;
        for (const QUrl& u : urls)
            if (u.isLocalFile()) {
                first = u.toLocalFile();
                break;
            }
        note("FormDropFiles" + names);
        inside(*W).FormDropFiles(first);
        return;
    }
    note("drop event" + names);
    auto* data = new QMimeData;
    data->setUrls(urls);
    const QPoint at(R.below(std::max(1, W->width())), R.below(std::max(1, W->height())));
    QDragEnterEvent enter(at, Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(W.get(), &enter);
    if (enter.isAccepted() || R.percent(30)) {
        QDropEvent drop(QPointF(at), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(W.get(), &drop);
    }
    delete data;
}

void Monkey::paste() {
    QClipboard* clip = QGuiApplication::clipboard();
    const int roll = R.below(100);
    if (roll < 25) {
        const QString path = Files.someRecord(R);
        note("text of " + shortPath(path));
        clip->setText(QString::fromUtf8(fileBytes(path)));
    } else if (roll < 50) {
        const QString path = Files.someRecord(R);
        note("mutated text of " + shortPath(path));
        clip->setText(mutateText(R, QString::fromUtf8(fileBytes(path))));
        keepInput("pasted text", clip->text().toUtf8());
    } else if (roll < 70) {
        const QString text = syntheticSgf(R);
        note("synthetic record, " + num(text.count(QLatin1Char(';'))) + " nodes");
        clip->setText(text);
        keepInput("pasted text", text.toUtf8());
    } else if (roll < 82) {
        note("own copy, mutated");
        W->ui.actClipBoard->trigger();
        if (R.percent(70)) clip->setText(mutateText(R, clip->text()));
        keepInput("pasted text", clip->text().toUtf8());
    } else if (roll < 92) {
        note("random text");
        clip->setText(randomText(R));
    } else {
        note("no text on the clipboard");
        auto* data = new QMimeData;
        data->setUrls({QUrl::fromLocalFile(Files.someRecord(R))});
        clip->setMimeData(data);
    }
    const int how = R.below(100);
    if (how < 60) {
        inside(*W).ApplicationEvents1Activate();
        note(W->ui.actClipPast->isEnabled() ? "actClipPast" : "paste disabled");
        if (W->ui.actClipPast->isEnabled()) W->ui.actClipPast->trigger();
    } else if (how < 80) {
        inside(*W).ApplicationEvents1Activate();
        ensureActive();
        note("Ctrl+V");
        QTest::keyClick(W.get(), Qt::Key_V, Qt::ControlModifier);
    } else {
        // The clipboard changed while the window stayed active: no activation in between.
        note("actClipPastExecute");
        W->ui.actClipPast->trigger();
    }
    note(num(W->Game.MoveCount) + " moves");
}

void Monkey::save() {
    const QString path = R.percent(85) ? Files.savePath(R) : Files.unwritablePath(R);
    const int how = R.below(100);
    bool ok = false;
    if (how < 50) {
        note("fncFileWriteSGF " + shortPath(path));
        ok = inside(*W).fncFileWriteSGF(path);
    } else {
        note("actFileSaveAsAccept " + shortPath(path));
        inside(*W).actFileSaveAsAccept(path);
        ok = W->Doc.FileName == path.toStdString() && !W->Doc.Modified;
    }
    note(ok ? "written" : "not written");
    if (ok && endsWithNoCase(path, ".sgf") && R.percent(40)) {
        // What the program wrote, it reads back.
        const int moves = W->Game.MoveCount;
        const bool back = inside(*W).fncFileReadSGF(path);
        note(std::string("read back: ") + (back ? "loaded, " : "not loaded, ") + num(W->Game.MoveCount) +
             " moves (was " + num(moves) + ")");
    }
}

void Monkey::closeAttempt() {
    if (R.percent(70)) {
        const bool ok = inside(*W).FormCloseQuery();
        note(std::string("FormCloseQuery -> ") + (ok ? "may close" : "stays open"));
        return;
    }
    note("close()");
    W->close();
}

void Monkey::doubleClickInfo() {
    QList<QWidget*> targets = W->ui.pnlGameInfo->findChildren<QWidget*>();
    targets.push_back(W->ui.pnlGameInfo);
    QWidget* t = targets.at(R.below(static_cast<int>(targets.size())));
    note(str(t->objectName()));
    QMouseEvent e(QEvent::MouseButtonDblClick, QPointF(1, 1), t->mapToGlobal(QPointF(1, 1)), Qt::LeftButton,
                  Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(t, &e);
}

void Monkey::contextMenu() {
    QWidget* owners[] = {W->ui.tlbMain,     W->ui.stbMain,    W->ui.pnlSub,
                         W->ui.pnlGameInfo, W->ui.pnlKifuBtn, W->ui.pnlMain->paintBox()};
    QWidget* owner = owners[R.below(6)];
    const QPoint at(R.below(std::max(1, owner->width())), R.below(std::max(1, owner->height())));
    note("on " + str(owner->objectName()));
    QContextMenuEvent e(QContextMenuEvent::Mouse, at, owner->mapToGlobal(at));
    QApplication::sendEvent(owner, &e);
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    if (!menu) return note("no popup");
    for (int depth = 0; menu && depth < 2; ++depth) {
        std::vector<QAction*> items;
        for (QAction* a : menu->actions())
            if (a->isVisible() && a->isEnabled() && !a->isSeparator()) items.push_back(a);
        const int roll = R.below(100);
        if (items.empty() || roll < 25) {
            note("popup closed");
            menu->close();
            return;
        }
        if (roll < 32) return note("popup left open");
        QAction* a = R.pick(items);
        note("item " + str(a->objectName().isEmpty() ? a->text() : a->objectName()));
        if (QMenu* sub = a->menu()) {
            sub->popup(menu->mapToGlobal(menu->actionGeometry(a).topRight()));
            menu = sub;
            continue;
        }
        if (R.percent(50)) {
            // Clicked inside the menu.
            QTest::mouseClick(menu, Qt::LeftButton, Qt::NoModifier, menu->actionGeometry(a).center());
        } else {
            menu->close();
            a->trigger();
        }
        return;
    }
}

void Monkey::clickButton() {
    QList<QToolButton*> buttons = W->ui.pnlKifuBtn->findChildren<QToolButton*>();
    buttons += W->ui.tlbMain->findChildren<QToolButton*>();
    if (buttons.isEmpty()) return note("no buttons");
    QToolButton* b = buttons.at(R.below(static_cast<int>(buttons.size())));
    note(str(b->objectName().isEmpty() ? (b->defaultAction() ? b->defaultAction()->objectName() : QString())
                                       : b->objectName()) +
         (b->isEnabled() ? "" : " (disabled)"));
    b->click();
}

void Monkey::idle() {
    if (R.percent(80)) {
        note("events");
        QApplication::processEvents();
    } else {
        const int ms = R.between(1, 25);
        note("wait " + num(ms) + " ms");
        QTest::qWait(ms);
    }
}

void Monkey::keys() {
    static const Qt::Key Keys[] = {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Space, Qt::Key_Tab,
                                   Qt::Key_Left,   Qt::Key_Right,  Qt::Key_Up,    Qt::Key_Down,
                                   Qt::Key_Delete, Qt::Key_F10,    Qt::Key_A,     Qt::Key_F1};
    const Qt::Key k = Keys[R.below(12)];
    const Qt::KeyboardModifiers mods = R.percent(20) ? Qt::AltModifier : Qt::NoModifier;
    ensureActive();
    QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : W.get();
    note(str(QKeySequence(QKeyCombination(mods, k)).toString()) + " to " + str(target->objectName()));
    QTest::keyClick(target, k, mods);
}

void Monkey::longRecord() {
    // A long record (past the thousand entries records once were held to), then play goes on
    // from its end.
    const int stones = R.percent(50) ? 0 : R.between(2, 9);
    const int entries = R.between(1000, 3000);
    QString s = QStringLiteral("(;GM[1]FF[4]SZ[19]");
    std::vector<QString> points;
    for (int c = 0; c < 19; c += 2)
        for (int r = 0; r < 19; r += 2) points.push_back(QString(QChar('a' + c)) + QChar('a' + r));
    for (std::size_t i = points.size() - 1; i > 0; --i)
        std::swap(points[i], points[static_cast<std::size_t>(R.below(static_cast<int>(i) + 1))]);
    std::size_t next = 0;
    if (stones > 0) {
        s += QStringLiteral("AB");
        for (int i = 0; i < stones; ++i) s += QLatin1Char('[') + points[next++] + QLatin1Char(']');
    }
    const int moves = entries - stones;
    for (int k = 0; k < moves; ++k) {
        s += k % 2 == 0 ? QStringLiteral(";B[") : QStringLiteral(";W[");
        s += k >= moves - 12 ? points[next++] : QStringLiteral("tt");
        s += QLatin1Char(']');
    }
    s += QLatin1Char(')');
    keepInput("pasted text", s.toUtf8());
    note(num(stones) + " stones + " + num(moves) + " moves");
    QGuiApplication::clipboard()->setText(s);
    W->ui.actClipPast->trigger();
    note("loaded " + num(W->Game.HandicapCount) + "+" + num(W->Game.MoveCount));
    if (!W->ui.actPlayResume->isEnabled()) return note("resume disabled");
    W->ui.actPlayResume->trigger();
    const int tries = R.between(1, 6);
    for (int i = 0; i < tries && !inside(*W).ReplayMode; ++i) {
        if (R.percent(30)) {
            note("pass");
            W->ui.actPlayPass->trigger();
        } else {
            boardClick();
        }
    }
    note("now " + num(W->Game.HandicapCount) + "+" + num(W->Game.MoveCount) + ", status \"" + str(W->statusText(0)) +
         "\"");
}

void Monkey::activate() {
    note("ApplicationEvents1Activate");
    inside(*W).ApplicationEvents1Activate();
}

void Monkey::restartProgram() {
    W->close();
    note(W->isVisible() ? "close refused, ended anyway" : "closed");
    W.reset();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    // Sometimes the settings file is damaged or odd before the next start.
    if (R.percent(25)) {
        static const char* const Odd[] = {
            "[PlayInfo]\nBrdSize=7\nPutStone=50\nKomi=-99999\nLevel=9\n",
            "[KifuAuto]\nSpeed=0\n[Display]\nWidth=-5\nHeight=100000\nState=7\n",
            "[Display]\nToolBar=0\nStatusBar=0\nDataPanel=0\nPanelKifuBtn=0\nToolBarTop=0\nToolBarLeft=1\nToolBarRight="
            "1\n",
            "\xff\xfe garbage [[[ = ]]]\n=\n[\n",
            "[Directory]\nLastReadDir=/no/such/folder\nLastWriteDir=\\\\server\\share\n",
        };
        const int i = R.below(5);
        note("settings file replaced (" + num(i) + ")");
        QFile f(SettingsPath);
        if (f.open(QIODevice::WriteOnly | QIODevice::Truncate)) f.write(Odd[i]);
    }
    QStringList args;
    const int roll = R.below(100);
    if (roll < 25)
        args << Files.someRecord(R);
    else if (roll < 32)
        args << Files.missingPath();
    else if (roll < 36)
        args << Files.Scratch + QStringLiteral("/notes.txt");
    note("started" + (args.isEmpty() ? std::string() : " with " + shortPath(args.first())));
    openWindow(args);
}

// ---- invariants --------------------------------------------------------------------------

std::string Monkey::check() const {
    const GameState& g = W->Game;
    const bool replayMode = MainWindowAccess{*W}.ReplayMode;
    auto fail = [](const std::string& what) { return what; };
    if (g.BoardSize < MinBoardSize || g.BoardSize > MaxBoardSize) return fail("BoardSize " + num(g.BoardSize));
    if (g.BoardStride != g.BoardSize + 2 || g.BoardLast != g.BoardStride * g.BoardStride - 1)
        return fail("board geometry " + num(g.BoardStride) + "/" + num(g.BoardLast));
    const int stride = g.BoardStride;
    int stones = 0;
    for (int p = 0; p < BoardCells; ++p) {
        const int v = g.Board[static_cast<std::size_t>(p)];
        if (v < -2 || v > 2) return fail("Board[" + num(p) + "] = " + num(v));
        if (p > g.BoardLast) continue;
        const int col = p / stride;
        const int row = p % stride;
        const bool colEdge = col == 0 || col == stride - 1;
        const bool rowEdge = row == 0 || row == stride - 1;
        const int expected = colEdge && rowEdge ? CellCorner : colEdge || rowEdge ? CellBorder : 99;
        if (expected != 99 && v != expected) return fail("border cell Board[" + num(p) + "] = " + num(v));
        if (expected == 99) {
            if (v < 0) return fail("inner cell Board[" + num(p) + "] = " + num(v));
            if (v > 0) ++stones;
        }
    }
    if (g.SideToMove != Black && g.SideToMove != White) return fail("SideToMove " + num(g.SideToMove));
    // A loaded record's handicap is its number of AB stones, which may be 1 or more than 9.
    if (g.HandicapCount < 0 || g.HandicapCount > RecordCapacity) return fail("HandicapCount " + num(g.HandicapCount));
    if (g.MoveCount < 0 || g.HandicapCount + g.MoveCount > RecordCapacity)
        return fail("MoveCount " + num(g.MoveCount) + " with HandicapCount " + num(g.HandicapCount));
    if (g.CurrentMove < 1 || g.CurrentMove > g.MoveCount + 1)
        return fail("CurrentMove " + num(g.CurrentMove) + " of MoveCount " + num(g.MoveCount));
    const int captured = g.CapturedCount[1] + g.CapturedCount[2];
    if (g.CapturedCount[1] < 0 || g.CapturedCount[2] < 0 || captured > RecordCapacity)
        return fail("CapturedCount " + num(g.CapturedCount[1]) + "/" + num(g.CapturedCount[2]));
    auto inside = [&](int pos) {
        const int col = pos / stride;
        const int row = pos % stride;
        return pos > 0 && pos <= g.BoardLast && col >= 1 && col <= g.BoardSize && row >= 1 && row <= g.BoardSize;
    };
    int expectedStones = 0;
    for (int e = 1; e <= g.HandicapCount + g.MoveCount; ++e) {
        const int pos = g.MovePos[static_cast<std::size_t>(e)];
        const int colour = g.MoveColor[static_cast<std::size_t>(e)];
        const bool handicap = e <= g.HandicapCount;
        if (handicap && pos == 0) continue;  // a handicap count without its stones
        if (colour != Black && colour != White) return fail("MoveColor[" + num(e) + "] = " + num(colour));
        if (!inside(pos) && (handicap || pos != PassPos)) return fail("MovePos[" + num(e) + "] = " + num(pos));
        if (handicap || (e - g.HandicapCount < g.CurrentMove && pos != PassPos)) ++expectedStones;
    }
    // A stone of the mover's own colour (a record's suicide, or a stone it replaced) counts for
    // the other side.
    int capturedByMoves[3] = {0, 0, 0};
    for (int k = 1, taken = 0; k < g.CurrentMove; ++k) {
        const int n = g.MoveCaptures[static_cast<std::size_t>(k)];
        if (n < 0 || taken + n > RecordCapacity) return fail("MoveCaptures[" + num(k) + "] = " + num(n));
        const int mover = g.MoveColor[static_cast<std::size_t>(g.HandicapCount + k)];
        for (int j = taken + 1; j <= taken + n; ++j)
            ++capturedByMoves[capturedStone(g.CapturedPos[static_cast<std::size_t>(j)]).own ? 3 - mover : mover];
        taken += n;
    }
    if (capturedByMoves[1] != g.CapturedCount[1] || capturedByMoves[2] != g.CapturedCount[2])
        return fail("CapturedCount " + num(g.CapturedCount[1]) + "/" + num(g.CapturedCount[2]) +
                    " but the shown moves captured " + num(capturedByMoves[1]) + "/" + num(capturedByMoves[2]));
    // Setup between the moves puts and takes stones the record's entries do not count.
    const SetupChanges later = W->Record.laterSetup();
    const bool setupShown = !later.empty() && later.front().BeforeMove <= g.CurrentMove;
    if (!setupShown && stones != expectedStones - captured)
        return fail(num(stones) + " stones on the board, the record shows " + num(expectedStones) + " placed and " +
                    num(captured) + " captured (CurrentMove " + num(g.CurrentMove) + ")");
    if (g.CurrentMove > 1) {
        const auto e = static_cast<std::size_t>(g.HandicapCount + g.CurrentMove - 1);
        const int pos = g.MovePos[e];
        // A suicide the record holds (played as recorded) leaves no stone of its own, and setup
        // after the move may have taken its stone away.
        const bool illegal = W->Record.illegalAt(W->Record.nodeIndexOfMove(g.CurrentMove - 1));
        if (pos != PassPos && !illegal && !setupShown && g.Board[static_cast<std::size_t>(pos)] != g.MoveColor[e])
            return fail("the last shown move at " + num(pos) + " has no stone of its colour");
    }
    if (g.GameOver && !replayMode) return fail("GameOver while not in replay");
    if (g.EndedByPasses && !g.GameOver) return fail("EndedByPasses while the game is not over");
    if (!replayMode && g.CurrentMove != g.MoveCount + 1)
        return fail("playing at move " + num(g.CurrentMove) + " of " + num(g.MoveCount));
    if (replayMode && W->ui.tmrTime->isActive()) return fail("the move clock runs in replay");
    if (W->kifuRowCount() != g.MoveCount + 1)
        return fail("the move list has " + num(W->kifuRowCount()) + " rows for " + num(g.MoveCount) + " moves");
    // The shown line of the record's tree holds the record's moves, and its shown node is the
    // shown position.
    const RecordTree& tree = W->Tree();
    int treeMoves = 0;
    for (const RecordTree::NodeId n : W->Record.line()) {
        for (RecordTree::PropId p = tree.firstProperty(n); p != RecordTree::None; p = tree.nextProperty(p)) {
            if (tree.mainLineRole(p) != RecordTree::Role::Move) continue;
            if (++treeMoves > g.MoveCount)
                return fail("the tree holds more moves than the record's " + num(g.MoveCount));
            const auto e = static_cast<std::size_t>(g.HandicapCount + treeMoves);
            const std::string_view v = tree.value(p, 0);
            const int x = v.size() == 2 ? v[0] - 'a' + 1 : 0, y = v.size() == 2 ? v[1] - 'a' + 1 : 0;
            const bool onBoard = x >= 1 && x <= g.BoardSize && y >= 1 && y <= g.BoardSize;
            const int pos = onBoard ? x * stride + y : PassPos;
            const int colour = RecordTree::identKey(tree.identifier(p)) == RecordTree::identKey("B") ? Black : White;
            if (pos != g.MovePos[e] || colour != g.MoveColor[e])
                return fail("move " + num(treeMoves) + " of the tree is not the record's");
        }
    }
    if (treeMoves != g.MoveCount)
        return fail("the tree holds " + num(treeMoves) + " of the record's " + num(g.MoveCount) + " moves");
    if (W->Record.movesThrough(W->Record.depth()) != g.CurrentMove - 1)
        return fail("the record's shown node is not at move " + num(g.CurrentMove - 1));
    // 盤面編集 shows its tools; 検討 and 盤面編集 are marked when on and never both.
    if (W->ui.actPlayEdit->isChecked() != (W->ui.tlbEdit && W->ui.tlbEdit->isVisible()))
        return fail("盤面編集 is marked " + std::string(W->ui.actPlayEdit->isChecked() ? "on" : "off") +
                    " with its tools " + (W->ui.tlbEdit && W->ui.tlbEdit->isVisible() ? "shown" : "hidden"));
    if (W->ui.actPlayEdit->isChecked() && W->ui.actPlayKentou->isChecked()) return fail("検討 and 盤面編集 both on");
    // The tree pane and the board's variation marks are of the shown node.
    if (W->ui.treePane && !W->ui.dckTree->isHidden() && W->ui.treePane->current() != W->Record.node())
        return fail("the tree pane shows node " + num(static_cast<int>(W->ui.treePane->current())) + ", not " +
                    num(static_cast<int>(W->Record.node())));
    const bool marksWanted = W->ui.actDispVariations->isChecked() && replayMode && !MainWindowAccess{*W}.counting();
    const std::vector<VariationMark> marks =
        marksWanted ? variationMarksOf(tree, W->Record.node(), g.BoardSize) : std::vector<VariationMark>{};
    if (W->ui.pnlMain->variationMarks() != marks)
        return fail("the board marks " + num(static_cast<int>(W->ui.pnlMain->variationMarks().size())) +
                    " variations, the shown node has " + num(static_cast<int>(marks.size())));
    // The commands are as the one function decides for the game as it stands.
    const CommandFacts facts = W->commandFacts();
    for (const ActionRow& row : actionTable()) {
        QAction* action = W->ui.*row.member;
        if (row.state && row.handler && action->isEnabled() != row.state(facts).enabled)
            return fail(str(action->objectName()) + (action->isEnabled() ? " is enabled" : " is disabled") +
                        " against the game's state");
    }
    // Without an engine the computer's commands stay hidden.
    for (QAction* a : {W->ui.actPlayStnChg, W->ui.actPlayHint, W->ui.actPlayUtinaosi})
        if (a->isVisible()) return fail(str(a->objectName()) + " is shown without an engine");
    // In replay no move is played or taken back; 検討's own 待った takes its last move back.
    if (replayMode)
        for (QAction* a : {W->ui.actPlayPass, W->ui.actPlayMatta, W->ui.actPlayGiveUp})
            if (a->isEnabled() && !(a == W->ui.actPlayMatta && W->ui.actPlayKentou->isChecked()))
                return fail(str(a->objectName()) + " is enabled in replay");
    if (!replayMode)
        for (QAction* a : {W->ui.actKifuAuto, W->ui.actKifuFirst, W->ui.actKifuLast, W->ui.actKifuBack,
                           W->ui.actKifuNext, W->ui.actKifuBack10, W->ui.actKifuNext10})
            if (a->isEnabled()) return fail(str(a->objectName()) + " is enabled while playing");
    if (!W->windowTitle().endsWith(QLatin1String("Tavrin")))
        return fail("window title \"" + str(W->windowTitle()) + "\"");
    return {};
}

// ---- the checks' own test ----------------------------------------------------------------

std::vector<std::string> Monkey::selfTest() {
    std::vector<std::string> missed;
    // A game with stones on the board: four moves and a capture-free position.
    for (int pos : {4 * 21 + 4, 16 * 21 + 16, 4 * 21 + 16, 16 * 21 + 4}) inside(*W).prcHit(pos, W->Game.SideToMove);
    if (std::string broken = check(); !broken.empty()) return {"the game before any break: " + broken};
    if (W->Game.MoveCount != 4) return {"four moves were not played"};
    const GameState saved = W->Game;
    const bool savedReplay = inside(*W).ReplayMode;
    auto expectCaught = [&](const std::string& what, const std::function<void()>& breakIt,
                            const std::function<void()>& repair) {
        breakIt();
        const std::string broken = check();
        MainWindowAccess{* W}.Game = saved;
        inside(*W).ReplayMode = savedReplay;
        if (repair) repair();
        if (broken.empty())
            missed.push_back(what);
        else
            std::printf("monkey self-test: %-40s caught: %s\n", what.c_str(), broken.c_str());
        if (std::string after = check(); !after.empty()) missed.push_back("not repaired after " + what + ": " + after);
    };
    const int stone = 4 * 21 + 4;
    expectCaught("CurrentMove past the record",
                 [&] { MainWindowAccess{* W}.Game.CurrentMove = MainWindowAccess{*W}.Game.MoveCount + 2; }, {});
    expectCaught("CurrentMove 0", [&] { MainWindowAccess{* W}.Game.CurrentMove = 0; }, {});
    expectCaught("MoveCount past the capacity", [&] { MainWindowAccess{* W}.Game.MoveCount = RecordCapacity + 1; }, {});
    expectCaught("a cell of value 3", [&] { MainWindowAccess{*W}.Game.Board[10 * 21 + 10] = 3; }, {});
    expectCaught("a stone vanished", [&] { MainWindowAccess{*W}.Game.Board[stone] = 0; }, {});
    expectCaught("an extra stone", [&] { MainWindowAccess{*W}.Game.Board[10 * 21 + 10] = White; }, {});
    expectCaught("a border cell emptied", [&] { MainWindowAccess{*W}.Game.Board[5] = 0; }, {});
    expectCaught("a captured stone nobody took", [&] { ++MainWindowAccess{*W}.Game.CapturedCount[1]; }, {});
    expectCaught("CapturedCount over 1024", [&] { MainWindowAccess{*W}.Game.CapturedCount[2] = 2000; }, {});
    expectCaught("SideToMove 0", [&] { MainWindowAccess{* W}.Game.SideToMove = 0; }, {});
    expectCaught("BoardSize 26", [&] { MainWindowAccess{* W}.Game.BoardSize = 26; }, {});
    expectCaught("a move of colour 3", [&] { MainWindowAccess{*W}.Game.MoveColor[2] = 3; }, {});
    expectCaught("a move off the board", [&] { MainWindowAccess{*W}.Game.MovePos[3] = 500; }, {});
    expectCaught("GameOver while playing", [&] { MainWindowAccess{* W}.Game.GameOver = true; }, {});
    expectCaught("EndedByPasses while playing", [&] { MainWindowAccess{* W}.Game.EndedByPasses = true; }, {});
    expectCaught("playing in the middle of the record",
                 [&] {
                     inside(*W).ReplayMode = false;
                     MainWindowAccess{* W}.Game.CurrentMove = 2;
                 },
                 {});
    QTreeWidgetItem* taken = nullptr;
    expectCaught(
        "a move-list row lost", [&] { taken = W->ui.lsvKifu->takeTopLevelItem(W->kifuRowCount() - 1); },
        [&] { W->ui.lsvKifu->addTopLevelItem(taken); });
    expectCaught(
        "the clock running in replay",
        [&] {
            inside(*W).ReplayMode = true;
            W->ui.tmrTime->start();
        },
        [&] { W->ui.tmrTime->stop(); });
    expectCaught(
        "a command without handler shown", [&] { W->ui.actPlayHint->setVisible(true); },
        [&] { W->ui.actPlayHint->setVisible(false); });
    expectCaught(
        "pass enabled in replay",
        [&] {
            W->ui.actPlayStop->trigger();
            W->ui.actPlayPass->setEnabled(true);
        },
        [&] { W->ui.actPlayResume->trigger(); });
    expectCaught(
        "replay enabled while playing", [&] { W->ui.actKifuFirst->setEnabled(true); },
        [&] { W->ui.actKifuFirst->setEnabled(false); });
    expectCaught(
        "a move taken back beside the record",
        [&] {
            NullPainter none;
            prcKifBack(MainWindowAccess{*W}.Game, MainWindowAccess{*W}.Game.CurrentMove - 1, none);
            MainWindowAccess{* W}.Game.MoveCount = MainWindowAccess{*W}.Game.CurrentMove - 1;
            taken = W->ui.lsvKifu->takeTopLevelItem(W->kifuRowCount() - 1);
        },
        [&] { W->ui.lsvKifu->addTopLevelItem(taken); });
    expectCaught(
        "a title of another program", [&] { W->setWindowTitle(QStringLiteral("x")); },
        [&] { W->setWindowTitle(QStringLiteral("新規 - Tavrin")); });
    return missed;
}

}  // namespace tavrin::monkey
