#include "engine/Analysis.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace tavrin::analysis {

namespace {

// A whole token as a finite number written with a '.', whatever the locale.
std::optional<double> number(std::string_view t) {
    double v = 0;
    const auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), v, std::chars_format::general);
    if (ec != std::errc() || end != t.data() + t.size() || !std::isfinite(v)) return std::nullopt;
    return v;
}

std::optional<int> count(std::string_view t) {
    long long v = 0;
    const auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), v);
    if (ec != std::errc() || end != t.data() + t.size() || v < 0 || v > std::numeric_limits<int>::max()) {
        return std::nullopt;
    }
    return static_cast<int>(v);
}

// How a key's value is checked and where it goes.
enum class Field { Move, Visits, Winrate, Lead, Mean, Order, Pv, Count, Number, Vertex, List, Section };

struct Key {
    std::string_view name;
    Field field;
};

// Every key either engine writes that is known here. Lists run to the next key; sections
// follow the candidates and hold keys of their own, which count for nothing up to the next
// "info".
constexpr Key Keys[] = {
    {"move", Field::Move},
    {"visits", Field::Visits},
    {"winrate", Field::Winrate},
    {"scoreLead", Field::Lead},
    {"scoreMean", Field::Mean},
    {"order", Field::Order},
    {"pv", Field::Pv},
    {"edgeVisits", Field::Count},
    {"prior", Field::Number},
    {"lcb", Field::Number},
    {"scoreStdev", Field::Number},
    {"scoreSelfplay", Field::Number},
    {"utility", Field::Number},
    {"utilityLcb", Field::Number},
    {"weight", Field::Number},
    {"isSymmetryOf", Field::Vertex},
    {"pvVisits", Field::List},
    {"pvEdgeVisits", Field::List},
    {"movesOwnership", Field::List},
    {"movesOwnershipStdev", Field::List},
    {"ownership", Field::Section},
    {"ownershipStdev", Field::Section},
    {"rootInfo", Field::Section},
};

const Key* keyOf(std::string_view t) {
    for (const Key& k : Keys) {
        if (k.name == t) return &k;
    }
    return nullptr;
}

// A candidate while its fields are read.
struct Reading {
    Candidate c;
    bool move = false, visits = false, winrate = false, order = false;
    std::optional<double> mean;
};

class LineReader {
public:
    LineReader(Dialect d, int size) : dialect_(d), size_(size) {}

    LineRead read(std::string_view line) {
        toks_ = gtp::tokens(line);
        LineRead out;
        if (!toks_.empty() && toks_[0] != "info") return failed("行が info で始まりません");
        while (i_ < toks_.size() && error_.empty()) {
            const std::string_view t = toks_[i_++];
            if (t == "info") {
                finish();
                current_.emplace();
            } else if (const Key* k = keyOf(t)) {
                field(*k);
            } else {
                skipValues();  // an unknown key: its values are no key of ours
            }
        }
        finish();
        if (!error_.empty()) return failed(error_);
        std::stable_sort(read_.begin(), read_.end(), [](const Candidate& a, const Candidate& b) {
            return a.order != b.order ? a.order < b.order : a.visits > b.visits;
        });
        out.candidates = std::move(read_);
        return out;
    }

private:
    static LineRead failed(std::string why) { return {{}, std::move(why)}; }

    void fail(std::string_view why, std::string_view token) {
        if (error_.empty()) error_ = std::string(why) + ": " + std::string(token);
    }

    std::optional<std::string_view> value(std::string_view key) {
        if (i_ >= toks_.size()) {
            fail("値がありません", key);
            return std::nullopt;
        }
        return toks_[i_++];
    }

    // A point or a pass of this board; nullopt (and an error) for anything else.
    std::optional<int> vertex(std::string_view t) {
        const gtp::Vertex v = gtp::parseVertex(t, size_);
        if (v.kind == gtp::VertexKind::Point || v.kind == gtp::VertexKind::Pass) return v.pos;
        fail("盤上の点ではありません", t);
        return std::nullopt;
    }

    void field(const Key& k) {
        if (k.field == Field::Section) return finish();
        if (!current_) return;  // within a section: its keys and values are no candidate's
        Reading& r = *current_;
        if (k.field == Field::Pv) {
            // Vertices up to the next key; a vertex beyond the board is an error, a word a key.
            r.c.pv.clear();
            while (i_ < toks_.size()) {
                const gtp::Vertex v = gtp::parseVertex(toks_[i_], size_);
                if (v.kind == gtp::VertexKind::Invalid || v.kind == gtp::VertexKind::Resign) break;
                if (!vertex(toks_[i_++])) return;
                r.c.pv.push_back(v.pos);
            }
            return;
        }
        if (k.field == Field::List) {
            for (; i_ < toks_.size() && !keyOf(toks_[i_]) && toks_[i_] != "info"; ++i_) {
                if (!number(toks_[i_])) return fail("数ではありません", toks_[i_]);
            }
            return;
        }
        const auto t = value(k.name);
        if (!t) return;
        switch (k.field) {
            case Field::Move:
                if (auto p = vertex(*t)) {
                    r.c.pos = *p;
                    r.move = true;
                }
                return;
            case Field::Vertex: vertex(*t); return;
            case Field::Visits:
            case Field::Order:
            case Field::Count: {
                const auto n = count(*t);
                if (!n) return fail("回数ではありません", *t);
                if (k.field == Field::Visits) {
                    r.c.visits = *n;
                    r.visits = true;
                } else if (k.field == Field::Order) {
                    r.c.order = *n;
                    r.order = true;
                }
                return;
            }
            case Field::Winrate: {
                const double scale = dialect_ == Dialect::Leela ? 10000 : 1;
                const auto w = number(*t);
                if (!w || *w < 0 || *w > scale) return fail("勝率ではありません", *t);
                r.c.winrate = *w / scale;
                r.winrate = true;
                return;
            }
            default: {
                const auto x = number(*t);
                if (!x) return fail("数ではありません", *t);
                if (k.field == Field::Lead) r.c.scoreLead = *x;
                if (k.field == Field::Mean) r.mean = *x;
                return;
            }
        }
    }

    void skipValues() {
        while (i_ < toks_.size() && !keyOf(toks_[i_]) && toks_[i_] != "info") ++i_;
    }

    // Ends the candidate being read.
    void finish() {
        if (!current_ || !error_.empty()) return;
        Reading& r = *current_;
        std::string missing;
        for (const auto& [have, key] : {std::pair{r.move, "move"}, {r.visits, "visits"}, {r.winrate, "winrate"}}) {
            if (!have) missing += std::string(" ") + key;
        }
        if (!missing.empty()) return fail("候補手に次の値がありません", missing.substr(1));
        // Older versions wrote the lead as scoreMean only.
        if (!r.c.scoreLead && dialect_ == Dialect::Kata) r.c.scoreLead = r.mean;
        if (!r.order) r.c.order = static_cast<int>(read_.size());
        read_.push_back(std::move(r.c));
        current_.reset();
    }

    Dialect dialect_;
    int size_;
    std::vector<std::string_view> toks_;
    std::size_t i_ = 0;
    std::optional<Reading> current_;
    std::vector<Candidate> read_;
    std::string error_;
};

}  // namespace

Dialect dialectOf(std::string_view listCommandsAnswer) {
    const auto names = gtp::tokens(listCommandsAnswer);
    const auto listed = [&](std::string_view n) { return std::find(names.begin(), names.end(), n) != names.end(); };
    if (listed("kata-analyze")) return Dialect::Kata;
    if (listed("lz-analyze")) return Dialect::Leela;
    return Dialect::None;
}

std::optional<gtp::Command> analyzeCommand(Dialect d, int colour, int intervalCentis) {
    switch (d) {
        case Dialect::Kata: return gtp::Command::kataAnalyze(colour, intervalCentis);
        case Dialect::Leela: return gtp::Command::lzAnalyze(colour, intervalCentis);
        case Dialect::None: break;
    }
    return std::nullopt;
}

LineRead readLine(std::string_view line, Dialect d, int boardSize) {
    if (d == Dialect::None) return {{}, "解析の形式が分かりません"};
    return LineReader(d, boardSize).read(line);
}

BlackView blackView(const Candidate& c, int sideToMove) {
    if (sideToMove == Black) return {c.winrate, c.scoreLead};
    BlackView v{1 - c.winrate, std::nullopt};
    if (c.scoreLead) v.lead = -*c.scoreLead;
    return v;
}

}  // namespace tavrin::analysis
