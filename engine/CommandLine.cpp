#include "engine/CommandLine.h"

namespace tavrin {

SplitCommandLine splitCommandLine(std::string_view line) {
    SplitCommandLine out;
    std::string word;
    bool inWord = false;  // a word has begun, even if it is still empty ("")
    std::size_t i = 0;
    const auto fail = [&out](SplitError e) {
        out.words.clear();
        out.error = e;
        return out;
    };
    while (i < line.size()) {
        const char c = line[i];
        if (c == ' ' || c == '\t' || c == '\n') {
            if (inWord) out.words.push_back(std::move(word));
            word.clear();
            inWord = false;
            ++i;
        } else if (c == '\\') {
            if (i + 1 >= line.size()) return fail(SplitError::TrailingBackslash);
            // A backslash-newline joins lines and leaves nothing behind.
            if (line[i + 1] != '\n') {
                word += line[i + 1];
                inWord = true;
            }
            i += 2;
        } else if (c == '\'') {
            const std::size_t close = line.find('\'', i + 1);
            if (close == std::string_view::npos) return fail(SplitError::OpenQuote);
            word.append(line.substr(i + 1, close - i - 1));
            inWord = true;
            i = close + 1;
        } else if (c == '"') {
            inWord = true;
            ++i;
            for (;;) {
                if (i >= line.size()) return fail(SplitError::OpenQuote);
                const char d = line[i];
                if (d == '"') {
                    ++i;
                    break;
                }
                if (d == '\\' && i + 1 < line.size()) {
                    const char e = line[i + 1];
                    if (e == '"' || e == '\\' || e == '$' || e == '`') {
                        word += e;
                        i += 2;
                        continue;
                    }
                    if (e == '\n') {
                        i += 2;
                        continue;
                    }
                }
                word += d;
                ++i;
            }
        } else {
            word += c;
            inWord = true;
            ++i;
        }
    }
    if (inWord) out.words.push_back(std::move(word));
    if (out.words.empty()) return fail(SplitError::Empty);
    return out;
}

}  // namespace tavrin
