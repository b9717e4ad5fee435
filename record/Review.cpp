#include "record/Review.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <optional>
#include <string>

#include "game/GameState.h"
#include "record/NodeMarkup.h"

namespace tavrin {

double leadChangeFor(int colour, double before, double after) {
    return colour == White ? before - after : after - before;
}

std::vector<MarkedMove> markedMoves(const std::vector<Judgement>& line, const std::vector<int>& colours,
                                    double threshold, int worstPerSide) {
    std::vector<MarkedMove> drops;
    for (size_t k = 1; k < line.size() && k < colours.size(); ++k) {
        const int c = colours[k];
        if ((c != Black && c != White) || !line[k - 1].judged || !line[k].judged) continue;
        const Judgement &before = line[k - 1], &j = line[k];
        // A move the engine prefers but judges no better than the one played is not named.
        double loss = 0, gain = 0;
        if (before.hasLead && j.hasLead) {
            loss = -leadChangeFor(c, before.lead, j.lead);
            if (j.better != 0) gain = leadChangeFor(c, j.lead, j.betterLead);
        } else if (before.winrate >= 0 && j.winrate >= 0) {
            loss = -100 * leadChangeFor(c, before.winrate, j.winrate);
            if (j.better != 0 && j.betterWinrate >= 0) gain = 100 * leadChangeFor(c, j.winrate, j.betterWinrate);
        }
        if (loss <= 0) continue;
        drops.push_back({static_cast<int>(k), c, loss, gain > 0 ? j.better : 0, gain > 0 ? gain : 0.0});
    }
    std::vector<MarkedMove> marked;
    for (const int side : {Black, White}) {
        std::vector<MarkedMove> own;
        std::copy_if(drops.begin(), drops.end(), std::back_inserter(own),
                     [&](const MarkedMove& m) { return m.colour == side; });
        // The worst first; of equal drops the earlier move.
        std::stable_sort(own.begin(), own.end(),
                         [](const MarkedMove& a, const MarkedMove& b) { return a.loss > b.loss; });
        for (size_t i = 0; i < own.size(); ++i)
            if (static_cast<int>(i) < worstPerSide || own[i].loss > threshold) marked.push_back(own[i]);
    }
    std::sort(marked.begin(), marked.end(), [](const MarkedMove& a, const MarkedMove& b) { return a.move < b.move; });
    return marked;
}

namespace {

// The shortest text of v with at most two decimals and a '.', whatever the locale.
std::string pointsText(double v) {
    char buf[64];
    const double rounded = std::round(v * 100) / 100;
    const auto [end, ec] =
        std::to_chars(buf, buf + sizeof buf, rounded == 0 ? 0.0 : rounded, std::chars_format::fixed, 2);
    std::string s(buf, ec == std::errc() ? end : buf);
    if (s.find('.') != std::string::npos) {
        while (s.back() == '0') s.pop_back();
        if (s.back() == '.') s.pop_back();
    }
    return s;
}

// A whole value read as a finite number; none for anything else.
std::optional<double> pointsOf(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    double v = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size() || !std::isfinite(v)) return std::nullopt;
    return v;
}

// The colour of the node's move: Black, White, or 0 when it holds none.
int moverOf(const RecordTree& tree, RecordTree::NodeId n) {
    for (RecordTree::PropId p = tree.firstProperty(n); p != RecordTree::None; p = tree.nextProperty(p)) {
        const std::string_view id = tree.identifier(p);
        if (id == "B" || id == "W") return id == "B" ? Black : White;
    }
    return 0;
}

RecordTree::PropId find(const RecordTree& tree, RecordTree::NodeId n, std::string_view ident) {
    for (RecordTree::PropId p = tree.firstProperty(n); p != RecordTree::None; p = tree.nextProperty(p))
        if (tree.identifier(p) == ident && tree.valueCount(p) > 0) return p;
    return RecordTree::None;
}

}  // namespace

void writeJudgement(RecordTree& tree, RecordTree::NodeId n, const Judgement& j, int boardSize) {
    const int mover = moverOf(tree, n);
    for (RecordTree::PropId p = tree.firstProperty(n); p != RecordTree::None;) {
        const RecordTree::PropId next = tree.nextProperty(p);
        const std::string_view id = tree.identifier(p);
        if (std::find(std::begin(ReviewIdents), std::end(ReviewIdents), id) != std::end(ReviewIdents))
            tree.removeProperty(n, p);
        p = next;
    }
    if (!j.judged) return;
    if (j.hasLead) tree.addValue(tree.addProperty(n, "TVL"), pointsText(j.lead));
    const bool onBoard =
        j.better > 0 && j.better != PassPos && sgfPointPos(sgfPointText(j.better, boardSize), boardSize) == j.better;
    const std::optional<double> gain = j.hasLead ? std::optional(leadChangeFor(mover, j.lead, j.betterLead))
                                       : j.betterWinrate >= 0
                                           ? std::optional(100 * leadChangeFor(mover, j.winrate, j.betterWinrate))
                                           : std::nullopt;
    if ((mover == Black || mover == White) && (onBoard || j.better == PassPos) && gain) {
        tree.addValue(tree.addProperty(n, "TVB"), onBoard ? sgfPointText(j.better, boardSize) : std::string());
        tree.addValue(tree.addProperty(n, "TVG"), pointsText(*gain));
    }
    if (j.winrate >= 0) tree.addValue(tree.addProperty(n, "SBKV"), pointsText(std::min(j.winrate, 1.0) * 100));
}

Judgement readJudgement(const RecordTree& tree, RecordTree::NodeId n, int boardSize) {
    const int mover = moverOf(tree, n);
    Judgement j;
    const RecordTree::PropId lead = find(tree, n, "TVL");
    const std::optional<double> points = lead == RecordTree::None ? std::nullopt : pointsOf(tree.value(lead, 0));
    const RecordTree::PropId winrate = find(tree, n, "SBKV");
    if (const std::optional<double> percent =
            winrate == RecordTree::None ? std::nullopt : pointsOf(tree.value(winrate, 0));
        percent && *percent >= 0 && *percent <= 100)
        j.winrate = *percent / 100;
    if (!points && j.winrate < 0) return Judgement{};
    j.judged = true;
    j.hasLead = points.has_value();
    j.lead = points.value_or(0);
    const RecordTree::PropId better = find(tree, n, "TVB");
    const RecordTree::PropId gain = find(tree, n, "TVG");
    const std::optional<double> gained = gain == RecordTree::None ? std::nullopt : pointsOf(tree.value(gain, 0));
    if ((mover == Black || mover == White) && better != RecordTree::None && gained) {
        const std::string_view v = tree.value(better, 0);
        j.better = v.empty() || (v == "tt" && boardSize <= 19) ? PassPos : sgfPointPos(v, boardSize);
        // A gain for the side that moved, back to Black's lead (or win rate) after the better move.
        const double forBlack = mover == White ? -*gained : *gained;
        if (j.better != 0 && j.hasLead) j.betterLead = j.lead + forBlack;
        if (j.better != 0 && !j.hasLead) j.betterWinrate = j.winrate + forBlack / 100;
    }
    return j;
}

}  // namespace tavrin
