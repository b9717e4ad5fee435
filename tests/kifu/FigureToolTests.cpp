// tavrin-kifu figure: the lines it prints, the files it writes for each format, its refusals;
// and the record tool's other commands still run without any Qt platform.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <string>

#include "tests/kifu/KifuTestKit.h"
#include "tests/support/ShellRun.h"

namespace tavrin::test {
namespace {

ShellRun kifu(const std::string& args, const std::string& env = "") {
    return runShell(env + " '" TAVRIN_KIFU_BIN "' " + args + " 2>/dev/null");
}

class FigureTool : public ::testing::Test {
protected:
    void SetUp() override {
        QFile f(Dir.filePath(QStringLiteral("ko.sgf")));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(KoRecord);
    }
    std::string path(const char* name) const {
        return "'" + Dir.filePath(QString::fromLatin1(name)).toStdString() + "'";
    }
    QStringList files() const { return QDir(Dir.path()).entryList(QDir::Files, QDir::Name); }

    QTemporaryDir Dir;
};

TEST_F(FigureTool, WritesEachFormatAndPrintsTheFigures) {
    const struct {
        const char* args;
        const char* out;
        QStringList written;
    } cases[] = {
        {"--per 10", "k.png", {"k-1.png", "k-2.png"}},
        {"--per 10 --restart", "k.svg", {"k-1.svg", "k-2.svg"}},
        {"--per 10", "k.pdf", {"k.pdf"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.out);
        const ShellRun r = kifu(std::string("figure ") + c.args + " " + path("ko.sgf") + " " + path(c.out));
        EXPECT_EQ(r.exitCode, 0);
        EXPECT_EQ(r.out, "FIGURE 1 FROM 1 TO 10 NOTES 0\nFIGURE 2 FROM 11 TO 15 NOTES 2\n");
        for (const QString& name : c.written) {
            EXPECT_TRUE(files().contains(name)) << name.toStdString();
            EXPECT_GT(QFile(Dir.filePath(name)).size(), 1000);
        }
    }
    const ShellRun one = kifu("figure --per 0 --width 640 --coordinates " + path("ko.sgf") + " " + path("one.png"));
    EXPECT_EQ(one.out, "FIGURE 1 FROM 1 TO 15 NOTES 3\n");
    EXPECT_EQ(QImage(Dir.filePath(QStringLiteral("one-1.png"))).width(), 640);
}

TEST_F(FigureTool, RefusesWhatItCannotDo) {
    const std::string ko = path("ko.sgf");
    const std::pair<std::string, int> cases[] = {
        {"figure " + ko + " " + path("k.txt"), 2},
        {"figure " + ko + " " + path("k"), 2},
        {"figure --per x " + ko + " " + path("k.png"), 2},
        {"figure --per", 2},
        {"figure " + ko, 2},
        {"figure " + path("none.sgf") + " " + path("k.png"), 1},
        {"figure " + ko + " " + path("no/k.png"), 1},
    };
    for (const auto& [args, code] : cases) EXPECT_EQ(kifu(args).exitCode, code) << args;
    EXPECT_FALSE(files().contains(QStringLiteral("k-1.png")));
    // The tool without its drawing helper beside it says so.
    ASSERT_TRUE(QDir(Dir.path()).mkpath(QStringLiteral("alone")));
    const QString alone = Dir.filePath(QStringLiteral("alone/tavrin-kifu"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(TAVRIN_KIFU_BIN), alone));
    QFile(alone).setPermissions(QFile::ReadOwner | QFile::ExeOwner);
    const ShellRun lone = runShell("'" + alone.toStdString() + "' figure " + ko + " " + path("k.png") + " 2>/dev/null");
    EXPECT_EQ(lone.exitCode, 1);
    EXPECT_FALSE(files().contains(QStringLiteral("k-1.png")));
}

TEST_F(FigureTool, TheToolItselfLinksNoQt) {
    const ShellRun r = runShell("readelf -d '" TAVRIN_KIFU_BIN "' 2>/dev/null");
    if (r.exitCode != 0) GTEST_SKIP() << "readelf absent";
    EXPECT_NE(r.out.find("libstdc++"), std::string::npos);
    EXPECT_EQ(r.out.find("libQt"), std::string::npos) << r.out;
}

TEST_F(FigureTool, OtherCommandsStartNoQtPlatform) {
    // A platform that does not exist stops any program that starts a GUI application.
    const std::string bad = "QT_QPA_PLATFORM=no-such-platform";
    const ShellRun board = kifu("board " + path("ko.sgf"), bad);
    EXPECT_EQ(board.exitCode, 0);
    EXPECT_EQ(board.out.substr(0, 19), "SZ 9 HA 0 MOVES 15 ");
    EXPECT_NE(kifu("figure " + path("ko.sgf") + " " + path("k.png"), bad).exitCode, 0);
}

}  // namespace
}  // namespace tavrin::test
