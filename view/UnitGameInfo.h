#pragma once
// TDlgGameInfo, the game-information dialog "対局情報": title, comment (the result), the two
// players' names and the komi of the game in hand; carries the player kinds and the level
// hidden, shown when a computer opponent can be started.

#include "view/DialogParts.h"

class QComboBox;
class QLabel;
class QPushButton;

namespace tavrin {

class TDlgGameInfo : public GameDialog {
    Q_OBJECT
public:
    // Fills the controls from the game; nothing is written before OK.
    TDlgGameInfo(GameState& game, QWidget* parent = nullptr);

public slots:
    void OKBtnClick() { accept(); }
    void CancelBtnClick() { reject(); }

public:
    // Also shows the level combo with its label.
    void offerComputer() override;

protected:
    void storeValues() override;

private:
    void FormCreate();

    // What the controls showed when the dialog opened: a value left as shown stays as the
    // game had it (a text the edit cannot hold whole, a komi without an item of its own).
    struct Shown {
        QString name, comment, black, white;
        bool blackHuman = true, whiteHuman = true;
        int komiIndex = -1;
    } shown;

    QLabel* lblLevel;
    QComboBox* cmbLevel;
    QPushButton* OKBtn;
    QPushButton* CancelBtn;
};

}  // namespace tavrin
