#pragma once
// The board panel pnlMain: the board picture imgGoban (clean board + stones) and the
// paint box pbxGbn lying over the grid, which takes the mouse.

#include <QImage>
#include <QWidget>
#include <array>
#include <cstdint>
#include <utility>
#include <vector>

#include "game/BoardPainter.h"
#include "game/GameState.h"
#include "record/NodeMarkup.h"
#include "view/BoardGeometry.h"

namespace tavrin {

// Marks laid over the board while a game is counted or judged: the owner of each point (a
// small square of its colour), stones shown dimmed (dead) or ringed (in seki).
struct BoardMarks {
    std::array<std::int8_t, BoardCells> Owner{};  // Black, White or 0, by board position
    std::array<bool, BoardCells> Dimmed{};
    std::array<bool, BoardCells> Seki{};
};

// One of the analysis engine's candidate moves at the shown position.
struct CandidateMark {
    int pos;         // board position
    double winrate;  // of the side to move, 0..1
    int visits;
    int order;  // 0 = best
    bool operator==(const CandidateMark&) const = default;
};

class BoardView : public QWidget, public BoardPainter {
    Q_OBJECT
public:
    // objectName "pnlMain"; children "imgGoban" and "pbxGbn".
    BoardView(const GameState& game, QWidget* parent = nullptr);
    ~BoardView() override;

    // View options read at every re-layout and by the painter.
    void setZahyou(bool on);
    void setHanten(bool on);
    bool zahyou() const;
    bool hanten() const;
    // Move numbers on the stones (each stone carries the number of the move that put it
    // there; handicap and setup stones none), drawn over the picture when it is shown.
    void setTejun(bool on);
    bool tejun() const;
    // Counting or judging marks over the board; clearMarks takes them away.
    void setMarks(const BoardMarks& marks);
    void clearMarks();
    bool hasMarks() const;
    // Letters on points (the opening explorer's candidates): position and letter.
    void setLetters(const std::vector<std::pair<int, QString>>& letters);
    const std::vector<std::pair<int, QString>>& letters() const;
    // The shown node's markup (marks, labels, arrows and lines, dimmed points), drawn over
    // the stones in the colour that stands out from what lies under each point; an empty
    // markup takes it away.
    void setMarkup(const NodeMarkup& markup);
    const NodeMarkup& markup() const;
    // The next moves of the shown node's variations: faint stones with their letters, the
    // main line's ringed in red. Only points still empty are marked.
    void setVariationMarks(const std::vector<VariationMark>& marks);
    const std::vector<VariationMark>& variationMarks() const;
    // The variations' letters beside their faint stones (small, at the point's corner, so
    // they are not taken for labels); off: the faint stones alone.
    void setVariationLetters(bool on);
    // The point a hint proposes, marked with a ring of its own (0: none).
    void setHint(int pos);
    int hint() const;
    // The analysis engine's candidate moves at the shown position: the best few as coloured
    // circles (the best in a strong colour, the others fading), each with its win rate in
    // percent and its visits in small text inside ("54.3" over "1.2k"); empty takes them away.
    // Only the best 8 on empty points are drawn.
    void setCandidates(const std::vector<CandidateMark>& marks);
    // The engine's better move at the shown move's position: a ring of its own colour with
    // the gain as a small text ("+4.5") under it; pos 0 takes it away.
    void setBetterMove(int pos, const QString& gainText);

    // The complete re-layout: geometry from the panel's client size, clean board, picture,
    // paint box, scaled stones, every stone redrawn from Board, last-move marker.
    void relayout();
    // Whether the picture was laid out for the panel's present size (a resize that keeps
    // it, such as the window's first showing, needs no new layout).
    bool laidOutForSize() const;

    // BoardPainter: drawn into the picture; the widget is repainted by repaintBoard().
    void paintStone(int pos, int colour, bool marked) override;
    void erasePoint(int pos) override;
    void repaintBoard();

    const BoardGeometry& geometryInfo() const;
    const QImage& picture() const;     // the picture of imgGoban (board + stones)
    QImage shownPicture() const;       // the picture as shown: with the move numbers when on
    const QImage& cleanBoard() const;  // BoardBitmap: the clean board
    QWidget* paintBox() const;         // pbxGbn

signals:
    void resized();  // the panel's size changed (the window defers the re-layout)
    // Mouse on the paint box: x, y relative to pbxGbn.
    void boardMouseDown(Qt::MouseButton button, int x, int y);
    void boardMouseUp(Qt::MouseButton button, int x, int y);

protected:
    void resizeEvent(QResizeEvent* e) override;
    void paintEvent(QPaintEvent* e) override;  // the panel's lowered bevel

private:
    struct Impl;
    Impl* d;
};

}  // namespace tavrin
