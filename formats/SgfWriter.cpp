#include "formats/SgfWriter.h"

#include <algorithm>
#include <array>
#include <vector>

#include "base/Sjis.h"
#include "formats/RecordLoad.h"
#include "game/Scoring.h"
#include "record/InfoTexts.h"

namespace tavrin {

namespace {

constexpr std::string_view PointLetters = "abcdefghijklmnopqrstuvwxy";
constexpr int LineCut = 80;

// The line being built and its length in bytes of the file's encoding.
class LineBuilder {
public:
    explicit LineBuilder(TextBuffer& buf) : buf_(buf) {}

    void append(std::string_view item) {
        line_ += item;
        if (buf_.Encoding == TextEncoding::Utf8) {
            bytes_ += static_cast<int>(item.size());
            return;
        }
        const int n = sjis::byteLength(item);
        // Not reached for a record the writer checked; kept consistent with encode().
        bytes_ += n >= 0 ? n : questionMarkLength(item);
    }
    // Ends the line once it has reached the cut length.
    void cut() {
        if (bytes_ >= LineCut) emit();
    }
    bool empty() const { return line_.empty(); }
    void emit() {
        buf_.lines().push_back(std::move(line_));
        line_.clear();
        bytes_ = 0;
    }

private:
    static int questionMarkLength(std::string_view item) {
        std::string encoded;
        sjis::encode(item, encoded);
        return static_cast<int>(encoded.size());
    }

    TextBuffer& buf_;
    std::string line_;
    int bytes_ = 0;
};

void appendProperty(LineBuilder& line, std::string_view name, std::string_view value) {
    line.append(name);
    line.append("[");
    line.append(value);
    line.append("]");
}

// The game information the record's own form writes, in its order.
enum Field { FieldAB, FieldGN, FieldDT, FieldRU, FieldPB, FieldPW, FieldKM, FieldHA, FieldRE, FieldCount };
constexpr std::array<uint32_t, FieldCount> FieldKeys = {
    RecordTree::identKey("AB"), RecordTree::identKey("GN"), RecordTree::identKey("DT"),
    RecordTree::identKey("RU"), RecordTree::identKey("PB"), RecordTree::identKey("PW"),
    RecordTree::identKey("KM"), RecordTree::identKey("HA"), RecordTree::identKey("RE")};

// What the record's own lines take from the file it was read from: the character set the
// file declared, a date the game could not hold, and the node of the main line where each
// piece of game information stood.
struct KeptInfo {
    std::string charset;   // the file's CA when it names code page 932
    std::string date;      // a DT the game holds no date for, as it stood
    std::string handicap;  // an HA the record names without its stones (white moves first), or
                           // of a set-up position: as it stood
    bool setup = false;    // the start is a set-up position: no HA is made up for it
    // Main-line node of each field: the root (0) unless the root has several lines and the
    // field stood in a later node before the first move (it describes that line alone).
    std::array<int, FieldCount> at{};
};

KeptInfo keptInfo(const GameState& g, const RecordTree* tree) {
    KeptInfo info;
    info.setup = setupPosition(g, tree);
    if (!tree) return info;
    const RecordTree::NodeId root = tree->mainLineNode(0);
    const auto startStones = [&](RecordTree::PropId p, uint32_t key) {
        return (key == RecordTree::identKey("AB") || key == RecordTree::identKey("AW")) &&
               tree->mainLineRole(p) == RecordTree::Role::Rewritten;
    };
    std::array<bool, FieldCount> inRoot{};
    for (RecordTree::PropId p = tree->firstProperty(root); p != RecordTree::None; p = tree->nextProperty(p)) {
        const uint32_t key = RecordTree::identKey(tree->identifier(p));
        if (key == RecordTree::identKey("CA") && info.charset.empty() && tree->valueCount(p) > 0 &&
            declaresCp932(tree->value(p, 0))) {
            info.charset = tree->value(p, 0);
        }
        for (int f = 0; f < FieldCount; ++f) inRoot[f] = inRoot[f] || key == FieldKeys[f];
        inRoot[FieldAB] = inRoot[FieldAB] || startStones(p, key);
    }
    const bool branches = tree->childCount(root) > 1;
    const int stones = handicapStones(g, tree);
    std::string_view date;
    for (int i = 0; i < tree->mainLineLength(); ++i) {
        const bool beforeMoves = i > 0 && tree->movesThrough(i - 1) == 0;
        for (RecordTree::PropId p = tree->firstProperty(tree->mainLineNode(i)); p != RecordTree::None;
             p = tree->nextProperty(p)) {
            const uint32_t key = RecordTree::identKey(tree->identifier(p));
            // The date the reader took: the last that is not blank.
            if (key == RecordTree::identKey("DT") && tree->valueCount(p) > 0 && !RecordTree::blank(tree->value(p, 0)))
                date = tree->value(p, 0);
            // The handicap the reader took, as the file wrote it: the last on the main line.
            if (key == FieldKeys[FieldHA] && tree->valueCount(p) > 0 && stones == 0 &&
                !RecordTree::blank(tree->value(p, 0)))
                info.handicap = tree->value(p, 0);
            if (!beforeMoves) continue;
            // The start stones stay in the node before the first move that held them (when
            // the record holds any: an AB of blank values names none).
            if (!inRoot[FieldAB] && info.at[FieldAB] == 0 && g.HandicapCount > 0 && startStones(p, key))
                info.at[FieldAB] = i;
            if (!branches) continue;
            for (int f = FieldAB + 1; f < FieldCount; ++f)
                if (key == FieldKeys[f] && !inRoot[f]) info.at[f] = i;
        }
    }
    // A handicap the file did not state goes with its stones.
    if (!inRoot[FieldHA] && info.at[FieldHA] == 0) info.at[FieldHA] = info.at[FieldAB];
    if (g.GameDate.empty() && date.find('\n') == std::string_view::npos) {
        std::string slashed(date);
        std::replace(slashed.begin(), slashed.end(), '-', '/');
        if (dateText(slashed).empty()) info.date = date;
    }
    return info;
}

// The game information fields of the record that stand at main-line node `node`, except AB.
void writeInfo(LineBuilder& line, const GameState& g, const KeptInfo& info, int node) {
    const auto here = [&](Field f) { return info.at[f] == node; };
    if (here(FieldGN)) appendProperty(line, "GN", fncKinsiMojiChk(g.GameName)), line.cut();
    if (here(FieldDT)) {
        appendProperty(line, "DT", info.date.empty() ? g.GameDate : fncKinsiMojiChk(info.date));
        line.cut();
    }
    if (here(FieldRU) && !g.GameRule.empty()) appendProperty(line, "RU", fncKinsiMojiChk(g.GameRule)), line.cut();
    if (here(FieldPB)) appendProperty(line, "PB", fncKinsiMojiChk(g.BlackPlayer)), line.cut();
    if (here(FieldPW)) appendProperty(line, "PW", fncKinsiMojiChk(g.WhitePlayer)), line.cut();
    // A record that gave no komi is written without one.
    if (here(FieldKM) && g.KomiGiven) {
        appendProperty(line, "KM", g.KomiWritten.empty() ? tenthsText(g.KomiTenths) : fncKinsiMojiChk(g.KomiWritten));
        line.cut();
    }
    // HA above 9 is refused by the reader, so such a record carries its stones alone.
    if (here(FieldHA) && !info.handicap.empty())
        appendProperty(line, "HA", fncKinsiMojiChk(info.handicap)), line.cut();
    else if (here(FieldHA) && !info.setup && handicapStones(g) <= 9)
        appendProperty(line, "HA", std::to_string(handicapStones(g))), line.cut();
    if (here(FieldRE) && !g.GameComment.empty()) appendProperty(line, "RE", fncKinsiMojiChk(g.GameComment));
}

// The record's setup stones.
void writeSetup(LineBuilder& line, const GameState& g) {
    const int entries = g.HandicapCount < RecordCapacity ? g.HandicapCount : RecordCapacity;
    // The black stones as AB, then the white ones set up with them as AW.
    for (const int colour : {Black, White}) {
        bool named = false;
        for (int i = 1; i <= entries; ++i) {
            if ((g.MoveColor[i] == White) != (colour == White)) continue;
            if (!named) line.append(colour == White ? "AW" : "AB"), named = true;
            line.append("[");
            line.append(sgfPoint(g.MovePos[i], g.BoardStride));
            line.append("]");
        }
    }
}

}  // namespace

std::string fncKinsiMojiChk(std::string_view text) {
    // "]" and "\" are ASCII and never inside a multi-byte UTF-8 character.
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        if (c == ']' || c == '\\') out += '\\';
        out += c;
    }
    return out;
}

std::string sgfPoint(int pos, int boardStride) {
    // "tt" is a point of boards above 19 x 19: their passes are empty.
    if (pos == PassPos) return boardStride > 21 ? "" : "tt";
    const auto letter = [](int line) {
        return line >= 1 && line <= static_cast<int>(PointLetters.size()) ? PointLetters[line - 1] : '?';
    };
    const int stride = boardStride > 0 ? boardStride : 21;
    return {letter(pos / stride), letter(pos % stride)};
}

bool needsUtf8(const GameState& g) {
    // The texts' code page 932 bytes as they stand in the file, each inside its brackets:
    // bytes that would be read back as UTF-8 make a record that is written in UTF-8 to come
    // back as it was.
    std::string all;
    std::string bytes;
    for (const std::string* text : {&g.AppTag, &g.GameName, &g.GameDate, &g.GameRule, &g.BlackPlayer, &g.WhitePlayer,
                                    &g.GameComment, &g.KomiWritten}) {
        if (!sjis::encode(*text, bytes)) return true;
        all += '[';
        all += bytes;
        all += ']';
    }
    return readsAsUtf8(all);
}

namespace {

// What a game tree adds to the record's text: the properties of the main line's nodes that
// the record's own form does not write, the variations and the further games, every value
// as it was read. A value's line breaks end lines of the text; nothing else is cut inside a
// value.
class TreeWriter {
public:
    TreeWriter(const GameState& g, const RecordTree& tree, const KeptInfo& info, LineBuilder& line)
        : g_(g), tree_(tree), info_(info), line_(line), fallbacks_(recordFallbacks(g)) {}

    // The root's properties after the record's own: its moves (a record whose first move is
    // in the root) and the rest.
    void root() {
        if (tree_.mainLineLength() > 0) mainLineNode(0, false);
    }

    // The main line after the root, its variations, and moves of the record the tree does
    // not hold yet; returns with the game's own ")" still to come.
    void mainLine() {
        std::vector<RecordTree::NodeId> branches;  // main-line nodes with variations, in order
        const int length = tree_.mainLineLength();
        bool lastEmpty = false;
        for (int i = 0; i < length; ++i) {
            const RecordTree::NodeId n = tree_.mainLineNode(i);
            if (i > 0) lastEmpty = !mainLineNode(i, true);
            if (tree_.childCount(n) > 1) {
                line_.append("(");
                branches.push_back(n);
            }
        }
        // A reader of the record's form takes a ")" right after an empty node for part of an
        // identifier and reads on into what follows: such a last node holds the file format,
        // which the record's form restates anyway.
        if (lastEmpty && moves_ == g_.MoveCount && (!branches.empty() || tree_.gameCount() > 1)) {
            line_.append("FF[4]");
            line_.cut();
        }
        for (int k = moves_ + 1; k <= g_.MoveCount && g_.HandicapCount + k <= RecordCapacity; ++k) {
            line_.append(";");
            move(k);
        }
        for (auto b = branches.rbegin(); b != branches.rend(); ++b) {
            line_.append(")");
            line_.cut();
            for (RecordTree::NodeId v = tree_.nextSibling(tree_.firstChild(*b)); v != RecordTree::None;
                 v = tree_.nextSibling(v)) {
                sequence(v);
            }
        }
    }

    // The games after the first, each on lines of its own.
    void otherGames() {
        for (size_t k = 1; k < tree_.gameCount(); ++k) {
            sequence(tree_.gameRoot(k));
            line_.emit();
        }
    }

private:
    // Writes main-line node i; false when it wrote no property.
    bool mainLineNode(int i, bool opensNode) {
        if (opensNode) line_.append(";");
        bool wrote = false;
        if (i > 0 && std::find(info_.at.begin(), info_.at.end(), i) != info_.at.end()) {
            if (info_.at[FieldAB] == i) writeSetup(line_, g_), line_.cut();
            writeInfo(line_, g_, info_, i);
            wrote = true;
        }
        for (RecordTree::PropId p = tree_.firstProperty(tree_.mainLineNode(i)); p != RecordTree::None;
             p = tree_.nextProperty(p)) {
            switch (tree_.mainLineRole(p)) {
                case RecordTree::Role::Rewritten: break;
                case RecordTree::Role::Move:
                    if (moves_ < g_.MoveCount && g_.HandicapCount + moves_ < RecordCapacity) {
                        move(moves_ + 1);
                        wrote = true;
                    }
                    break;
                case RecordTree::Role::Other: {
                    // TE and EV name the game from the root only: on a move TE is a good move.
                    const uint32_t key = RecordTree::identKey(tree_.identifier(p));
                    if (std::find(fallbacks_.begin(), fallbacks_.end(), key) != fallbacks_.end() &&
                        (i == 0 || key == RecordTree::identKey("RD"))) {
                        break;
                    }
                    property(p);
                    wrote = true;
                    break;
                }
            }
        }
        if (opensNode) line_.cut();
        return wrote;
    }

    // Move k of the record, in the record's own form.
    void move(int k) {
        const int e = g_.HandicapCount + k;
        line_.append(g_.MoveColor[e] == Black ? "B[" : "W[");
        line_.append(sgfPoint(g_.MovePos[e], g_.BoardStride));
        line_.append("]");
        line_.cut();
        moves_ = k;
    }

    void property(RecordTree::PropId p) {
        line_.cut();
        line_.append(tree_.identifier(p));
        for (int k = 0; k < tree_.valueCount(p); ++k) {
            line_.append("[");
            const std::string escaped = fncKinsiMojiChk(tree_.value(p, k));
            std::string_view rest(escaped);
            for (size_t lf = rest.find('\n'); lf != std::string_view::npos; lf = rest.find('\n')) {
                line_.append(rest.substr(0, lf));
                line_.emit();
                rest.remove_prefix(lf + 1);
            }
            line_.append(rest);
            line_.append("]");
        }
        line_.cut();
    }

    // A subtree as the file had it: "(", its nodes while they have one child, its
    // branches, ")".
    void sequence(RecordTree::NodeId top) {
        struct Step {
            RecordTree::NodeId node;  // None: a ")" to write
        };
        std::vector<Step> pending{{top}};
        while (!pending.empty()) {
            const Step s = pending.back();
            pending.pop_back();
            if (s.node == RecordTree::None) {
                line_.append(")");
                line_.cut();
                continue;
            }
            line_.append("(");
            RecordTree::NodeId n = s.node;
            while (true) {
                line_.append(";");
                for (RecordTree::PropId p = tree_.firstProperty(n); p != RecordTree::None; p = tree_.nextProperty(p)) {
                    property(p);
                }
                line_.cut();
                if (tree_.childCount(n) != 1) break;
                n = tree_.firstChild(n);
            }
            pending.push_back({RecordTree::None});
            std::vector<RecordTree::NodeId> children;
            for (RecordTree::NodeId c = tree_.firstChild(n); c != RecordTree::None; c = tree_.nextSibling(c)) {
                children.push_back(c);
            }
            for (auto c = children.rbegin(); c != children.rend(); ++c) pending.push_back({*c});
        }
    }

    const GameState& g_;
    const RecordTree& tree_;
    const KeptInfo& info_;
    LineBuilder& line_;
    const std::vector<uint32_t> fallbacks_;
    int moves_ = 0;  // moves of the record written so far
};

// The record's text in buf, in the encoding given; tree, when given, adds what it holds.
void writeRecord(const GameState& g, TextBuffer& buf, TextEncoding encoding, const RecordTree* tree,
                 const KeptInfo& info) {
    buf.clear();
    buf.Encoding = encoding;
    LineBuilder line(buf);
    line.append("(;GM[1]FF[4]");
    if (buf.Encoding == TextEncoding::Utf8) {
        line.append("CA[UTF-8]");
    } else if (!info.charset.empty()) {
        appendProperty(line, "CA", fncKinsiMojiChk(info.charset));
    }
    const int handicap = g.HandicapCount < RecordCapacity ? g.HandicapCount : RecordCapacity;
    if (info.at[FieldAB] == 0) writeSetup(line, g);
    line.cut();

    appendProperty(line, "AP", fncKinsiMojiChk(g.AppTag));
    line.cut();
    appendProperty(line, "SZ", std::to_string(g.BoardSize));
    line.cut();
    writeInfo(line, g, info, 0);
    if (tree) {
        TreeWriter extras(g, *tree, info, line);
        extras.root();
        if (!line.empty()) line.emit();
        extras.mainLine();
        line.append(")");
        line.emit();
        extras.otherGames();
        return;
    }
    line.emit();

    const int first = handicap > 0 ? handicap : 0;
    for (int k = 1; k <= g.MoveCount && first + k <= RecordCapacity; ++k) {
        const int e = first + k;
        line.append(g.MoveColor[e] == Black ? ";B[" : ";W[");
        line.append(sgfPoint(g.MovePos[e], g.BoardStride));
        line.append("]");
        line.cut();
    }
    line.append(")");
    line.emit();
}

}  // namespace

std::vector<uint32_t> recordFallbacks(const GameState& g) {
    std::vector<uint32_t> ids;
    if (g.GameName.empty()) ids = {RecordTree::identKey("TE"), RecordTree::identKey("EV")};
    if (g.GameDate.empty()) ids.push_back(RecordTree::identKey("RD"));
    return ids;
}

void prcKifToStrings(const GameState& g, TextBuffer& buf, const RecordTree* tree) {
    KeptInfo info = keptInfo(g, tree);
    // A file read as UTF-8 is written so: a reader that takes its bytes one by one would
    // find "]" or a backslash in the second byte of some code page 932 characters.
    const bool utf8 = tree && tree->Utf8;
    // Without the tree the game information, and the start stones, stand in the root.
    if (tree && !tree->hasExtras()) tree = nullptr, info.at = {};
    if (needsUtf8(g)) return writeRecord(g, buf, TextEncoding::Utf8, tree, info);
    if (utf8) {
        // Text that is ASCII alone reads back as the record's own form: it is written so.
        writeRecord(g, buf, TextEncoding::Utf8, tree, info);
        const std::vector<std::string>& lines = buf.lines();
        if (std::any_of(lines.begin(), lines.end(),
                        [](const std::string& l) { return sjis::firstHighByte(l) != l.size(); }))
            return;
    }
    writeRecord(g, buf, TextEncoding::Cp932, tree, info);
    // The tree's texts decide too: code page 932 must hold them all, and its bytes must be
    // read back in code page 932 (texts read from broken bytes may read otherwise).
    std::string bytes;
    if (!buf.fileBytes(bytes) || fileEncoding(bytes) != TextEncoding::Cp932) {
        writeRecord(g, buf, TextEncoding::Utf8, tree, info);
    }
}

std::string sgfFileBytes(const GameState& g, TextBuffer& buf, const RecordTree* tree) {
    prcKifToStrings(g, buf, tree);
    std::string bytes;
    buf.fileBytes(bytes);
    return bytes;
}

}  // namespace tavrin
