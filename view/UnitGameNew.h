#pragma once
// TDlgGameNew, the new-game dialog "新規対局": title, comment, the two players' names, board
// size, handicap and komi of the next game; carries the player kinds and the level hidden.

#include "view/DialogParts.h"

class QComboBox;
class QLabel;
class QPushButton;

namespace tavrin {

class TDlgGameNew : public GameDialog {
    Q_OBJECT
public:
    // Fills the controls from the game; nothing is written before OK.
    TDlgGameNew(GameState& game, QWidget* parent = nullptr);

public slots:
    void btnOkClick() { accept(); }
    void btnCancelClick() { reject(); }
    // The level matters only while the computer plays a side.
    void prcLevelEnable();

public:
    // Also shows the level combo with its label.
    void offerComputer() override;

protected:
    void playerKindChanging() override { prcLevelEnable(); }
    void storeValues() override;

private:
    void FormCreate();
    // Two rows of two cells: the level first when it is offered, the board size, the
    // handicap and the komi in the cells after it (no cell is left empty before another).
    void placeRows(bool level);

    QLabel* lblLevel;
    QLabel* lblGoban;
    QLabel* lblPutStone;
    QLabel* lblKomi;
    QComboBox* cmbLevel;
    QComboBox* cmbGoban;
    QComboBox* cmbPutStone;
    QPushButton* btnOk;
    QPushButton* btnCancel;
};

}  // namespace tavrin
