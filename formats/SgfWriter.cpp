#include "formats/SgfWriter.h"

#include <algorithm>

#include "formats/Sjis.h"

namespace tavrin {

namespace {

constexpr std::string_view PointLetters = "abcdefghijklmnopqrs";
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

std::string sgfKomiValue(int komiTenths) {
    const long long t = komiTenths;
    const long long a = t < 0 ? -t : t;
    std::string out = t < 0 ? "-" : "";
    out += std::to_string(a / 10);
    if (a % 10 != 0) {
        out += '.';
        out += static_cast<char>('0' + a % 10);
    }
    return out;
}

std::string sgfPoint(int pos, int boardStride) {
    if (pos == PassPos) return "tt";
    const auto letter = [](int line) {
        return line >= 1 && line <= static_cast<int>(PointLetters.size()) ? PointLetters[line - 1]
                                                                          : '?';
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
    for (const std::string* text : {&g.AppTag, &g.GameName, &g.GameDate, &g.GameRule,
                                    &g.BlackPlayer, &g.WhitePlayer, &g.GameComment}) {
        if (!sjis::encode(*text, bytes)) return true;
        all += '[';
        all += bytes;
        all += ']';
    }
    return readsAsUtf8(all);
}

void prcKifToStrings(const GameState& g, TextBuffer& buf) {
    buf.clear();
    buf.Encoding = needsUtf8(g) ? TextEncoding::Utf8 : TextEncoding::Cp932;
    LineBuilder line(buf);
    line.append("(;GM[1]FF[4]");
    if (buf.Encoding == TextEncoding::Utf8) line.append("CA[UTF-8]");
    const int handicap = g.HandicapCount < RecordCapacity ? g.HandicapCount : RecordCapacity;
    if (handicap > 0) {
        line.append("AB");
        for (int i = 1; i <= handicap; ++i) {
            line.append("[");
            line.append(sgfPoint(g.MovePos[i], g.BoardStride));
            line.append("]");
        }
    }
    line.cut();

    appendProperty(line, "AP", fncKinsiMojiChk(g.AppTag));
    line.cut();
    appendProperty(line, "SZ", std::to_string(g.BoardSize));
    line.cut();
    appendProperty(line, "GN", fncKinsiMojiChk(g.GameName));
    line.cut();
    appendProperty(line, "DT", g.GameDate);
    line.cut();
    if (!g.GameRule.empty()) {
        appendProperty(line, "RU", fncKinsiMojiChk(g.GameRule));
        line.cut();
    }
    appendProperty(line, "PB", fncKinsiMojiChk(g.BlackPlayer));
    line.cut();
    appendProperty(line, "PW", fncKinsiMojiChk(g.WhitePlayer));
    line.cut();
    appendProperty(line, "KM", sgfKomiValue(g.KomiTenths));
    line.cut();
    appendProperty(line, "HA", std::to_string(g.HandicapCount));
    line.cut();
    if (!g.GameComment.empty()) appendProperty(line, "RE", fncKinsiMojiChk(g.GameComment));
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

std::string sgfFileBytes(const GameState& g, TextBuffer& buf) {
    prcKifToStrings(g, buf);
    std::string bytes;
    buf.fileBytes(bytes);
    return bytes;
}

}  // namespace tavrin
