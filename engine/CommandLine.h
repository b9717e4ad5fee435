#pragma once
// An engine's command line as the user writes it in the settings, split into the program and
// its arguments the way a POSIX shell splits words, with no shell involved: nothing is
// expanded, substituted or redirected.

#include <string>
#include <string_view>
#include <vector>

namespace tavrin {

enum class SplitError {
    None,
    Empty,              // no word at all
    OpenQuote,          // a quote without its closing partner
    TrailingBackslash,  // a backslash with nothing after it
};

struct SplitCommandLine {
    std::vector<std::string> words;  // words[0] is the program
    SplitError error = SplitError::None;

    bool ok() const { return error == SplitError::None; }
};

// Words separated by spaces, tabs or line breaks. 'single quotes' keep everything literally;
// "double quotes" keep everything but \" \\ \$ \` (the backslash goes) and a backslash-newline
// (both go); outside quotes a backslash keeps the next character literally. Quotes may join
// parts of one word ("a"'b'c is abc); "" alone is an empty word.
SplitCommandLine splitCommandLine(std::string_view line);

}  // namespace tavrin
