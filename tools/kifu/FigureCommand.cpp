// tavrin-kifu-figure: the figure command of tavrin-kifu, in a program of its own.
#include <QGuiApplication>
#include <QString>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "formats/RecordFile.h"
#include "formats/TextBuffer.h"
#include "game/GameState.h"
#include "record/GameRecord.h"
#include "record/KifuFigures.h"
#include "view/KifuFigure.h"

using namespace tavrin;

namespace {

bool readCount(const std::string& text, int low, int high, int& out) {
    char* end = nullptr;
    errno = 0;
    const long v = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || errno != 0 || v < low || v > high) return false;
    out = static_cast<int>(v);
    return true;
}

// The command's whole work; 2 for arguments it cannot take.
int drawFigures(const char* program, const std::vector<std::string>& args) {
    int per = DefaultFigureMoves;
    int width = 1200;
    bool restart = false;
    KifuFigureLook look;
    std::vector<std::string> names;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--restart") {
            restart = true;
        } else if (a == "--coordinates") {
            look.Coordinates = true;
        } else if (a == "--per" || a == "--width") {
            if (i + 1 == args.size()) return 2;
            const bool ok =
                a == "--per" ? readCount(args[++i], 0, RecordCapacity, per) : readCount(args[++i], 100, 20000, width);
            if (!ok) return 2;
        } else {
            names.push_back(a);
        }
    }
    if (names.size() != 2) return 2;
    const QString out = QString::fromStdString(names[1]);
    const QString suffix = out.section(QLatin1Char('.'), -1).toLower();
    if (!out.contains(QLatin1Char('.')) ||
        (suffix != QLatin1String("png") && suffix != QLatin1String("svg") && suffix != QLatin1String("pdf")))
        return 2;

    GameState g;
    TextBuffer buf;
    RecordTree tree;
    const LoadResult r = readRecordFile(g, buf, names[0], &tree);
    if (!r.ok()) {
        std::fprintf(stderr, "%s: %s\n", names[0].c_str(), r.reason.c_str());
        return 1;
    }

    // Painting needs a GUI application; no screen is needed unless one was asked for. Qt's
    // notes about the environment (a missing runtime folder) are no business of the user's.
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
        if (type == QtCriticalMsg || type == QtFatalMsg) std::fprintf(stderr, "%s\n", qPrintable(text));
    });
    int argc = 1;
    char* argv[] = {const_cast<char*>(program), nullptr};
    QGuiApplication app(argc, argv);

    GameRecord record;
    record.adopt(g, std::move(tree));
    const KifuFigureDrawing drawing(g, cutKifuFigures(g, per, restart, 0, record.laterSetup()), look);
    bool written = true;
    if (suffix == QLatin1String("pdf")) written = drawing.writePdf(out, 1);
    std::string lines;
    for (int k = 1; k <= drawing.count() && written; ++k) {
        const QString path = figureFilePath(out, k);
        if (suffix == QLatin1String("png"))
            written = drawing.writePng(path, k, width);
        else if (suffix == QLatin1String("svg"))
            written = drawing.writeSvg(path, k);
        if (!written) {
            std::fprintf(stderr, "%s: cannot be written\n", path.toLocal8Bit().constData());
            return 1;
        }
        const KifuFigure& fig = drawing.figures().Figures[static_cast<size_t>(k - 1)];
        lines += "FIGURE " + std::to_string(k) + " FROM " + std::to_string(fig.FirstMove) + " TO " +
                 std::to_string(fig.LastMove) + " NOTES " + std::to_string(fig.Notes.size()) + "\n";
    }
    if (!written) {
        std::fprintf(stderr, "%s: cannot be written\n", names[1].c_str());
        return 1;
    }
    std::fwrite(lines.data(), 1, lines.size(), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) { return drawFigures(argv[0], std::vector<std::string>(argv + 1, argv + argc)); }
