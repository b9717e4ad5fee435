#include "view/ReviewGraph.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QToolTip>
#include <algorithm>
#include <cmath>

#include "game/GameState.h"

namespace tavrin {

namespace {

const QColor Background(236, 232, 223);
const QColor Frame(196, 190, 178);
const QColor Grid(216, 210, 198);
const QColor ZeroLine(140, 134, 124);
const QColor BlackFill(48, 48, 48);
const QColor WhiteFill(255, 255, 255);
const QColor WhiteOutline(120, 120, 120);
const QColor CurrentLine(235, 120, 0);
const QColor BlackLoss(215, 35, 35);
const QColor WhiteLoss(30, 90, 215);
const QColor Caption(95, 90, 82);

constexpr double Margin = 4;

QFont captionFont(int pixels) {
    QFont f;
    f.setFamilies({QStringLiteral("IPAexGothic"), QStringLiteral("IPAGothic")});
    f.setPixelSize(pixels);
    return f;
}

// Grid lines every so many points: a few on either side of zero at any scale.
double stepFor(double points) { return points <= 40 ? 10 : points <= 100 ? 20 : points <= 200 ? 50 : 100; }

// "黒+3.5", "白+12", "互角": who leads by how much.
QString leadText(double lead) {
    const double a = std::abs(lead);
    if (a < 0.05) return QStringLiteral("互角");
    return (lead > 0 ? QStringLiteral("黒+") : QStringLiteral("白+")) + QString::number(a, 'f', a < 100 ? 1 : 0);
}

}  // namespace

ReviewGraph::ReviewGraph(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("grfReview"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(120, 60);
    setCursor(Qt::PointingHandCursor);
}

QSize ReviewGraph::sizeHint() const { return {400, 110}; }

void ReviewGraph::setLeads(const std::vector<std::optional<double>>& leads) {
    leads_ = leads;
    double largest = 0;
    for (const auto& lead : leads_)
        if (lead) largest = std::max(largest, std::abs(*lead));
    const double step = stepFor(largest);
    scale_ = std::max(10.0, std::ceil(largest / step) * step);
    update();
}

void ReviewGraph::setMarked(const std::vector<std::pair<int, int>>& moveAndColour) {
    marked_ = moveAndColour;
    update();
}

void ReviewGraph::setCurrent(int move) {
    if (current_ == move) return;
    current_ = move;
    update();
}

double ReviewGraph::gridStep() const { return stepFor(scale_); }

QRectF ReviewGraph::plotRect() const { return QRectF(rect()).adjusted(Margin, Margin, -Margin, -Margin); }

double ReviewGraph::xOf(int move) const {
    const QRectF r = plotRect();
    return moves() == 0 ? r.left() : r.left() + r.width() * move / moves();
}

double ReviewGraph::yOf(double lead) const {
    const QRectF r = plotRect();
    return r.center().y() - std::clamp(lead / scale_, -1.0, 1.0) * r.height() / 2;
}

int ReviewGraph::moveAt(double x) const {
    const QRectF r = plotRect();
    if (moves() == 0 || r.width() <= 0) return 0;
    return std::clamp(static_cast<int>(std::lround((x - r.left()) * moves() / r.width())), 0, moves());
}

void ReviewGraph::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), Background);
    p.setPen(Frame);
    p.drawRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5));
    if (leads_.empty()) {
        p.setFont(captionFont(12));
        p.setPen(Caption);
        p.drawText(rect(), Qt::AlignCenter, QStringLiteral("棋譜解析の結果がここに表示されます"));
        return;
    }
    const QRectF r = plotRect();
    const double zero = yOf(0);

    // Faint lines at every step of the grid, either side of zero.
    p.setPen(QPen(Grid, 1));
    for (double v = gridStep(); v <= scale_ + 1e-9; v += gridStep())
        for (double y : {yOf(v), yOf(-v)})
            p.drawLine(QPointF(r.left(), std::floor(y) + 0.5), QPointF(r.right(), std::floor(y) + 0.5));

    // The curve, run by run of judged moves: the area to zero dark above it, light below.
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF above(r.left() - 1, r.top() - 1, r.width() + 2, zero - r.top() + 1);
    const QRectF below(r.left() - 1, zero, r.width() + 2, r.bottom() - zero + 1);
    const int n = moves();
    for (int first = 0; first <= n;) {
        if (!leads_[static_cast<size_t>(first)]) {
            ++first;
            continue;
        }
        int last = first;
        while (last < n && leads_[static_cast<size_t>(last + 1)]) ++last;
        QPainterPath curve;
        curve.moveTo(xOf(first), yOf(*leads_[static_cast<size_t>(first)]));
        for (int k = first + 1; k <= last; ++k) curve.lineTo(xOf(k), yOf(*leads_[static_cast<size_t>(k)]));
        if (first == last) {
            // A move judged alone: a bar one pixel wide.
            const double x = xOf(first);
            curve = QPainterPath();
            curve.moveTo(x - 0.5, zero);
            curve.lineTo(x - 0.5, yOf(*leads_[static_cast<size_t>(first)]));
            curve.lineTo(x + 0.5, yOf(*leads_[static_cast<size_t>(first)]));
            curve.lineTo(x + 0.5, zero);
        }
        QPainterPath area = curve;
        area.lineTo(curve.currentPosition().x(), zero);
        area.lineTo(curve.elementAt(0).x, zero);
        area.closeSubpath();
        p.setPen(Qt::NoPen);
        p.save();
        p.setClipRect(above);
        p.setBrush(BlackFill);
        p.drawPath(area);
        p.setClipRect(below);
        p.setBrush(WhiteFill);
        p.drawPath(area);
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(WhiteOutline, 1));
        p.drawPath(curve);
        p.restore();
        first = last + 1;
    }
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QPen(ZeroLine, 1));
    p.drawLine(QPointF(r.left(), std::floor(zero) + 0.5), QPointF(r.right(), std::floor(zero) + 0.5));

    // The shown move.
    if (current_ >= 0 && current_ <= n) {
        const double x = std::round(xOf(current_));
        p.setPen(QPen(CurrentLine, 2));
        p.drawLine(QPointF(x, r.top()), QPointF(x, r.bottom()));
    }

    // The worst moves: a dot on the curve in the colour of the side that played it.
    p.setRenderHint(QPainter::Antialiasing);
    for (const auto& [move, colour] : marked_) {
        if (move < 0 || move > n || !leads_[static_cast<size_t>(move)]) continue;
        p.setPen(QPen(Qt::white, 1.2));
        p.setBrush(colour == Black ? BlackLoss : WhiteLoss);
        p.drawEllipse(QPointF(xOf(move), yOf(*leads_[static_cast<size_t>(move)])), 3.5, 3.5);
    }

    // The scale at the top and bottom corners, on a veil of the background so that it reads
    // over the fill.
    const QFont f = captionFont(10);
    p.setFont(f);
    const QString amount = QString::number(scale_, 'f', 0);
    const QFontMetrics fm(f);
    for (const auto& [text, top] :
         {std::pair{QStringLiteral("黒+") + amount, true}, std::pair{QStringLiteral("白+") + amount, false}}) {
        const QRectF box(r.left() + 1, top ? r.top() + 1 : r.bottom() - fm.height() - 1, fm.horizontalAdvance(text) + 6,
                         fm.height());
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(Background.red(), Background.green(), Background.blue(), 215));
        p.drawRoundedRect(box, 3, 3);
        p.setPen(Caption);
        p.drawText(box, Qt::AlignCenter, text);
    }
}

void ReviewGraph::clicked(double x) {
    if (leads_.empty()) return;
    const int move = moveAt(x);
    if (move == dragged_) return;
    dragged_ = move;
    emit moveClicked(move);
}

void ReviewGraph::mousePressEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton) return;
    dragged_ = -1;
    clicked(e->position().x());
}

void ReviewGraph::mouseMoveEvent(QMouseEvent* e) {
    if (e->buttons() & Qt::LeftButton) clicked(e->position().x());
}

void ReviewGraph::mouseReleaseEvent(QMouseEvent*) { dragged_ = -1; }

bool ReviewGraph::event(QEvent* e) {
    if (e->type() != QEvent::ToolTip) return QWidget::event(e);
    const auto* help = static_cast<QHelpEvent*>(e);
    if (leads_.empty()) {
        QToolTip::hideText();
        return true;
    }
    // "52手目　黒+3.5": the move under the cursor and its lead.
    const int move = moveAt(help->pos().x());
    const auto& lead = leads_[static_cast<size_t>(move)];
    QToolTip::showText(help->globalPos(),
                       QStringLiteral("%1手目　%2").arg(move).arg(lead ? leadText(*lead) : QStringLiteral("未解析")),
                       this);
    return true;
}

}  // namespace tavrin
