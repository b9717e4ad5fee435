// Counting the end of a game (終局計算) and judging a position (形勢判断) in the window.
//
// Counting lies over the ended game like a sheet: the record and the board stay as they were
// until 確定 writes the result; キャンセル or Esc leave everything as it was. A left click on
// a stone marks its whole group dead or alive again (its chain and the chains of its colour
// that share an empty region with it, up to the other colour's live stones); a right click
// marks it in seki.

#include <QAction>
#include <QBoxLayout>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>

#include "app/TfrmMain.h"
#include "engine/Gtp.h"
#include "game/Estimate.h"
#include "record/InfoTexts.h"
#include "view/BoardView.h"

namespace tavrin {

namespace {

QString qs(const std::string& s) { return QString::fromStdString(s); }

// "6目半" style points of a count in tenths.
QString pointsText(int tenths) {
    const int whole = tenths / 10;
    return tenths % 10 ? QStringLiteral("%1.5").arg(whole) : QString::number(whole);
}

}  // namespace

void TfrmMain::buildCountPanel() {
    pnlCount = new QFrame(pnlSub);
    pnlCount->setObjectName(QStringLiteral("pnlCount"));
    pnlCount->setFrameStyle(QFrame::Box | QFrame::Plain);
    auto* rows = new QVBoxLayout(pnlCount);
    rows->setContentsMargins(6, 4, 6, 4);
    rows->setSpacing(2);
    auto* title = new QLabel(QStringLiteral("<b>終局計算</b>"), pnlCount);
    title->setToolTip(QStringLiteral("石を左クリックで死に石、右クリックでセキに指定します"));
    lblCountBlack = new QLabel(pnlCount);
    lblCountBlack->setObjectName(QStringLiteral("lblCountBlack"));
    lblCountWhite = new QLabel(pnlCount);
    lblCountWhite->setObjectName(QStringLiteral("lblCountWhite"));
    lblCountResult = new QLabel(pnlCount);
    lblCountResult->setObjectName(QStringLiteral("lblCountResult"));
    auto* buttons = new QHBoxLayout;
    btnCountOk = new QPushButton(QStringLiteral("確定"), pnlCount);
    btnCountOk->setObjectName(QStringLiteral("btnCountOk"));
    btnCountCancel = new QPushButton(QStringLiteral("キャンセル"), pnlCount);
    btnCountCancel->setObjectName(QStringLiteral("btnCountCancel"));
    buttons->addWidget(btnCountOk);
    buttons->addWidget(btnCountCancel);
    for (QLabel* l : {title, lblCountBlack, lblCountWhite, lblCountResult}) {
        l->setWordWrap(true);
        rows->addWidget(l);
    }
    rows->addLayout(buttons);
    // Below the replay buttons, at the foot of the side panel's column.
    static_cast<QBoxLayout*>(pnlSub->layout())->addWidget(pnlCount);
    pnlCount->hide();
    connect(btnCountOk, &QPushButton::clicked, this, [this] { finishCounting(true); });
    connect(btnCountCancel, &QPushButton::clicked, this, [this] { finishCounting(false); });
    actCountCancel = new QAction(this);
    actCountCancel->setObjectName(QStringLiteral("actCountCancel"));
    actCountCancel->setShortcut(QKeySequence(Qt::Key_Escape));
    actCountCancel->setEnabled(false);
    addAction(actCountCancel);
    connect(actCountCancel, &QAction::triggered, this, [this] { finishCounting(false); });
}

void TfrmMain::actPlayCountExecute() {
    if (!actPlayCount->isEnabled()) return;
    startCounting();
}

void TfrmMain::startCounting() {
    stopThinking();
    ensureEngineLookedUp();
    if (!pnlCount) buildCountPanel();
    Counting = true;
    CountStatus = StoneStatusMap{};
    pnlCount->show();
    showCount();
    // The move list, shorter now, still shows the shown move: at once, and once the panel's
    // wrapped lines have settled the layout.
    const auto showRow = [this] {
        if (QTreeWidgetItem* row = kifuRow(Game.CurrentMove - 1)) lsvKifu->scrollToItem(row);
    };
    pnlSub->layout()->activate();
    showRow();
    QTimer::singleShot(0, this, showRow);
    applyCommandStates();
    setStatusText(0, QStringLiteral("石を左クリックで死に石、右クリックでセキ。確定で勝敗を記録します"));
    if (!EngineFound) return;
    // The engine's proposal, within its time limit; the user corrects it or counts without.
    WaitingForDead = true;
    lblCountResult->setText(QStringLiteral("Rokiru が死に石を調べています…"));
    Rokiru& r = engine();
    r.configure(Engine, Game.Level);
    r.requestDeadStones(Game);
}

void TfrmMain::showCount() {
    const ScoreCount count = fncCountScore(Game, CountStatus);
    const auto side = [&](int colour, const char* name) {
        const SideScore& s = count.Side[static_cast<std::size_t>(colour)];
        QString text = QStringLiteral("%1: 地 %2 + 上げ石 %3").arg(QString::fromUtf8(name)).arg(s.Territory).arg(s.Prisoners);
        if (colour == White && count.KomiTenths != 0)
            text += QStringLiteral(" + コミ %1").arg(pointsText(count.KomiTenths));
        // The total on a line of its own: the panel is narrow.
        return text + QStringLiteral("\n　= %1").arg(pointsText(colour == Black ? count.BlackTenths : count.WhiteTenths));
    };
    lblCountBlack->setText(side(Black, "黒"));
    lblCountWhite->setText(side(White, "白"));
    lblCountResult->setText(qs(fncReToComment(count.Result)));
    BoardMarks marks;
    for (int pos = 1; pos <= Game.BoardLast && pos < BoardCells; ++pos) {
        const auto i = static_cast<std::size_t>(pos);
        marks.Owner[i] = static_cast<std::int8_t>(territoryOwner(count.Points[i]));
        const bool stone = Game.Board[i] == Black || Game.Board[i] == White;
        marks.Dimmed[i] = stone && CountStatus[i] == StoneStatus::Dead;
        marks.Seki[i] = stone && CountStatus[i] == StoneStatus::Seki;
    }
    pnlMain->setMarks(marks);
}

void TfrmMain::countingClick(Qt::MouseButton button, int pos) {
    if (!Counting || pos <= 0 || pos >= BoardCells) return;
    if (Game.Board[static_cast<std::size_t>(pos)] != Black && Game.Board[static_cast<std::size_t>(pos)] != White) return;
    if (WaitingForDead) {
        // The user's own marking takes over from a proposal still being made.
        WaitingForDead = false;
        if (rokiru) rokiru->cancel();
    }
    if (button == Qt::LeftButton)
        prcToggleDead(Game, CountStatus, pos);
    else if (button == Qt::RightButton)
        prcToggleSeki(Game, CountStatus, pos);
    showCount();
}

void TfrmMain::finishCounting(bool accept) {
    if (!Counting) return;
    if (WaitingForDead) {
        WaitingForDead = false;
        if (rokiru) rokiru->cancel();
    }
    const ScoreCount count = fncCountScore(Game, CountStatus);
    Counting = false;
    pnlCount->hide();
    pnlMain->clearMarks();
    if (accept) {
        // The result is the game's: the record's RE, the info panel's sentence.
        Game.GameComment = count.Result;
        lblGameComment->setText(qs(fncReToComment(Game.GameComment)));
        Game.Modified = true;
        prcKifUpDate();
        setStatusText(0, qs(fncReToComment(Game.GameComment)));
    }
    applyCommandStates();
}

void TfrmMain::actPlayKeiseiExecute() {
    if (!actPlayKeisei->isEnabled()) return;
    // A rough judgement from the stones alone; it never touches the record, and its marks go
    // with the next step.
    const PositionEstimate e = fncEstimate(Game);
    // A hint's ring goes with this action like with any other.
    HintPos = 0;
    pnlMain->setHint(0);
    BoardMarks marks;
    for (int pos = 1; pos <= Game.BoardLast && pos < BoardCells; ++pos) {
        const auto i = static_cast<std::size_t>(pos);
        const bool stone = Game.Board[i] == Black || Game.Board[i] == White;
        marks.Owner[i] = stone && e.Owner[i] == Game.Board[i] ? 0 : e.Owner[i];
        marks.Dimmed[i] = stone && e.Owner[i] != 0 && e.Owner[i] != Game.Board[i];
    }
    pnlMain->setMarks(marks);
    // With an engine its own estimate of the score follows, in the time limit of a move; while
    // it thinks about something else the judgement is from the stones alone, and says so.
    const bool engineBusy = EngineFound && thinking != Thinking::None && thinking != Thinking::Estimate;
    setStatusText(0, keiseiText(e.LeadTenths, engineBusy ? QStringLiteral("目安。Rokiru は思考中のため判断しません")
                                                         : QStringLiteral("目安")));
    if (EngineFound && (thinking == Thinking::None || thinking == Thinking::Estimate)) {
        EstimatedPosition = positionKey();
        beginThinking(Thinking::Estimate).requestEstimate(Game);
    }
}

QString TfrmMain::keiseiText(int leadTenths, const QString& source) const {
    const int lead = (std::abs(leadTenths) + 5) / 10;
    if (lead == 0) return QStringLiteral("形勢判断: ほぼ互角（%1）").arg(source);
    return QStringLiteral("形勢判断: %1 約%2目リード（%3）")
        .arg(leadTenths > 0 ? QStringLiteral("黒") : QStringLiteral("白"))
        .arg(lead)
        .arg(source);
}

}  // namespace tavrin
