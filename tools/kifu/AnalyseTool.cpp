// tavrin-kifu-analyse: the analyse command of tavrin-kifu, in a program of its own.
#include <QCoreApplication>
#include <QString>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "engine/GameReview.h"
#include "engine/Gtp.h"
#include "engine/Rokiru.h"
#include "formats/RecordFile.h"
#include "formats/SgfWriter.h"
#include "formats/TextBuffer.h"
#include "record/GameRecord.h"

using namespace tavrin;

namespace {

// "B+3.5", "W+12.0" or "0": Black's lead with one decimal, a '.' whatever the locale.
std::string leadText(double lead) {
    const double points = std::round(std::fabs(lead) * 10) / 10;
    if (points == 0) return "0";
    char buf[32];
    const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, points, std::chars_format::fixed, 1);
    return std::string(lead > 0 ? "B+" : "W+") + std::string(buf, ec == std::errc() ? end : buf);
}

int fault(const QString& text) {
    std::fprintf(stderr, "tavrin-kifu: %s\n", text.toUtf8().constData());
    return 1;
}

// The command's whole work; 2 for arguments it cannot take.
int analyse(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    EngineSettings settings = defaultEngineSettings();
    int level = GameReview::DefaultLevel;
    std::vector<std::string> names;
    for (size_t i = 0; i < args.size(); ++i) {
        if ((args[i] == "--engine" || args[i] == "--level") && i + 1 == args.size()) return 2;
        if (args[i] == "--engine") {
            settings.commandLine = QString::fromStdString(args[++i]);
        } else if (args[i] == "--level") {
            const std::string& v = args[++i];
            const auto [end, ec] = std::from_chars(v.data(), v.data() + v.size(), level);
            if (v.empty() || ec != std::errc() || end != v.data() + v.size() || level < 0 || level > 10) return 2;
        } else {
            names.push_back(args[i]);
        }
    }
    if (names.size() != 2) return 2;

    QCoreApplication app(argc, argv);
    GameState g;
    g.AppTag = std::string("Tavrin:") + TAVRIN_FILE_VERSION;
    TextBuffer buf;
    RecordTree tree;
    const LoadResult r = readRecordFile(g, buf, names[0], &tree);
    if (!r.ok()) return fault(QString::fromStdString(names[0] + ": " + r.reason));
    GameRecord record;
    record.adopt(g, std::move(tree));
    const GameState main = record.mainLineState();
    const gtp::Game game = gtp::gameOf(main, main.MoveCount);
    if (static_cast<int>(game.moves.size()) != main.MoveCount)
        return fault(
            QStringLiteral("%1: 手の間に石の配置があるので解析できません").arg(QString::fromStdString(names[0])));

    // The level goes to the engine as a command: no level arguments on the command line.
    for (QString& extra : settings.levelArguments) extra.clear();
    QString error;
    const QStringList engine = engineArguments(settings, 0, &error);
    if (engine.isEmpty()) return fault(error);

    GameReview review;
    bool complete = false;
    QString message;
    QObject::connect(&review, &GameReview::finished, &app, [&](bool done, const QString& why) {
        complete = done;
        message = why;
        app.quit();
    });
    review.start(game, engine, level);
    app.exec();
    if (!complete) return fault(message);

    // The main line's nodes, each with the judgement after its move.
    const std::vector<Judgement>& judged = review.judgements();
    std::vector<std::pair<GameRecord::NodeId, Judgement>> reviewed;
    std::string lines;
    for (int k = 0; k < static_cast<int>(judged.size()); ++k) {
        const Judgement& j = judged[static_cast<size_t>(k)];
        reviewed.emplace_back(record.tree().mainLineNode(record.tree().nodeOfMove(k)), j);
        if (k == 0) continue;
        const int pos = game.moves[static_cast<size_t>(k) - 1].pos;
        lines.append(std::to_string(k)).append(" ").append(gtp::vertexText(pos, game.boardSize));
        lines.append(" ").append(leadText(j.lead));
        if (j.better != 0 && j.better != pos) lines.append(" ").append(gtp::vertexText(j.better, game.boardSize));
        lines += "\n";
    }
    record.setReview(reviewed);
    TextBuffer out;
    const std::string bytes = sgfFileBytes(record.mainLineState(), out, &record.tree());
    if (writeFileReplacing(names[1], bytes) != WriteStatus::Ok)
        return fault(QString::fromStdString(names[1] + ": cannot be written"));
    std::fwrite(lines.data(), 1, lines.size(), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) { return analyse(argc, argv); }
