#pragma once
// Pieces the new-game and game-information dialogs share: their fonts, the player group box
// with its hidden player-kind radio buttons, and the komi combo.

#include <QDialog>
#include <QFont>
#include <QString>

#include <string>
#include <utility>

class QComboBox;
class QDialog;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QWidget;

#include "game/GameState.h"

namespace tavrin {

class Cp932Edit;

inline const QString ComputerName = QStringLiteral("Rokiru");

QFont dialogFont();  // "ＭＳ Ｐゴシック", 12 pixels
QFont comboFont();   // "ＭＳ ゴシック", 12 pixels

// A fixed-size dialog with the dialog font, centred on the screen of its parent.
void setUpDialogWindow(QDialog& dialog, const QString& caption, int clientWidth, int clientHeight);

// Label with a mnemonic at (x, y) for the given buddy.
QLabel* addLabel(QWidget* parent, const QString& text, int x, int y, QWidget* buddy = nullptr);

// One side's group box: rdoXxxMan / rdoXxxComp (hidden) and the name edit with its label.
struct PlayerBox {
    QGroupBox* grb = nullptr;
    QRadioButton* rdoMan = nullptr;
    QRadioButton* rdoComp = nullptr;
    QLabel* lblName = nullptr;
    Cp932Edit* edtName = nullptr;
    QString SavedName;  // the name typed for the side while the computer plays it

    // Black: objectNames grbBlack, rdoBlackMan "人間(&M)", rdoBlackComp "Rokiru(&O)",
    // edtBlackPlayer "名前(&B)："; white likewise with N, P, W.
    static PlayerBox create(QWidget* parent, bool black, int x, int y);

    // Switches the edit to the computer's name; false when the side was already the computer's.
    bool toComputer();
    // Shows the saved name again; false when the side was already a person's.
    bool toHuman();
    // Fills the side from the game: the saved name and the kind (true = a person).
    void fill(const QString& savedName, bool human);
    bool human() const;
    std::string nameText() const;
};

// The title and comment rows: EdtGameName "対局名(&G)：" and EdtGameComment "コメント(&C)："
// with "(勝敗等)" to its right, 32 bytes each.
struct TitleRows {
    Cp932Edit* EdtGameName = nullptr;
    Cp932Edit* EdtGameComment = nullptr;
    static TitleRows create(QWidget* parent);
};

// OK / キャンセル side by side at the given top; OK is the default button.
std::pair<QPushButton*, QPushButton*> addOkCancel(QWidget* parent, const char* okName, const char* cancelName, int y);

// The 22 komi items in the combo font.
void fillKomiItems(QComboBox* cmb);

// What the new-game and game-information dialogs share: the game they write, the title and
// comment rows, the two player boxes with their hidden kind switches, the komi combo and the
// acceptance flag. Values reach the game only through accept().
class GameDialog : public QDialog {
    Q_OBJECT
public:
    // Set by OK, clear otherwise: the dialog's result for the opener.
    bool Accepted() const { return AcceptedFlag; }

    // OK from any path (the button, Enter, a test) writes the values and closes.
    void accept() override;

    // Shows the player-kind switches (人間 / Rokiru), for when a computer opponent can be
    // started; without one they stay hidden and the kinds pass through unchanged.
    virtual void offerComputer();

public slots:
    void rdoBlackManClick();
    void rdoBlackCompClick();
    void rdoWhiteManClick();
    void rdoWhiteCompClick();

protected:
    GameDialog(GameState& game, QWidget* parent, const QString& caption, int clientWidth, int clientHeight);

    // A side is about to switch between a person and the computer.
    virtual void playerKindChanging() {}
    // Title, comment, kinds and names; the dialogs add their own values.
    virtual void storeValues();

    // How a komi beyond the 22 items is shown.
    enum class KomiAbove { SixAndAHalf, FixedItem };
    void fillKomi(int komiTenths, KomiAbove above);
    // The komi to write: 5 * the chosen index, or the komi as it was when it has no item
    // and nothing else was chosen.
    int chosenKomi() const;

    GameState& Game;
    Cp932Edit* EdtGameName = nullptr;
    Cp932Edit* EdtGameComment = nullptr;
    PlayerBox Black;
    PlayerBox White;
    QComboBox* cmbKomi = nullptr;

private:
    bool AcceptedFlag = false;
    bool KomiKept = false;  // the komi is shown as an item of its own (index 22 or the only one)
    int KomiKeptIndex = -1;
};

}  // namespace tavrin
