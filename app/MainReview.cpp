// 棋譜解析: the engine judges every position of the shown line in the background; the
// judgements become one step of the record's history, shown as 形勢グラフ, the largest
// losses marked in the move list and, where such a move is shown, the engine's better move on
// the board.

#include <QDockWidget>
#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <QStatusBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <cmath>

#include "app/TfrmMain.h"
#include "engine/GameReview.h"
#include "engine/LiveAnalysis.h"
#include "record/Review.h"
#include "view/BoardView.h"
#include "view/GameTreePane.h"
#include "view/ReviewGraph.h"

namespace tavrin {

namespace {

// A ring in the colour of the side whose move lost: for a row of the move list.
QIcon lossRing(int colour) {
    QPixmap pm(14, 14);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(colour == Black ? QColor(210, 40, 40) : QColor(40, 90, 220), 2.2));
    p.drawEllipse(QRectF(2, 2, 10, 10));
    return QIcon(pm);
}

QString pointsText(double points) { return QString::number(std::round(points * 10) / 10, 'f', 1); }

}  // namespace

void TfrmMain::buildReviewParts() {
    ui.review = new GameReview(this);
    addStatusProgress(ui.prbReview, ui.btnReviewCancel, QStringLiteral("Review"), QStringLiteral("解析"),
                      QStringLiteral("8888/8888"), QStringLiteral("キャンセル"), QStringLiteral("棋譜解析を中止する"));
    ui.btnReviewCancel->setObjectName(QStringLiteral("btnReviewCancel"));
    connect(ui.btnReviewCancel, &QToolButton::clicked, ui.review, &GameReview::cancel);
    connect(ui.review, &GameReview::progress, this, [this](int done, int total) {
        ui.prbReview->setRange(0, total);
        ui.prbReview->setValue(done);
    });
    connect(ui.review, &GameReview::judged, this, [this](int, const Judgement&) {
        reviewShown_.revision = ~uint64_t{0};
        showReview();
    });
    connect(ui.review, &GameReview::finished, this, &TfrmMain::reviewFinished);
}

void TfrmMain::actKifuAnalyseExecute() {
    if (!ui.review) buildReviewParts();
    if (ui.review->running()) return;
    if (!engineTakesSize()) {
        setStatusText(0, QStringLiteral("Rokiru は%1路盤の棋譜を解析できません（１９路盤まで）").arg(Game.BoardSize));
        return;
    }
    if (!Record.laterSetup().empty()) {
        prompts.warn(this, QStringLiteral("途中で石を置いたり取り除いたりした棋譜は解析できません"));
        return;
    }
    QString error;
    const QStringList argv = engineArguments(prefs.Engine, Game.Level, &error);
    if (argv.isEmpty()) {
        prompts.warn(this, error);
        return;
    }
    // The line as it stands now: its nodes receive the judgements when the review ends.
    reviewNodes_.clear();
    for (int k = 0; k <= Game.MoveCount; ++k)
        reviewNodes_.push_back(Record.line()[static_cast<size_t>(Record.nodeIndexOfMove(k))]);
    reviewRevision_ = Record.revision();
    ui.prbReview->setRange(0, Game.MoveCount + 1);
    ui.prbReview->setValue(0);
    ui.prbReview->show();
    ui.btnReviewCancel->show();
    if (!ui.actDispGraph->isChecked()) ui.actDispGraph->trigger();
    ui.review->start(gtp::gameOf(Game, Game.MoveCount), argv, prefs.Engine.reviewLevel);
    setStatusText(0, QStringLiteral("棋譜解析を始めました"));
    applyCommandStates();
}

void TfrmMain::reviewFinished(bool complete, const QString& message) {
    reviewShown_.revision = ~uint64_t{0};
    ui.prbReview->hide();
    ui.btnReviewCancel->hide();
    if (!complete) {
        // What was judged stays in the graph until another node is shown; the record keeps
        // nothing of a review that did not end.
        setStatusText(0, message);
        applyCommandStates();
        return;
    }
    if (Record.revision() != reviewRevision_) {
        setStatusText(0, QStringLiteral("解析中に棋譜が変わったため、結果を棋譜に残しませんでした"));
        applyCommandStates();
        return;
    }
    std::vector<std::pair<RecordTree::NodeId, Judgement>> judged;
    const std::vector<Judgement>& all = ui.review->judgements();
    for (size_t k = 0; k < all.size() && k < reviewNodes_.size(); ++k)
        if (all[k].judged) judged.emplace_back(reviewNodes_[k], all[k]);
    Record.setReview(judged);
    Doc.Modified = true;
    prcKifUpDate();
    setStatusText(0, QStringLiteral("棋譜解析が終わりました（%1局面）").arg(judged.size()));
    showReview();
    applyCommandStates();
}

void TfrmMain::buildGraphPane() {
    QLabel* info = nullptr;
    QVBoxLayout* column = buildDockPane(ui.dckGraph, QStringLiteral("形勢グラフ"), QStringLiteral("dckGraph"), info,
                                        QStringLiteral("lblGraphInfo"), Qt::BottomDockWidgetArea);
    info->hide();
    ui.grfReview = new ReviewGraph(column->parentWidget());
    ui.grfReview->setStatusTip(QStringLiteral("黒から見た形勢（上が黒よし）。クリックした手を表示します"));
    column->addWidget(ui.grfReview, 1);
    connect(ui.dckGraph, &QDockWidget::visibilityChanged, this, [this](bool shown) {
        if (shown) showReview();
    });
    connect(ui.grfReview, &ReviewGraph::moveClicked, this, [this](int move) {
        if (!ReplayMode) return setStatusText(0, QStringLiteral("対局中は形勢グラフから局面を選べません"));
        if (move == Game.CurrentMove - 1) return;
        showNode(lineNodeOfMove(std::min(move, Game.MoveCount)));
        applyCommandStates();
    });
}

void TfrmMain::actDispGraphExecute() {
    if (!ui.dckGraph) buildGraphPane();
    showPane(ui.dckGraph, ui.actDispGraph->isChecked(), prefs.GraphSize);
    showReview();
}

std::vector<Judgement> TfrmMain::shownReview() const {
    // A review under way shows its own judgements while its line is shown.
    if (ui.review && ui.review->running()) {
        const bool sameLine = reviewNodes_.size() == static_cast<size_t>(Game.MoveCount) + 1 &&
                              reviewNodes_.back() == lineNodeOfMove(Game.MoveCount);
        if (sameLine) return ui.review->judgements();
    }
    return Record.reviewOfLine();
}

void TfrmMain::showReview() {
    // The line's judgements and marks are read again only when the record, the shown line or
    // a review under way changed them, not at every step.
    ReviewShown& r = reviewShown_;
    const RecordTree::NodeId end = lineNodeOfMove(Game.MoveCount);
    const bool fresh = r.revision != Record.revision() || r.end != end || r.threshold != prefs.Engine.reviewThreshold;
    if (fresh) {
        r.revision = Record.revision();
        r.end = end;
        r.threshold = prefs.Engine.reviewThreshold;
        r.line = shownReview();
        std::vector<int> colours(r.line.size(), 0);
        for (size_t k = 1; k < r.line.size(); ++k)
            colours[k] = Game.MoveColor[static_cast<size_t>(Game.HandicapCount) + k];
        r.any = std::any_of(r.line.begin(), r.line.end(), [](const Judgement& j) { return j.judged; });
        r.marked = r.any ? markedMoves(r.line, colours, r.threshold) : std::vector<MarkedMove>{};
    }
    const std::vector<Judgement>& line = r.line;
    const std::vector<MarkedMove>& marked = r.marked;
    const bool any = r.any;

    if (ui.grfReview && !ui.dckGraph->isHidden()) {
        // An engine that gives win rates alone: black's win rate above or below even, in
        // percent points, stands for the lead.
        std::vector<std::optional<double>> leads;
        for (const Judgement& j : line) {
            const double value = j.hasLead || j.winrate < 0 ? j.lead : (j.winrate - 0.5) * 100;
            leads.push_back(j.judged ? std::optional<double>(value) : std::nullopt);
        }
        if (!any) leads.clear();
        std::vector<std::pair<int, int>> dots;
        for (const MarkedMove& m : marked) dots.emplace_back(m.move, m.colour);
        ui.grfReview->setLeads(leads);
        ui.grfReview->setMarked(dots);
        ui.grfReview->setCurrent(Game.CurrentMove - 1);
    }

    // The tree pane: a ring round each marked move of the shown line.
    if (ui.treePane) {
        std::vector<std::pair<RecordTree::NodeId, int>> rings;
        for (const MarkedMove& m : marked) rings.emplace_back(lineNodeOfMove(m.move), m.colour);
        ui.treePane->setLossMarks(rings);
    }

    // The move list: a ring in the row of each marked move.
    const int rows = fresh ? kifuRowCount() : 0;
    for (int row = 1; row < rows; ++row) {
        QTreeWidgetItem* item = kifuRow(row);
        const auto m = std::find_if(marked.begin(), marked.end(), [&](const MarkedMove& x) { return x.move == row; });
        const bool was = item->data(0, Qt::UserRole + 1).toBool();
        if (m == marked.end() && !was) continue;
        item->setData(0, Qt::UserRole + 1, m != marked.end());
        item->setIcon(0, m != marked.end() ? lossRing(m->colour) : QIcon());
        const bool percent = m != marked.end() && !line[static_cast<size_t>(row)].hasLead;
        item->setToolTip(1, m == marked.end() ? QString()
                            : percent ? QStringLiteral("この手で勝率%1%減（解析）").arg(pointsText(m->loss))
                                      : QStringLiteral("この手で%1目損（解析）").arg(pointsText(m->loss)));
    }

    // The shown move, when marked: where the engine would have played instead.
    const int shown = Game.CurrentMove - 1;
    const auto here = std::find_if(marked.begin(), marked.end(), [&](const MarkedMove& x) { return x.move == shown; });
    if (here != marked.end() && here->better > 0 && here->better != PassPos && ReplayMode) {
        // An engine that gives win rates alone tells the gain in percent points.
        const bool percent = !line[static_cast<size_t>(shown)].hasLead;
        const QString gain = QStringLiteral("+%1").arg(pointsText(here->gain)) + (percent ? QStringLiteral("%") : "");
        ui.pnlMain->setBetterMove(here->better, gain);
        setStatusText(
            0, QStringLiteral("ここが良い: %1 (%2%3)")
                   .arg(kifuPointText(here->better).simplified(), gain, percent ? QString() : QStringLiteral("目")));
    } else {
        ui.pnlMain->setBetterMove(0, QString());
    }
    followAnalysis();
}

void TfrmMain::followAnalysis() {
    // An analysis engine's candidates stream onto the board while 検討 shows a position.
    const bool wanted = EngineFound && engineTakesSize() && mode().kind() == Mode::Study;
    if (!wanted) {
        if (ui.liveAnalysis) ui.liveAnalysis->stop();
        ui.pnlMain->setCandidates({});
        return;
    }
    if (!ui.liveAnalysis) {
        ui.liveAnalysis = new LiveAnalysis(this);
        connect(ui.liveAnalysis, &LiveAnalysis::ready, this, [this](bool supported) {
            if (supported) followAnalysis();
        });
        connect(ui.liveAnalysis, &LiveAnalysis::candidates, this, [this](const std::vector<analysis::Candidate>& best) {
            if (mode().kind() != Mode::Study) return;
            std::vector<CandidateMark> marks;
            for (const analysis::Candidate& c : best)
                if (c.pos != PassPos) marks.push_back({c.pos, c.winrate, c.visits, c.order});
            ui.pnlMain->setCandidates(marks);
        });
        connect(ui.liveAnalysis, &LiveAnalysis::failed, this, [this](const QString& message) {
            ui.pnlMain->setCandidates({});
            setStatusText(0, message);
        });
    }
    ui.liveAnalysis->setCommandLine(prefs.Engine.commandLine);
    if (!ui.liveAnalysis->supported()) {
        // Asked once per engine: GNU Go speaks no analysis dialect, and nothing streams.
        if (analysisProbed_ != prefs.Engine.commandLine) {
            analysisProbed_ = prefs.Engine.commandLine;
            ui.liveAnalysis->probe();
        }
        return;
    }
    ui.liveAnalysis->analyse(Game);
}

}  // namespace tavrin
