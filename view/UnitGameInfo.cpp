#include "view/UnitGameInfo.h"

#include <QComboBox>
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
    std::tie(OKBtn, CancelBtn) = addOkCancel(this, "OKBtn", "CancelBtn", 180);

    // OK comes first, so it has the focus when the dialog opens.
    QWidget* order[] = {OKBtn,         CancelBtn,     EdtGameName,   Black.rdoMan,
                        Black.rdoComp, Black.edtName, White.rdoMan,  White.rdoComp,
                        White.edtName, EdtGameComment, cmbKomi};
    for (std::size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);

    connect(OKBtn, &QPushButton::clicked, this, &TDlgGameInfo::OKBtnClick);
    connect(CancelBtn, &QPushButton::clicked, this, &TDlgGameInfo::CancelBtnClick);

    FormCreate();
    OKBtn->setFocus();
}

namespace {

// The saved name of a side: the game's name unless it is empty or the computer's.
QString savedNameFor(const std::string& player, const char* fallback) {
    const QString name = QString::fromStdString(player);
    return name.isEmpty() || name == ComputerName ? QString::fromUtf8(fallback) : name;
}

}  // namespace

void TDlgGameInfo::FormCreate() {
    EdtGameName->setText(QString::fromStdString(Game.GameName));
    EdtGameComment->setText(QString::fromStdString(Game.GameComment));
    Black.fill(savedNameFor(Game.BlackPlayer, "黒番対局者"), Game.BlackPlayerKind);
    White.fill(savedNameFor(Game.WhitePlayer, "白番対局者"), Game.WhitePlayerKind);
    fillKomi(Game.KomiTenths, KomiAbove::FixedItem);
}

void TDlgGameInfo::storeValues() {
    GameDialog::storeValues();
    // A record without komi keeps having none unless another komi is chosen.
    const int komi = chosenKomi();
    if (Game.KomiGiven || komi != Game.KomiTenths) {
        Game.KomiTenths = komi;
        Game.KomiGiven = true;
    }
}

}  // namespace tavrin
