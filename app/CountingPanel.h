#pragma once
// The counting panel (終局計算) at the foot of the side panel, and the state of a count: the
// stones marked dead or in seki. Counting lies over the ended game like a sheet: the record
// and the board stay as they were until 確定 hands the result to the window; キャンセル or
// Esc leave everything as it was. A left click on a stone marks its whole group dead or
// alive again (its chain and the chains of its colour that share an empty region with it, up
// to the other colour's live stones); a right click marks it in seki. While the engine names the
// dead stones the panel counts the seconds; キャンセル or Esc then stop the engine only, and the
// stones are marked by hand.

#include <QFrame>
#include <string>

#include "game/Scoring.h"

class QAction;
class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;

namespace tavrin {

class BoardView;
class EngineTurn;
class Prompts;

class CountingPanel : public QFrame {
    Q_OBJECT
public:
    // Made hidden at the foot of the side panel's column; Esc while counting is the window's.
    CountingPanel(QWidget* sidePanel, BoardView& board, const GameState& game, EngineTurn& turn, Prompts& prompts);

    bool counting() const { return counting_; }
    // The engine is naming the dead stones.
    bool waitingForDead() const;
    // Enters counting with every stone alive.
    void start();
    // Asks the engine for its proposal of dead stones; the user corrects it or counts without.
    void askEngine();
    // A click on the board while counting: left toggles the stone's group dead, right seki.
    void click(Qt::MouseButton button, int pos);
    // Leaves counting: with accept the result goes to the window through finished.
    void finish(bool accept);
    // キャンセル and Esc: the engine's proposal under way is given up, or else counting.
    void cancel();

    QLabel* lblCountBlack = nullptr;
    QLabel* lblCountWhite = nullptr;
    QLabel* lblCountResult = nullptr;
    QPushButton* btnCountOk = nullptr;
    QPushButton* btnCountCancel = nullptr;
    QProgressBar* barCountWait = nullptr;  // busy while the engine names the dead stones
    QTimer* tmrCountWait = nullptr;        // its seconds
    QAction* actCountCancel = nullptr;     // Esc while counting

signals:
    // Counting ended; when accepted, result (as the record's RE) is the game's.
    void finished(bool accepted, const std::string& result);

private:
    void showCount();
    void tickWait();
    void endWait();

    BoardView& board_;
    const GameState& game_;
    EngineTurn& turn_;
    Prompts& prompts_;
    bool counting_ = false;
    int waitSeconds_ = 0;
    StoneStatusMap status_{};
};

}  // namespace tavrin
