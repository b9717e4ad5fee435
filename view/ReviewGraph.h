#pragma once
// The review's graph of the game (grfReview): black's lead after every move as a curve over
// the moves, filled dark above zero (black ahead) and light below (white ahead), the scale
// symmetric round zero and fitted to the largest lead, the worst moves as coloured dots and
// the shown move as a vertical line. A click or a drag asks the window to show a move.

#include <QWidget>
#include <optional>
#include <utility>
#include <vector>

namespace tavrin {

class ReviewGraph : public QWidget {
    Q_OBJECT
public:
    explicit ReviewGraph(QWidget* parent = nullptr);

    // leads[k]: black's lead in points after move k (k = 0: the start), nullopt where not
    // judged (yet). The graph spans leads.size() - 1 moves.
    void setLeads(const std::vector<std::optional<double>>& leads);
    // Moves marked as the largest losses: drawn as a coloured dot on the curve (red for a
    // black move, blue for a white one).
    void setMarked(const std::vector<std::pair<int, int>>& moveAndColour);
    // The shown move: a vertical line.
    void setCurrent(int move);
    QSize sizeHint() const override;  // about 400 x 110

signals:
    void moveClicked(int move);  // a click (or a drag) at a move's column

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    bool event(QEvent* e) override;

private:
    // The area the curve is drawn in, within a small margin.
    QRectF plotRect() const;
    int moves() const { return leads_.empty() ? 0 : static_cast<int>(leads_.size()) - 1; }
    double xOf(int move) const;
    double yOf(double lead) const;
    int moveAt(double x) const;  // the nearest move's column, 0..moves()
    // Points from the middle to the top of the plot: the largest |lead| rounded up to a
    // grid line, at least 10.
    double scale() const { return scale_; }
    double gridStep() const;
    void clicked(double x);

    std::vector<std::optional<double>> leads_;
    std::vector<std::pair<int, int>> marked_;
    int current_ = -1;
    double scale_ = 10;
    int dragged_ = -1;  // the move last asked for while the button is down
};

}  // namespace tavrin
