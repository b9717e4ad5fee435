#include "app/CountingPanel.h"

#include <QAction>
#include <QBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

#include "app/EngineTurn.h"
#include "record/InfoTexts.h"
#include "view/BoardView.h"
#include "view/Prompts.h"

namespace tavrin {

namespace {

// "6目半" style points of a count in tenths.
QString pointsText(int tenths) {
    const int whole = tenths / 10;
    return tenths % 10 ? QStringLiteral("%1.5").arg(whole) : QString::number(whole);
}

}  // namespace

CountingPanel::CountingPanel(QWidget* sidePanel, BoardView& board, const GameState& game, EngineTurn& turn,
                             Prompts& prompts)
    : QFrame(sidePanel), board_(board), game_(game), turn_(turn), prompts_(prompts) {
    setObjectName(QStringLiteral("pnlCount"));
    setFrameStyle(QFrame::Box | QFrame::Plain);
    auto* rows = new QVBoxLayout(this);
    rows->setContentsMargins(6, 4, 6, 4);
    rows->setSpacing(2);
    auto* title = new QLabel(QStringLiteral("<b>終局計算</b>"), this);
    title->setToolTip(QStringLiteral("石を左クリックで死に石、右クリックでセキに指定します"));
    lblCountBlack = new QLabel(this);
    lblCountBlack->setObjectName(QStringLiteral("lblCountBlack"));
    lblCountWhite = new QLabel(this);
    lblCountWhite->setObjectName(QStringLiteral("lblCountWhite"));
    lblCountResult = new QLabel(this);
    lblCountResult->setObjectName(QStringLiteral("lblCountResult"));
    auto* buttons = new QHBoxLayout;
    btnCountOk = new QPushButton(QStringLiteral("確定"), this);
    btnCountOk->setObjectName(QStringLiteral("btnCountOk"));
    btnCountCancel = new QPushButton(QStringLiteral("キャンセル"), this);
    btnCountCancel->setObjectName(QStringLiteral("btnCountCancel"));
    buttons->addWidget(btnCountOk);
    buttons->addWidget(btnCountCancel);
    for (QLabel* l : {title, lblCountBlack, lblCountWhite, lblCountResult}) {
        l->setWordWrap(true);
        rows->addWidget(l);
    }
    barCountWait = new QProgressBar(this);
    barCountWait->setObjectName(QStringLiteral("barCountWait"));
    barCountWait->setRange(0, 0);
    barCountWait->setTextVisible(false);
    barCountWait->setMaximumHeight(8);
    barCountWait->hide();
    rows->addWidget(barCountWait);
    rows->addLayout(buttons);
    tmrCountWait = new QTimer(this);
    tmrCountWait->setObjectName(QStringLiteral("tmrCountWait"));
    tmrCountWait->setInterval(1000);
    connect(tmrCountWait, &QTimer::timeout, this, &CountingPanel::tickWait);
    // Below the replay buttons, at the foot of the side panel's column.
    static_cast<QBoxLayout*>(sidePanel->layout())->addWidget(this);
    hide();
    connect(btnCountOk, &QPushButton::clicked, this, [this] { finish(true); });
    connect(btnCountCancel, &QPushButton::clicked, this, &CountingPanel::cancel);
    actCountCancel = new QAction(this);
    actCountCancel->setObjectName(QStringLiteral("actCountCancel"));
    actCountCancel->setShortcut(QKeySequence(Qt::Key_Escape));
    actCountCancel->setEnabled(false);
    window()->addAction(actCountCancel);
    connect(actCountCancel, &QAction::triggered, this, &CountingPanel::cancel);
}

bool CountingPanel::waitingForDead() const { return counting_ && turn_.deadStonesAwaited(); }

void CountingPanel::start() {
    counting_ = true;
    status_ = StoneStatusMap{};
    show();
    showCount();
}

void CountingPanel::askEngine() {
    waitSeconds_ = -1;
    tickWait();
    tmrCountWait->start();
    barCountWait->show();
    turn_.requestDeadStones(
        [this](const std::vector<int>& dead, const std::vector<int>& seki) {
            endWait();
            if (!counting_) return;
            status_ = fncProposeStatus(game_, dead, seki);
            showCount();
        },
        [this](const QString& message) {
            // Counting goes on without a proposal.
            endWait();
            if (counting_) showCount();
            prompts_.warn(window(), message + QStringLiteral("\n\n死に石はクリックで指定してください。"));
        });
}

void CountingPanel::tickWait() {
    lblCountResult->setText(
        QStringLiteral("Rokiru が死に石を調べています… %1秒（キャンセルで中止）").arg(++waitSeconds_));
}

void CountingPanel::endWait() {
    tmrCountWait->stop();
    barCountWait->hide();
}

void CountingPanel::cancel() {
    if (!waitingForDead()) return finish(false);
    // Counting goes on as without an engine.
    turn_.cancelDeadStones();
    endWait();
    showCount();
}

void CountingPanel::showCount() {
    const ScoreCount count = fncCountScore(game_, status_);
    const auto side = [&](int colour, const char* name) {
        const SideScore& s = count.Side[static_cast<std::size_t>(colour)];
        QString text =
            QStringLiteral("%1: 地 %2 + 上げ石 %3").arg(QString::fromUtf8(name)).arg(s.Territory).arg(s.Prisoners);
        if (colour == White && count.KomiTenths != 0)
            text += QStringLiteral(" + コミ %1").arg(pointsText(count.KomiTenths));
        // The total on a line of its own: the panel is narrow.
        return text +
               QStringLiteral("\n　= %1").arg(pointsText(colour == Black ? count.BlackTenths : count.WhiteTenths));
    };
    lblCountBlack->setText(side(Black, "黒"));
    lblCountWhite->setText(side(White, "白"));
    lblCountResult->setText(QString::fromStdString(fncReToComment(count.Result)));
    BoardMarks marks;
    for (int pos = 1; pos <= game_.BoardLast && pos < BoardCells; ++pos) {
        const auto i = static_cast<std::size_t>(pos);
        marks.Owner[i] = static_cast<std::int8_t>(territoryOwner(count.Points[i]));
        const bool stone = game_.Board[i] == Black || game_.Board[i] == White;
        marks.Dimmed[i] = stone && status_[i] == StoneStatus::Dead;
        marks.Seki[i] = stone && status_[i] == StoneStatus::Seki;
    }
    board_.setMarks(marks);
}

void CountingPanel::click(Qt::MouseButton button, int pos) {
    if (!counting_ || pos <= 0 || pos >= BoardCells) return;
    const int stone = game_.Board[static_cast<std::size_t>(pos)];
    if (stone != Black && stone != White) return;
    // The user's own marking takes over from a proposal still being made.
    turn_.cancelDeadStones();
    endWait();
    if (button == Qt::LeftButton)
        prcToggleDead(game_, status_, pos);
    else if (button == Qt::RightButton)
        prcToggleSeki(game_, status_, pos);
    showCount();
}

void CountingPanel::finish(bool accept) {
    if (!counting_) return;
    turn_.cancelDeadStones();
    endWait();
    const ScoreCount count = fncCountScore(game_, status_);
    counting_ = false;
    hide();
    board_.clearMarks();
    emit finished(accept, count.Result);
}

}  // namespace tavrin
