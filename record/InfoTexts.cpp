#include "record/InfoTexts.h"

#include <algorithm>
#include <cstdio>

#include "game/Engine.h"

namespace tavrin {

namespace {

std::string format(const char* fmt, int v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, fmt, v);
    return buf;
}

}  // namespace

std::string komiText(int komiTenths) {
    // Whole points 1..9 in full-width digits, 10 in half-width ones.
    static const char* const points[] = {"", "１", "２", "３", "４", "５", "６", "７", "８", "９", "10"};
    if (komiTenths == 0) return "なし";
    if (komiTenths == 5) return "半目";
    if (komiTenths >= 10 && komiTenths <= 105 && komiTenths % 5 == 0) {
        std::string t = std::string(points[komiTenths / 10]) + "目";
        if (komiTenths % 10 == 5) t += "半";
        return t;
    }
    char buf[48];
    std::snprintf(buf, sizeof buf, "%.15g", komiTenths / 10.0);
    return std::string(buf) + "目";
}

std::string komiLabel(int komiTenths, bool given, std::string_view written) {
    if (given && !written.empty()) return "コミ ： " + std::string(written);
    return "コミ ： " + (given ? komiText(komiTenths) : std::string(NoKomiGivenText));
}

std::string handicapLabel(int handicapCount) { return "置き石 ： " + handicapText(handicapCount); }

bool setupPosition(const GameState& g, const RecordTree* tree) {
    const int entries = std::min(g.HandicapCount, RecordCapacity);
    for (int i = 1; i <= entries; ++i)
        if (g.MoveColor[static_cast<size_t>(i)] == White) return true;
    if (!tree || tree->gameCount() == 0) return false;
    const RecordTree::NodeId root = tree->gameRoot(0);
    for (RecordTree::PropId p = tree->firstProperty(root); p != RecordTree::None; p = tree->nextProperty(p))
        if (RecordTree::identKey(tree->identifier(p)) == RecordTree::identKey("PL")) return true;
    return false;
}

int handicapStones(const GameState& g, const RecordTree* tree) {
    if (setupPosition(g, tree)) return 0;
    return std::min(g.HandicapCount, RecordCapacity);
}

std::string handicapLabel(const GameState& g, const RecordTree* tree) { return handicapLabel(handicapStones(g, tree)); }

std::string gameNameLabel(const std::string& gameName) { return gameName.empty() ? NoGameNameText : gameName; }

std::string playerLabel(const std::string& name, int colour) {
    // The leading blanks keep the name clear of the stone icon drawn over the label.
    const std::string shown = !name.empty() ? name : colour == Black ? "黒番対局者" : "白番対局者";
    return "      " + shown + " ";
}

std::string defaultGameTitle(int year, int month, int day, int hour, int minute) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "Tavrin %04d/%02d/%02d %02d:%02d", year, month, day, hour, minute);
    return buf;
}

std::string capturedLabel(int count) { return format("上げ石%4d", count); }

std::string moveRowCaption(int k) { return format("%4d", k); }

StatusTexts statusTexts(const GameState& g) {
    StatusTexts t;
    if (g.CurrentMove > 1) {
        t.moveNumber = format("%3d手目", g.CurrentMove - 1);
        const int entry = g.CurrentMove - 1 + g.HandicapCount;
        const int p = entry >= 1 && entry <= RecordCapacity ? g.MovePos[entry] : 0;
        if (p == PassPos)
            t.lastPoint = PassText;
        else if (p >= 0 && p <= CoordNameLast)
            t.lastPoint = g.CoordName[p];
    }
    if (g.GameOver && g.CurrentMove > g.MoveCount)
        t.turn = "終局です";
    else
        t.turn = g.SideToMove == Black ? "黒番です" : "白番です";
    return t;
}

std::string illegalMoveNotice(int k) {
    return std::to_string(k) + "手目は打てない手です（棋譜のとおりに並べています）";
}

std::string fncReToComment(std::string_view result) {
    if (result.starts_with("0")) return "持碁です";
    if (result.starts_with("B+R")) return "黒の中押し勝ちです";
    if (result.starts_with("W+R")) return "白の中押し勝ちです";
    if (result.starts_with("B+T")) return "白の時間切れ負けです";
    if (result.starts_with("W+T")) return "黒の時間切れ負けです";
    const bool black = result.starts_with("B+");
    if (black || result.starts_with("W+")) {
        // Up to ten characters (not bytes) after the "B+" or "W+".
        size_t end = 2;
        for (int chars = 0; end < result.size(); ++end) {
            if ((static_cast<unsigned char>(result[end]) & 0xC0) != 0x80 && chars++ == 10) break;
        }
        std::string out = black ? "黒の" : "白の";
        out += result.substr(2, end - 2);
        out += "目勝ちです";
        return out;
    }
    return std::string(result);
}

}  // namespace tavrin
