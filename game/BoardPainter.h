#pragma once
// What the board picture must do when a single point changes. The view maps a position to
// pixels (and applies the turned board); tests record the calls.

namespace tavrin {

class BoardPainter {
public:
    virtual ~BoardPainter() = default;
    // Draw a stone of colour (1 black, 2 white) at pos; marked = with the last-move cross.
    virtual void paintStone(int pos, int colour, bool marked) = 0;
    // Restore the empty point at pos from the clean board.
    virtual void erasePoint(int pos) = 0;
};

// A painter that draws nothing (record readers, benchmarks, the record tool).
class NullPainter final : public BoardPainter {
public:
    void paintStone(int, int, bool) override {}
    void erasePoint(int) override {}
};

}  // namespace tavrin
