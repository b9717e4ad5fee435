#include "view/UnitGameInfo.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <tuple>

#include "view/Cp932Edit.h"

namespace tavrin {

TDlgGameInfo::TDlgGameInfo(GameState& game, QWidget* parent)
    : GameDialog(game, parent, QStringLiteral("対局情報"), 409, 217) {
    setObjectName("DlgGameInfo");

    cmbKomi->setGeometry(84, 144, 116, 21);
    addLabel(this, QStringLiteral("コミ(&K)："), 8, 147, cmbKomi);
    // The level of the computer opponent, beside the komi: hidden without one.
    cmbLevel = new QComboBox(this);
    cmbLevel->setObjectName("cmbLevel");
    cmbLevel->setFont(comboFont());
    cmbLevel->addItems({QStringLiteral("初級"), QStringLiteral("中級"), QStringLiteral("上級")});
    cmbLevel->setGeometry(285, 144, 116, 21);
    lblLevel = addLabel(this, QStringLiteral("レベル(&L)："), 217, 147, cmbLevel);
    lblLevel->setObjectName("lblLevel");
    cmbLevel->hide();
    lblLevel->hide();
    std::tie(OKBtn, CancelBtn) = addOkCancel(this, "OKBtn", "CancelBtn", 180);

    // OK comes first, so it has the focus when the dialog opens.
    QWidget* order[] = {OKBtn,        CancelBtn,     EdtGameName,   Black.rdoMan,   Black.rdoComp, Black.edtName,
                        White.rdoMan, White.rdoComp, White.edtName, EdtGameComment, cmbKomi,       cmbLevel};
    for (std::size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);

    connect(OKBtn, &QPushButton::clicked, this, &TDlgGameInfo::OKBtnClick);
    connect(CancelBtn, &QPushButton::clicked, this, &TDlgGameInfo::CancelBtnClick);

    FormCreate();
    OKBtn->setFocus();
}

namespace {

// The saved name of a side: the game's name; the default for an empty one, and for the
// computer's own name while the computer plays the side (a person who takes the side over
// gets the default then). A person who is named Rokiru keeps the name.
QString savedNameFor(const std::string& player, bool human, const char* fallback) {
    const QString name = QString::fromStdString(player);
    return name.isEmpty() || (!human && name == ComputerName) ? QString::fromUtf8(fallback) : name;
}

}  // namespace

void TDlgGameInfo::FormCreate() {
    EdtGameName->setText(QString::fromStdString(Game.GameName));
    EdtGameComment->setText(QString::fromStdString(Game.GameComment));
    Black.fill(savedNameFor(Game.BlackPlayer, Game.BlackPlayerKind, "黒番対局者"), Game.BlackPlayerKind);
    White.fill(savedNameFor(Game.WhitePlayer, Game.WhitePlayerKind, "白番対局者"), Game.WhitePlayerKind);
    fillKomi(Game.KomiTenths, KomiAbove::FixedItem);
    cmbLevel->setCurrentIndex(Game.Level >= 0 && Game.Level <= 2 ? Game.Level : -1);
    shown = {EdtGameName->text(), EdtGameComment->text(), Black.edtName->text(),  White.edtName->text(),
             Black.human(),       White.human(),          cmbKomi->currentIndex()};
}

void TDlgGameInfo::offerComputer() {
    GameDialog::offerComputer();
    cmbLevel->show();
    lblLevel->show();
}

void TDlgGameInfo::storeValues() {
    const std::string name = Game.GameName, comment = Game.GameComment;
    const std::string black = Game.BlackPlayer, white = Game.WhitePlayer;
    GameDialog::storeValues();
    if (EdtGameName->text() == shown.name) Game.GameName = name;
    if (EdtGameComment->text() == shown.comment) Game.GameComment = comment;
    if (Black.human() == shown.blackHuman && Black.edtName->text() == shown.black) Game.BlackPlayer = black;
    if (White.human() == shown.whiteHuman && White.edtName->text() == shown.white) Game.WhitePlayer = white;
    // A komi not chosen anew stays as the game had it (a record without komi keeps having none).
    if (cmbKomi->currentIndex() != shown.komiIndex) {
        Game.KomiTenths = chosenKomi();
        Game.KomiGiven = true;
        Game.KomiWritten.clear();
    }
    if (cmbLevel->currentIndex() >= 0) Game.Level = cmbLevel->currentIndex();
}

}  // namespace tavrin
