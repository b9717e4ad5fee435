#pragma once
// The board's modes as objects. Beneath them the game is played or replayed; above that the
// window is in at most one of 検討 and 盤面編集, or counts the end of a game. Each mode says
// what a click on the board does, names itself in the status bar, is entered and left, and
// owns what it needs while it lasts. The commands' rules read the mode's kind.

#include <QString>
#include <Qt>
#include <optional>
#include <vector>

#include "app/CommandStates.h"
#include "record/GameRecord.h"

namespace tavrin {

class TfrmMain;

class BoardMode {
public:
    explicit BoardMode(TfrmMain& w) : w_(w) {}
    virtual ~BoardMode() = default;
    BoardMode(const BoardMode&) = delete;
    BoardMode& operator=(const BoardMode&) = delete;

    virtual Mode kind() const = 0;
    // What the status bar says at rest while the mode lasts; empty: the help hint.
    virtual QString name() const { return {}; }
    // A button pressed on the board's point pos, and the click when it is let go there (0: not
    // on a point).
    virtual void press(Qt::MouseButton, int) {}
    virtual void click(Qt::MouseButton button, int pos) = 0;

protected:
    TfrmMain& w_;
};

// A game being played: a click plays the side to move there.
class PlayBoard final : public BoardMode {
public:
    using BoardMode::BoardMode;
    Mode kind() const override { return Mode::Playing; }
    void click(Qt::MouseButton button, int pos) override;
};

// A record shown, or play suspended: a click steps through it or goes into a variation.
class ReplayBoard final : public BoardMode {
public:
    using BoardMode::BoardMode;
    Mode kind() const override;
    void click(Qt::MouseButton button, int pos) override;
};

// 終局計算: a click marks dead stones and seki (the counting panel holds the count).
class CountingBoard final : public BoardMode {
public:
    using BoardMode::BoardMode;
    Mode kind() const override { return Mode::Counting; }
    void click(Qt::MouseButton button, int pos) override;
};

// 検討 and 盤面編集: modes the user enters and leaves, above play or replay.
class OverlayMode : public BoardMode {
public:
    using BoardMode::BoardMode;
    // Leaves the mode as the user asked; false when the user chose to stay in it.
    virtual bool leave() = 0;
    // Leaves it without a question: the game or record it worked on is replaced.
    virtual void drop() = 0;
};

// 検討: moves played on the board go into the record as variations. During a game it works on
// a copy, and leaving asks whether the lines it added stay; a game without moves is studied
// in place.
class StudyMode final : public OverlayMode {
public:
    explicit StudyMode(TfrmMain& w);
    Mode kind() const override { return Mode::Study; }
    QString name() const override;
    void click(Qt::MouseButton button, int pos) override;
    bool leave() override;
    void drop() override;
    // Leaves for 盤面編集 at the shown node: the study's moves stay in the record.
    void handOver();
    // 待った takes back the last move the study added while it is shown and has no children.
    bool canTakeBack() const;
    void takeBack();
    // An undo may take away moves the study added: it forgets them.
    void forgetAdded() { added_.clear(); }
    // The game as it was before the study began (a study during a game), else null: what
    // saving writes.
    GameRecord* game() { return game_ ? &*game_ : nullptr; }
    // That game has just been saved.
    void gameSaved();

private:
    bool fromGame_ = false;                // begun during a game: it works on a copy
    bool wasPlaying_ = false;              // begun in play (a game, or a new one in place)
    std::vector<int> returnTo_;            // where the study began
    std::vector<std::vector<int>> added_;  // the moves it added, as paths
    std::optional<GameRecord> game_;       // the game as it was, with its history (fromGame_)
    bool modified_ = false;                // that game was modified
    // Play goes on where the study of a game began: the clock runs again.
    void backToPlay();
};

// 盤面編集: setup stones, marks, labels and the side to move at the shown node.
class EditMode final : public OverlayMode {
public:
    enum class Tool { Stones, Triangle, Square, Circle, Cross, Letters, Numbers, Erase, Arrow, Line, Dim };
    explicit EditMode(TfrmMain& w);
    Mode kind() const override { return Mode::Editing; }
    QString name() const override;
    void press(Qt::MouseButton button, int pos) override { pressed_ = button == Qt::LeftButton ? pos : 0; }
    void click(Qt::MouseButton button, int pos) override;
    bool leave() override;
    void drop() override { leave(); }
    void setTool(Tool t) { tool_ = t; }

private:
    Tool tool_ = Tool::Stones;
    int pressed_ = 0;          // where the left button went down: an arrow or a line starts there
    bool popupBefore_ = true;  // the board's menu on the right button before editing
};

}  // namespace tavrin
