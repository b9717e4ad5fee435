#pragma once
// Record files for the window's file and clipboard tests: small SGF and NGF texts written
// into the test's private folder, and what a test reads back from the window.

#include <QFile>
#include <QFileInfo>
#include <QTreeWidget>
#include <ostream>
#include <string>

#include "formats/RecordFile.h"
#include "formats/SgfWriter.h"
#include "tests/app/AppTestKit.h"

// Readable QString values in failure messages.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace tavrin::test {

// A 9 x 9 game of three moves, black's last stone marked.
inline const QByteArray ThreeMoves = "(;GM[1]FF[4]SZ[9]PB[Kuro]PW[Shiro]KM[6.5];B[cc];W[gc];B[ee])";
// A 13 x 13 game of one move with a result.
inline const QByteArray OneMove = "(;GM[1]FF[4]SZ[13]GN[Other]RE[W+R];B[dd])";

// An NGF record of 9 x 9, no handicap, komi line 6: black D3 (column 3, row 3), white H3.
inline QByteArray ngfRecord(const QByteArray& boardSize = "9") {
    return "NgfGame\r\n" + boardSize +
           "\r\nBlackName\r\nWhiteName\r\nx\r\n0\r\nx\r\n6\r\n2005/07/01\r\nx\r\nB+R\r\n2\r\n"
           "PM01BDDDD\r\nPM02WHDDH\r\n";
}

class FileWindowTest : public MainWindowTest {
protected:
    // Writes bytes to name in the test folder; returns the full path.
    QString put(const QString& name, const QByteArray& bytes) {
        const QString path = dir.path() + QLatin1Char('/') + name;
        writeFile(path, bytes);
        return path;
    }
    static QByteArray bytesOf(const QString& path) {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly)) return {};
        return f.readAll();
    }
    // Loads path through the open dialog, with or without the read-only box ticked.
    static void openThroughDialog(TfrmMain& w, ScriptedPrompts& p, const QString& path, bool readOnly = false) {
        p.openChoices.push_back(OpenChoice{path, readOnly});
        w.ui.actFileOpenCK->trigger();
    }
    // The record now has changes (as after a move or a game-information edit).
    static void touch(TfrmMain& w) {
        w.Doc.Modified = true;
        inside(w).prcKifUpDate();
    }
    // The bytes a save of the window's record would write.
    static QByteArray savedBytes(TfrmMain& w) {
        TextBuffer buf;
        return QByteArray::fromStdString(sgfFileBytes(w.Game, buf));
    }
    // The record's moves as "colour:position" for comparisons.
    static std::string moves(const GameState& g) {
        std::string out;
        for (int e = 1; e <= g.HandicapCount + g.MoveCount; ++e)
            out += std::to_string(g.MoveColor[e]) + ":" + std::to_string(g.MovePos[e]) + " ";
        return out;
    }
};

}  // namespace tavrin::test
