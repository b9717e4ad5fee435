// Counting the end of a game (終局計算) and judging a position (形勢判断) in the window.
// The count itself, its marks and its panel are the CountingPanel's; the window enters it
// and writes an accepted result to the game.

#include <QAction>
#include <QLabel>
#include <QLayout>
#include <QTimer>
#include <QTreeWidget>

#include "app/CountingPanel.h"
#include "app/TfrmMain.h"
#include "engine/Gtp.h"
#include "game/Estimate.h"
#include "record/InfoTexts.h"
#include "view/BoardView.h"

namespace tavrin {

namespace {
QString qs(const std::string& s) { return QString::fromStdString(s); }
}  // namespace

bool TfrmMain::counting() const { return ui.countingPanel && ui.countingPanel->counting(); }

void TfrmMain::actPlayCountExecute() {
    if (!ui.actPlayCount->isEnabled()) return;
    startCounting();
}

void TfrmMain::startCounting() {
    ui.engineTurn->stop();
    ensureEngineLookedUp();
    if (!ui.countingPanel) {
        ui.countingPanel = new CountingPanel(ui.pnlSub, *ui.pnlMain, Game, *ui.engineTurn, prompts);
        connect(ui.countingPanel, &CountingPanel::finished, this, &TfrmMain::countingFinished);
    }
    ui.countingPanel->start();
    // The dead stones' marks alone: the variations' marks give way while counting.
    showNodeMarks();
    // The move list, shorter now, still shows the shown move: at once, and once the panel's
    // wrapped lines have settled the layout.
    const auto showRow = [this] {
        if (QTreeWidgetItem* row = kifuRow(Game.CurrentMove - 1)) ui.lsvKifu->scrollToItem(row);
    };
    ui.pnlSub->layout()->activate();
    showRow();
    QTimer::singleShot(0, this, showRow);
    applyCommandStates();
    setStatusText(0, QStringLiteral("石を左クリックで死に石、右クリックでセキ。確定で勝敗を記録します"));
    if (EngineFound) ui.countingPanel->askEngine();
}

void TfrmMain::countingFinished(bool accepted, const std::string& result) {
    if (accepted) {
        // The result is the game's: the record's RE, the info panel's sentence.
        Record.changeInfo([&](GameState& g) { g.GameComment = result; });
        ui.lblGameComment->setText(qs(fncReToComment(Game.GameComment)));
        prcKifUpDate();
        setStatusText(0, qs(fncReToComment(Game.GameComment)));
    }
    showNodeMarks();
    applyCommandStates();
}

void TfrmMain::actPlayKeiseiExecute() {
    if (!ui.actPlayKeisei->isEnabled()) return;
    // A rough judgement from the stones alone; it never touches the record, and its marks go
    // with the next step.
    const PositionEstimate e = fncEstimate(Game);
    // A hint's ring goes with this action like with any other.
    ui.pnlMain->setHint(0);
    BoardMarks marks;
    for (int pos = 1; pos <= Game.BoardLast && pos < BoardCells; ++pos) {
        const auto i = static_cast<std::size_t>(pos);
        const bool stone = Game.Board[i] == Black || Game.Board[i] == White;
        marks.Owner[i] = stone && e.Owner[i] == Game.Board[i] ? 0 : e.Owner[i];
        marks.Dimmed[i] = stone && e.Owner[i] != 0 && e.Owner[i] != Game.Board[i];
    }
    ui.pnlMain->setMarks(marks);
    // With an engine its own estimate of the score follows, in the time limit of a move, also
    // while it thinks about a move.
    setStatusText(0, keiseiText(e.LeadTenths, QStringLiteral("目安")));
    if (EngineFound) ui.engineTurn->askEstimate();
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
