// tavrin-kifu: reads record files with the program's own readers, for people with
// collections of records and for checking the readers from outside.
//
//   tavrin-kifu check FILE|FOLDER...   one line per file: PATH, OK, moves, handicap stones
//                                      (and the first move the rules refuse, played as the
//                                      record has it) or PATH, NG, reason; a summary on stderr
//   tavrin-kifu board FILE             the position at the end of the record
//   tavrin-kifu sgf FILE               the bytes saving the record would write
//   tavrin-kifu score [--dead V,…] FILE   the final position counted, those stones dead
//   tavrin-kifu explore DIR FILE N     what the records under DIR played next at the position
//                                      after move N of FILE
//   tavrin-kifu analyse [--engine C] [--level N] FILE OUT   the main line reviewed by an engine

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "engine/Gtp.h"
#include "formats/RecordFile.h"
#include "formats/SgfWriter.h"
#include "formats/TextBuffer.h"
#include "game/GameState.h"
#include "game/Scoring.h"
#include "library/LibraryIndex.h"
#include "record/InfoTexts.h"
#include "tools/kifu/AnalyseCommand.h"
#include "tools/kifu/FigureCommand.h"

namespace fs = std::filesystem;
using namespace tavrin;

namespace {

constexpr char Usage[] =
    "usage: tavrin-kifu check FILE|FOLDER...\n"
    "       tavrin-kifu board FILE\n"
    "       tavrin-kifu sgf FILE\n"
    "       tavrin-kifu score [--dead V,V,...] FILE\n"
    "       tavrin-kifu explore DIR FILE N\n"
    "       tavrin-kifu figure [--per N] [--restart] [--width W] [--coordinates] FILE OUT\n"
    "       tavrin-kifu analyse [--engine COMMAND] [--level N] FILE OUT\n"
    "Reads .sgf and .ngf records (any case) as Tavrin does; a folder stands for every\n"
    "record file below it.\n"
    "  check  prints PATH<TAB>OK<TAB>moves<TAB>handicap stones, or PATH<TAB>NG<TAB>reason,\n"
    "         then a summary on stderr; exit 1 when a file could not be read at all; a record\n"
    "         with a move the rules refuse (played as it stands) gets a fifth column naming it\n"
    "  board  prints 'SZ n HA h MOVES m CAP b w NEXT B|W' and the board at the end of the\n"
    "         record (. empty, X black, O white)\n"
    "  sgf    writes the record as Tavrin saves it (code page 932 or UTF-8, CR LF), with\n"
    "         its comments, variations and every other property\n"
    "  score  counts the position at the end of the record under Japanese rules, the\n"
    "         chains of the listed stones dead (GTP vertices: A..T without I, row 1 at\n"
    "         the bottom; vertices of empty points are ignored), and prints\n"
    "         'B territory prisoners W territory prisoners KOMI k RESULT B+n|W+n|0'\n"
    "  explore  for the position after move N of FILE (0: before the first move), prints\n"
    "         'GAMES g POSITIONS p' (records read under DIR, refused ones skipped, and those\n"
    "         passing through the position, turned or mirrored alike), then per next move\n"
    "         'VERTEX GAMES BWINS WWINS' in FILE's orientation, most played first\n"
    "  figure writes the record as kifu figures of N moves (default 100, 0: one figure),\n"
    "         numbered on across figures or, with --restart, from 1 in each; OUT's extension\n"
    "         chooses PNG or SVG (one file per figure: OUT-1.png, OUT-2.png…; PNG W pixels\n"
    "         wide, default 1200) or PDF (one A4 document); prints 'FIGURE k FROM a TO b\n"
    "         NOTES n' per figure\n"
    "  analyse  the engine (COMMAND as in the settings, default GNU Go) judges every position\n"
    "         of the main line at level N (0..10, default 0, the fastest) in two processes;\n"
    "         writes the record with the review kept in it to OUT (SGF, as Tavrin saves) and\n"
    "         prints per move 'MOVE VERTEX LEAD [BETTER]': Black's lead after the move as B+n,\n"
    "         W+n or 0, and the engine's preferred move when it is another ('57 Q16 B+3.5 R17');\n"
    "         on an engine fault a message on stderr, exit 1, and OUT is not written\n";

int usageError() {
    std::fputs(Usage, stderr);
    return 2;
}

bool isDirectory(const std::string& path) {
    std::error_code ec;
    return fs::is_directory(path, ec);
}

// The files an argument names: the file itself, or every record file below a folder,
// sorted so the output does not depend on the file system's order.
void collect(const std::string& arg, std::vector<std::string>& files) {
    if (!isDirectory(arg)) {
        files.push_back(arg);
        return;
    }
    std::vector<std::string> found;
    std::error_code ec;
    for (fs::recursive_directory_iterator it(arg, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code fileEc;
        if (!it->is_regular_file(fileEc)) continue;
        const std::string path = it->path().string();
        if (recordKind(path) != RecordKind::None) found.push_back(path);
    }
    std::sort(found.begin(), found.end());
    files.insert(files.end(), found.begin(), found.end());
}

GameState freshGame() {
    GameState g;
    g.AppTag = std::string("Tavrin:") + TAVRIN_FILE_VERSION;
    return g;
}

int check(const std::vector<std::string>& args) {
    std::vector<std::string> files;
    for (const std::string& a : args) collect(a, files);
    const auto start = std::chrono::steady_clock::now();
    GameState g = freshGame();
    TextBuffer buf;
    RecordTree tree;  // read as the program opens a record, tree and all
    int accepted = 0, refused = 0;
    bool unreadable = false;
    std::string out;
    for (const std::string& path : files) {
        const LoadResult r = readRecordFile(g, buf, path, &tree);
        out = path;
        if (r.ok()) {
            ++accepted;
            out += "\tOK\t" + std::to_string(g.MoveCount) + "\t" + std::to_string(handicapStones(g, &tree));
            if (r.IllegalMove > 0) out += "\t" + reason::illegalMove(r.IllegalMove);
        } else {
            ++refused;
            if (r.status == LoadStatus::CannotOpen) unreadable = true;
            out += "\tNG\t" + r.reason;
        }
        out += '\n';
        std::fwrite(out.data(), 1, out.size(), stdout);
    }
    std::fflush(stdout);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::fprintf(stderr, "%zu files, %d accepted, %d refused, %.3f s\n", files.size(), accepted, refused, seconds);
    return unreadable ? 1 : 0;
}

// Loads the one record a command names (and its game tree, when asked for); prints the
// reason and returns false on refusal.
bool loadOne(const std::string& path, GameState& g, RecordTree* tree = nullptr) {
    TextBuffer buf;
    const LoadResult r = readRecordFile(g, buf, path, tree);
    if (r.ok()) return true;
    std::fprintf(stderr, "%s: %s\n", path.c_str(), r.reason.c_str());
    return false;
}

int board(const std::string& path) {
    GameState g = freshGame();
    RecordTree tree;
    if (!loadOne(path, g, &tree)) return 1;
    // A set-up position (white stones or the side to move at the start) has no handicap.
    std::string out = "SZ " + std::to_string(g.BoardSize) + " HA " + std::to_string(handicapStones(g, &tree)) +
                      " MOVES " + std::to_string(g.MoveCount) + " CAP " + std::to_string(g.CapturedCount[1]) + " " +
                      std::to_string(g.CapturedCount[2]) + " NEXT " + (g.SideToMove == Black ? "B" : "W") + "\n";
    for (int row = 1; row <= g.BoardSize; ++row) {
        for (int col = 1; col <= g.BoardSize; ++col) {
            const int cell = g.Board[col * g.BoardStride + row];
            out += cell == Black ? 'X' : cell == White ? 'O' : '.';
        }
        out += '\n';
    }
    std::fwrite(out.data(), 1, out.size(), stdout);
    return 0;
}

int sgf(const std::string& path) {
    GameState g = freshGame();
    RecordTree tree;
    if (!loadOne(path, g, &tree)) return 1;
    TextBuffer buf;
    const std::string bytes = sgfFileBytes(g, buf, &tree);
    std::fwrite(bytes.data(), 1, bytes.size(), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
}

// The end of the record counted with the chains of the listed stones dead: "score
// [--dead V,V,...] FILE".
int score(const std::vector<std::string>& args) {
    std::string deadList;
    std::string path;
    if (args.size() == 3 && args[0] == "--dead") {
        deadList = args[1];
        path = args[2];
    } else if (args.size() == 1) {
        path = args[0];
    } else {
        return usageError();
    }
    if (isDirectory(path)) return usageError();
    GameState g = freshGame();
    if (!loadOne(path, g)) return 1;
    std::vector<int> dead;
    for (std::size_t start = 0; start < deadList.size();) {
        std::size_t end = deadList.find(',', start);
        if (end == std::string::npos) end = deadList.size();
        const std::string token = deadList.substr(start, end - start);
        const gtp::Vertex v = gtp::parseVertex(token, g.BoardSize);
        if (v.kind != gtp::VertexKind::Point) {
            std::fprintf(stderr, "tavrin-kifu: '%s' is no point of a %dx%d board\n", token.c_str(), g.BoardSize,
                         g.BoardSize);
            return 2;
        }
        dead.push_back(v.pos);
        start = end + 1;
    }
    const ScoreCount c = fncCountScore(g, fncProposeStatus(g, dead, {}));
    const std::string out = "B " + std::to_string(c.Side[Black].Territory) + " " +
                            std::to_string(c.Side[Black].Prisoners) + " W " + std::to_string(c.Side[White].Territory) +
                            " " + std::to_string(c.Side[White].Prisoners) + " KOMI " + tenthsText(c.KomiTenths) +
                            " RESULT " + c.Result + "\n";
    std::fwrite(out.data(), 1, out.size(), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
}

// What the records under a folder played next at the position after move n of a record.
int explore(const std::vector<std::string>& args) {
    if (args.size() != 3 || !isDirectory(args[0]) || isDirectory(args[1])) return usageError();
    const std::string& number = args[2];
    char* end = nullptr;
    errno = 0;
    const long n = std::strtol(number.c_str(), &end, 10);
    if (number.empty() || *end != '\0' || errno != 0 || n < 0) return usageError();
    GameState g = freshGame();
    if (!loadOne(args[1], g)) return 1;
    if (n > g.MoveCount) {
        std::fprintf(stderr, "%s: %d moves, no move %ld\n", args[1].c_str(), g.MoveCount, n);
        return 1;
    }
    library::MainLinePositions walk(g);
    while (walk.moves() < n) walk.advance();

    library::LibraryIndex index;
    index.update({args[0]});
    const library::LibraryExploration found = index.explore(walk.key());
    std::string out =
        "GAMES " + std::to_string(index.indexedCount()) + " POSITIONS " + std::to_string(found.Games) + "\n";
    for (const library::LibraryMove& m : found.Moves) {
        out += gtp::vertexText(m.Pos, g.BoardSize) + " " + std::to_string(m.Games) + " " + std::to_string(m.BlackWins) +
               " " + std::to_string(m.WhiteWins) + "\n";
    }
    std::fwrite(out.data(), 1, out.size(), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 1 && (args[0] == "-h" || args[0] == "--help")) {
        std::fputs(Usage, stdout);
        return 0;
    }
    if (args.size() < 2) return usageError();
    const std::string command = args[0];
    args.erase(args.begin());
    if (command == "check") return check(args);
    if (command == "explore") return explore(args);
    if (command == "score") return score(args);
    if (command == "figure" || command == "analyse") {
        const int rc = command == "figure" ? figureCommand(argv[0], args) : analyseCommand(argv[0], args);
        return rc == 2 ? usageError() : rc;
    }
    if (args.size() != 1 || isDirectory(args[0])) return usageError();
    if (command == "board") return board(args[0]);
    if (command == "sgf") return sgf(args[0]);
    return usageError();
}
