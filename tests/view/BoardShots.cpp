// Renders sample boards to PNG files for looking at the drawing by eye:
//   board_shots [folder]   (default /tmp/board-shots)
// Not a test; built on demand (target board_shots).
#include <QApplication>
#include <QDir>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <optional>

#include "game/Engine.h"
#include "view/BoardView.h"
#include "view/GameTreePane.h"
#include "view/ReviewGraph.h"

using namespace tavrin;

namespace {

// A game of about 200 stones from a fixed pseudo-random sequence of legal moves.
void playSample(GameState& g, int moves, BoardPainter& p) {
    unsigned seed = 12345;
    int played = 0;
    for (int tries = 0; played < moves && tries < 20000; ++tries) {
        seed = seed * 1103515245u + 12345u;
        const int col = 1 + static_cast<int>((seed >> 16) % static_cast<unsigned>(g.BoardSize));
        seed = seed * 1103515245u + 12345u;
        const int row = 1 + static_cast<int>((seed >> 16) % static_cast<unsigned>(g.BoardSize));
        if (prcHitCore(g, col * g.BoardStride + row, g.SideToMove, p) == HitResult::Legal) ++played;
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    const QString dir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("/tmp/board-shots");
    QDir().mkpath(dir);

    struct Shot {
        int size;
        int w, h;
        int moves;
    };
    const Shot shots[] = {
        {19, 470, 470, 200}, {19, 1165, 1165, 200}, {13, 700, 700, 90}, {9, 615, 615, 40}, {19, 257, 257, 200}};
    NullPainter none;
    for (const Shot& s : shots) {
        for (int turned = 0; turned < 2; ++turned)
            for (int coords = 0; coords < 2; ++coords) {
                GameState g;
                g.BoardSize = s.size;
                prcNewSetCore(g, "2024-01-01");
                playSample(g, s.moves, none);
                BoardView v(g);
                v.resize(s.w, s.h);
                v.setZahyou(coords != 0);
                v.setHanten(turned != 0);
                v.relayout();
                const QString name = QStringLiteral("%1/b%2-%3x%4%5%6.png")
                                         .arg(dir)
                                         .arg(s.size)
                                         .arg(s.w)
                                         .arg(s.h)
                                         .arg(coords ? "-coords" : "")
                                         .arg(turned ? "-turned" : "");
                v.grab().save(name);
                std::printf("%s cell %d\n", qPrintable(name), v.geometryInfo().CellSize);
            }
    }
    // Markup and variation marks over a game, straight and turned, small and large.
    for (int panel : {470, 1000})
        for (int turned = 0; turned < 2; ++turned) {
            GameState g;
            prcNewSetCore(g, "2024-01-01");
            playSample(g, 60, none);
            BoardView v(g);
            v.resize(panel, panel);
            v.setHanten(turned != 0);
            v.relayout();
            NodeMarkup m;
            const auto pos = [&](int c, int r) { return c * g.BoardStride + r; };
            const MarkShape shapes[] = {MarkShape::Triangle, MarkShape::Square,   MarkShape::Circle,
                                        MarkShape::Cross,    MarkShape::Selected, MarkShape::Dimmed};
            for (int k = 0; k < 6; ++k)
                for (int r = 1; r <= 19; r += 6) m.Marks.push_back({pos(2 + 3 * k, r), shapes[k]});
            m.Labels = {{pos(1, 3), "A"}, {pos(2, 3), "12"}, {pos(3, 3), "黒"}, {pos(4, 3), "abcde"}};
            for (int c = 5; c <= 8; ++c) m.Labels.push_back({pos(c, 3), g.Board[pos(c, 3)] ? "x" : "y"});
            m.Lines = {
                {pos(3, 10), pos(9, 16), true}, {pos(17, 3), pos(11, 9), false}, {pos(10, 17), pos(10, 12), true}};
            v.setMarkup(m);
            std::vector<VariationMark> vars;
            char letter = 'A';
            for (int c = 12; c <= 18 && letter <= 'D'; ++c)
                if (g.Board[pos(c, 15)] == 0) vars.push_back({pos(c, 15), g.SideToMove, letter++, letter == 'B', 0});
            v.setVariationMarks(vars);
            const QString name = QStringLiteral("%1/markup-%2%3.png").arg(dir).arg(panel).arg(turned ? "-turned" : "");
            v.grab().save(name);
            std::printf("%s cell %d\n", qPrintable(name), v.geometryInfo().CellSize);
        }
    // The game-tree pane: a line of 60 moves with variations, nested ones, comments and
    // annotations, the shown node on a variation.
    {
        RecordTree t;
        t.clear();
        std::vector<RecordTree::NodeId> line{t.addNode(RecordTree::None)};
        for (int k = 1; k <= 60; ++k)
            line.push_back(t.addMoveNode(line.back(), k % 2 ? 'B' : 'W', static_cast<char>('a' + k % 19), 'd'));
        RecordTree::NodeId shown = RecordTree::None;
        for (int at : {3, 3, 12, 14, 30, 31, 45}) {
            RecordTree::NodeId v = line[static_cast<size_t>(at)];
            for (int k = 0; k < 4 + at % 5; ++k) v = t.addMoveNode(v, (at + k) % 2 ? 'W' : 'B', 'q', 'q');
            if (at == 12) t.addMoveNode(t.parent(t.parent(v)), 'B', 'r', 'r');
            shown = v;
        }
        t.addValue(t.addProperty(line[7], "C"), "comment");
        t.addValue(t.addProperty(line[9], "BM"), "1");
        t.addValue(t.addProperty(line[20], "TE"), "1");
        t.addValue(t.addProperty(line[21], "GB"), "1");
        GameTreePane pane;
        pane.resize(560, 220);
        pane.show();
        pane.setTree(&t);
        pane.setCurrent(shown);
        const QString name = dir + QStringLiteral("/tree-pane.png");
        pane.grab().save(name);
        std::printf("%s\n", qPrintable(name));
    }
    // The review: the engine's candidates and a better move over a game, and the graph of
    // a game's leads with a gap not judged yet, the worst moves and the shown move.
    for (int panel : {470, 1000, 257}) {
        GameState g;
        prcNewSetCore(g, "2024-01-01");
        playSample(g, 60, none);
        BoardView v(g);
        v.resize(panel, panel);
        v.relayout();
        std::vector<CandidateMark> marks;
        for (int pos = 1, k = 0; pos <= g.BoardLast && k < 10; pos += 23)
            if (pos % g.BoardStride >= 1 && pos % g.BoardStride <= 19 && pos > g.BoardStride && g.Board[pos] == 0)
                marks.push_back({pos, 0.62 - k * 0.04, 12000 / (k + 1), k}), ++k;
        v.setCandidates(marks);
        for (int pos = g.BoardLast - 25; pos > 0; --pos)
            if (g.Board[pos] == 0 && pos % g.BoardStride >= 1 && pos % g.BoardStride <= 19) {
                v.setBetterMove(pos, QStringLiteral("+4.5"));
                break;
            }
        const QString name = QStringLiteral("%1/review-%2.png").arg(dir).arg(panel);
        v.grab().save(name);
        std::printf("%s\n", qPrintable(name));
    }
    {
        std::vector<std::optional<double>> leads;
        for (int k = 0; k <= 180; ++k)
            leads.push_back(k > 120 && k < 140
                                ? std::nullopt
                                : std::optional(6.5 * std::sin(k / 17.0) + (k > 90 ? -(k - 90) * 0.3 : 0)));
        ReviewGraph graph;
        graph.resize(400, 110);
        graph.setLeads(leads);
        graph.setMarked({{37, Black}, {88, White}, {150, Black}});
        graph.setCurrent(60);
        graph.grab().save(dir + QStringLiteral("/review-graph.png"));
        graph.setLeads({});
        graph.grab().save(dir + QStringLiteral("/review-graph-empty.png"));
    }
    return 0;
}
