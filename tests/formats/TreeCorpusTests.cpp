// The game tree over the real records: what the record tool writes, parsed by a plain SGF
// parser of its own here, is the original's tree, and reading it back is a fixed point.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "formats/RecordFile.h"
#include "formats/SgfWriter.h"
#include "record/RecordTree.h"
#include "tests/formats/FormatsTestSupport.h"
#include "tests/support/CorpusDir.h"

namespace tavrin {
namespace {

// ---- A plain SGF parser, written from the format alone ----
// Collection = GameTree+, GameTree = "(" Node+ GameTree* ")", Node = ";" Property*,
// Property = Ident Value+, Value = "[" text "]" where "\" escapes the next character and
// a backslash before a line break removes both. White space between tokens is skipped, and
// a game's first ";" may be missing. Old files: a long identifier with capitals is its
// capitals ("CoPyright" is CP), a text that begins with ";" is a game without its "(", and
// a game cut off by the end of the text ends there (a value left open is dropped).

struct SgfNode {
    std::vector<std::pair<std::string, std::vector<std::string>>> props;
    std::vector<SgfNode> children;
};

class PlainParser {
public:
    explicit PlainParser(std::string_view text) : t_(text) {}

    std::vector<SgfNode> collection() {
        std::vector<SgfNode> games;
        if (at(';')) {
            SgfNode root;
            if (!sequence(root)) return games;
            games.push_back(std::move(root));
        }
        while (true) {
            while (i_ < t_.size() && t_[i_] != '(') ++i_;
            if (i_ >= t_.size()) return games;
            SgfNode root;
            if (!gameTree(root)) return games;
            games.push_back(std::move(root));
        }
    }

private:
    void skip() {
        while (i_ < t_.size() && static_cast<unsigned char>(t_[i_]) <= 0x20) ++i_;
    }
    bool at(char c) {
        skip();
        return i_ < t_.size() && t_[i_] == c;
    }
    // "(" sequence subtrees ")": the first node of the sequence goes into top.
    bool gameTree(SgfNode& top) {
        if (!at('(')) return false;
        ++i_;
        return sequence(top);
    }
    // The rest of a game tree after its "(".
    bool sequence(SgfNode& top) {
        SgfNode* node = nullptr;
        // Leniency found in readers: properties right after "(" open the first node.
        const auto letter = [&] {
            skip();
            return i_ < t_.size() && ((t_[i_] >= 'A' && t_[i_] <= 'Z') || (t_[i_] >= 'a' && t_[i_] <= 'z'));
        };
        for (bool first = true; at(';') || (first && letter()); first = false) {
            if (t_[i_] == ';') ++i_;
            SgfNode* next = node ? &node->children.emplace_back() : &top;
            node = next;
            while (true) {
                skip();
                std::string id;
                while (i_ < t_.size() && ((t_[i_] >= 'A' && t_[i_] <= 'Z') || (t_[i_] >= 'a' && t_[i_] <= 'z'))) {
                    id += t_[i_++];
                }
                if (id.empty()) break;
                std::string capitals;
                for (const char c : id)
                    if (c >= 'A' && c <= 'Z') capitals += c;
                if (id.size() > 2 && !capitals.empty()) id = capitals;
                std::vector<std::string> values;
                while (at('[')) {
                    ++i_;
                    std::string v;
                    while (i_ < t_.size() && t_[i_] != ']') {
                        if (t_[i_] == '\\' && i_ + 1 < t_.size()) {
                            ++i_;
                            if (t_[i_] == '\n') {
                                ++i_;
                                continue;
                            }
                        }
                        v += t_[i_++];
                    }
                    if (i_ >= t_.size()) return true;  // cut off
                    ++i_;
                    values.push_back(std::move(v));
                }
                node->props.emplace_back(std::move(id), std::move(values));
            }
        }
        if (!node) return false;
        while (at('(')) {
            SgfNode child;
            if (!gameTree(child)) return false;
            node->children.push_back(std::move(child));
        }
        if (i_ >= t_.size()) return true;  // cut off
        if (!at(')')) return false;
        ++i_;
        return true;
    }

    std::string_view t_;
    size_t i_ = 0;
};

// A file's text as the program decodes it, its lines joined by "\n".
std::string decodedText(const std::string& bytes) {
    TextBuffer buf;
    buf.setFileBytes(bytes);
    std::string text;
    for (const std::string& line : buf.lines()) text += line + "\n";
    return text;
}

// The tree the program read, in the parser's form.
SgfNode nodeOf(const RecordTree& t, RecordTree::NodeId n) {
    SgfNode out;
    for (RecordTree::PropId p = t.firstProperty(n); p != RecordTree::None; p = t.nextProperty(p)) {
        std::vector<std::string> values;
        for (int k = 0; k < t.valueCount(p); ++k) values.emplace_back(t.value(p, k));
        out.props.emplace_back(std::string(t.identifier(p)), std::move(values));
    }
    for (RecordTree::NodeId c = t.firstChild(n); c != RecordTree::None; c = t.nextSibling(c)) {
        out.children.push_back(nodeOf(t, c));
    }
    return out;
}

// The same trees apart from what saving rewrites on the first game's main line: the root
// and move properties the record writes in its own form (B and W compare by name alone).
const std::set<std::string> Rewritten = {"GM", "FF", "CA", "AP", "SZ", "GN", "DT", "PB",
                                         "PW", "RE", "RU", "KM", "HA", "AB", "AW"};

bool sameBeyondRecord(const SgfNode& a, const SgfNode& b, bool mainLine, std::string& why) {
    const auto kept = [&](const SgfNode& n) {
        std::vector<std::pair<std::string, std::vector<std::string>>> props;
        for (const auto& [id, values] : n.props) {
            if (mainLine && Rewritten.count(id)) continue;
            if (mainLine && (id == "B" || id == "W")) {
                props.push_back({id, {}});
                continue;
            }
            props.push_back({id, values});
        }
        return props;
    };
    if (kept(a) != kept(b)) {
        why = "properties differ at node with " + std::to_string(a.props.size()) + " properties";
        return false;
    }
    if (a.children.size() != b.children.size()) {
        why = "children differ";
        return false;
    }
    for (size_t k = 0; k < a.children.size(); ++k) {
        if (!sameBeyondRecord(a.children[k], b.children[k], mainLine && k == 0, why)) return false;
    }
    return true;
}

std::vector<std::string> sgfRecords() {
    std::vector<std::string> files;
    for (const auto& e : std::filesystem::recursive_directory_iterator(test::corpusDir())) {
        if (e.is_regular_file() && recordKind(e.path().string()) == RecordKind::Sgf) {
            files.push_back(e.path().string());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

TEST(CorpusTree, SavingKeepsEveryRecordsTreeAndReadingItBackIsAFixedPoint) {
    SKIP_WITHOUT_CORPUS();
    int accepted = 0, sameAsPlainParser = 0, kept = 0, fixed = 0, withExtras = 0;
    std::vector<std::string> rebuilt;
    for (const std::string& path : sgfRecords()) {
        std::string bytes;
        ASSERT_TRUE(readFileBytes(path, bytes));
        GameState g = test::newGame(19);
        g.AppTag = "Tavrin:0.5.1.20";
        TextBuffer buf;
        RecordTree tree;
        if (!readRecordFile(g, buf, path, &tree).ok()) continue;
        ++accepted;
        if (tree.Rebuilt) {
            rebuilt.push_back(path);
            continue;
        }
        withExtras += tree.hasExtras();

        // The tree read is the one the plain parser finds in the file.
        const std::vector<SgfNode> original = PlainParser(decodedText(bytes)).collection();
        std::vector<SgfNode> read;
        for (size_t k = 0; k < tree.gameCount(); ++k) read.push_back(nodeOf(tree, tree.gameRoot(k)));
        if (read.size() == original.size() &&
            std::equal(read.begin(), read.end(), original.begin(), [](const SgfNode& a, const SgfNode& b) {
                std::string why;
                return sameBeyondRecord(a, b, false, why);
            })) {
            ++sameAsPlainParser;
        } else {
            ADD_FAILURE() << path << ": the tree read is not the file's";
        }

        // What saving writes holds the same tree beyond the record's own properties.
        const std::string written = sgfFileBytes(g, buf, &tree);
        const std::vector<SgfNode> saved = PlainParser(decodedText(written)).collection();
        if (saved.size() != original.size()) {
            ADD_FAILURE() << path << ": " << saved.size() << " games written of " << original.size();
            continue;
        }
        bool same = true;
        for (size_t k = 0; k < saved.size() && same; ++k) {
            std::string why;
            same = sameBeyondRecord(original[k], saved[k], k == 0, why);
            EXPECT_TRUE(same) << path << ": game " << k << ": " << why;
        }
        kept += same;

        // Read back: the same game, a tree equal beyond the record, written to the same bytes.
        GameState again = test::newGame(19);
        again.AppTag = g.AppTag;
        TextBuffer back;
        back.setFileBytes(written);
        RecordTree tree2;
        if (!fncStringsToKif(again, back, path, &tree2).ok()) {
            ADD_FAILURE() << path << ": not read back";
            continue;
        }
        test::expectSameGame(g, again, path);
        EXPECT_FALSE(tree2.Rebuilt) << path;
        EXPECT_TRUE(tree.sameBeyondRecord(tree2, recordFallbacks(g))) << path;
        const std::string rewritten = sgfFileBytes(again, back, &tree2);
        EXPECT_EQ(rewritten, written) << path;
        back.setFileBytes(rewritten);
        RecordTree tree3;
        ASSERT_TRUE(fncStringsToKif(again, back, path, &tree3).ok()) << path;
        const bool fixedPoint = tree3 == tree2 && rewritten == written;
        EXPECT_TRUE(fixedPoint) << path;
        fixed += fixedPoint;
    }
    std::printf(
        "corpus tree: %d SGF records read, %d with more than the record, %d as the plain "
        "parser reads them, %d kept by saving, %d fixed points, %zu rebuilt\n",
        accepted, withExtras, sameAsPlainParser, kept, fixed, rebuilt.size());
    EXPECT_EQ(rebuilt, std::vector<std::string>{});
    EXPECT_GT(withExtras, accepted / 2);
    EXPECT_EQ(kept, accepted);
    EXPECT_EQ(fixed, accepted);
}

}  // namespace
}  // namespace tavrin
