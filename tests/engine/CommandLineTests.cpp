// An engine's command line split into words as a POSIX shell would, without running one.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/CommandLine.h"

namespace tavrin {
namespace {

using Words = std::vector<std::string>;

TEST(CommandLine, Words) {
    struct Row {
        std::string line;
        Words words;
    };
    const std::vector<Row> rows = {
        {"gnugo --mode gtp --level 5", {"gnugo", "--mode", "gtp", "--level", "5"}},
        {R"("/opt/my engine/katago" gtp -model m.bin)", {"/opt/my engine/katago", "gtp", "-model", "m.bin"}},
        {"  spaced \t out\n", {"spaced", "out"}},
        {R"(/opt/my\ engine/x -c a\\b)", {"/opt/my engine/x", "-c", R"(a\b)"}},
        {R"('/opt/it'\''s/x' a)", {"/opt/it's/x", "a"}},
        {R"('single "keeps" \ and $HOME')", {R"(single "keeps" \ and $HOME)"}},
        {R"("a\"b" "c\\d" "e\$f" "g\`h")", {R"(a"b)", R"(c\d)", "e$f", "g`h"}},
        {R"("\n stays \t as is")", {R"(\n stays \t as is)"}},
        {R"(x "" y '')", {"x", "", "y", ""}},
        {R"(a"b c"d'e f'g)", {"ab cde fg"}},
        {"$HOME/bin/engine ~/x *.cfg", {"$HOME/bin/engine", "~/x", "*.cfg"}},
        {"a;b | c > d && e", {"a;b", "|", "c", ">", "d", "&&", "e"}},
        {"first \\\nsecond", {"first", "second"}},
        {"\"joined \\\nline\"", {"joined line"}},
        {R"("/home/碁打ち/エンジン/gnugo" --level 3)", {"/home/碁打ち/エンジン/gnugo", "--level", "3"}},
        {"\\'quoted\\'", {"'quoted'"}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.line);
        const SplitCommandLine s = splitCommandLine(r.line);
        EXPECT_EQ(s.error, SplitError::None);
        EXPECT_EQ(s.words, r.words);
    }
}

TEST(CommandLine, Faults) {
    struct Row {
        std::string line;
        SplitError error;
    };
    const std::vector<Row> rows = {
        {"", SplitError::Empty},
        {"  \t\n", SplitError::Empty},
        {"\\\n", SplitError::Empty},
        {"\"open", SplitError::OpenQuote},
        {"gnugo 'open", SplitError::OpenQuote},
        {"\"", SplitError::OpenQuote},
        {R"("ends with \")", SplitError::OpenQuote},
        {"gnugo trail\\", SplitError::TrailingBackslash},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.line);
        const SplitCommandLine s = splitCommandLine(r.line);
        EXPECT_EQ(s.error, r.error);
        EXPECT_FALSE(s.ok());
        EXPECT_TRUE(s.words.empty());
    }
}

}  // namespace
}  // namespace tavrin
