#pragma once
// TDlgGameInfo, the game-information dialog "対局情報": title, comment (the result), the two
// players' names and the komi of the game in hand; carries the player kinds hidden.

#include "view/DialogParts.h"

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

protected:
    void storeValues() override;

private:
    void FormCreate();

    QPushButton* OKBtn;
    QPushButton* CancelBtn;
};

}  // namespace tavrin
