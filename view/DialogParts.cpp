#include "view/DialogParts.h"

#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>

#include <algorithm>

#include "view/Cp932Edit.h"
#include "view/DialogTexts.h"

namespace tavrin {

QFont dialogFont() {
    QFont f(QStringLiteral("ＭＳ Ｐゴシック"));
    f.setPixelSize(12);
    return f;
}

QFont comboFont() {
    QFont f(QStringLiteral("ＭＳ ゴシック"));
    f.setPixelSize(12);
    return f;
}

void setUpDialogWindow(QDialog& dialog, const QString& caption, int clientWidth, int clientHeight) {
    dialog.setWindowTitle(caption);
    dialog.setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint);
    dialog.setFont(dialogFont());
    dialog.setFixedSize(clientWidth, clientHeight);
    const QWidget* parent = dialog.parentWidget();
    QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
    if (screen) dialog.move(screen->availableGeometry().center() - dialog.rect().center());
}

QLabel* addLabel(QWidget* parent, const QString& text, int x, int y, QWidget* buddy) {
    auto* lbl = new QLabel(text, parent);
    lbl->move(x, y);
    lbl->adjustSize();
    if (buddy) lbl->setBuddy(buddy);
    return lbl;
}

PlayerBox PlayerBox::create(QWidget* parent, bool black, int x, int y) {
    PlayerBox b;
    const QString side = black ? QStringLiteral("Black") : QStringLiteral("White");
    b.grb = new QGroupBox(black ? QStringLiteral(" 黒番対局者 ") : QStringLiteral(" 白番対局者 "), parent);
    b.grb->setObjectName("grb" + side);
    b.grb->setGeometry(x, y, 192, 72);

    b.rdoMan = new QRadioButton(black ? QStringLiteral("人間(&M)") : QStringLiteral("人間(&N)"), b.grb);
    b.rdoMan->setObjectName("rdo" + side + "Man");
    b.rdoMan->setGeometry(12, 54, 72, 16);
    b.rdoComp = new QRadioButton(black ? QStringLiteral("Rokiru(&O)") : QStringLiteral("Rokiru(&P)"), b.grb);
    b.rdoComp->setObjectName("rdo" + side + "Comp");
    b.rdoComp->setGeometry(96, 54, 84, 16);
    b.rdoMan->setChecked(true);
    // The program has no computer opponent to offer; the choice is carried, not shown.
    b.rdoMan->hide();
    b.rdoComp->hide();

    b.edtName = new Cp932Edit(24, b.grb);
    b.edtName->setObjectName("edt" + side + "Player");
    b.edtName->setGeometry(70, 30, 110, 21);
    b.lblName = addLabel(b.grb, black ? QStringLiteral("名前(&B)：") : QStringLiteral("名前(&W)："), 12, 33, b.edtName);
    return b;
}

bool PlayerBox::toComputer() {
    if (!edtName->isEnabled()) return false;
    edtName->setEnabled(false);
    SavedName = edtName->text();
    edtName->setText(ComputerName);
    return true;
}

bool PlayerBox::toHuman() {
    if (edtName->isEnabled()) return false;
    edtName->setText(SavedName);
    edtName->setEnabled(true);
    return true;
}

void PlayerBox::fill(const QString& savedName, bool isHuman) {
    rdoMan->setChecked(isHuman);
    rdoComp->setChecked(!isHuman);
    SavedName = savedName;
    edtName->setText(SavedName);
    edtName->setEnabled(true);
    if (!isHuman) toComputer();
}

bool PlayerBox::human() const { return rdoMan->isChecked(); }

std::string PlayerBox::nameText() const { return edtName->text().toStdString(); }

TitleRows TitleRows::create(QWidget* parent) {
    TitleRows r;
    r.EdtGameName = new Cp932Edit(32, parent);
    r.EdtGameName->setObjectName("EdtGameName");
    r.EdtGameName->useTooltipColours();
    r.EdtGameName->setGeometry(92, 8, 220, 21);
    addLabel(parent, QStringLiteral("対局名(&G)："), 8, 11, r.EdtGameName);
    r.EdtGameComment = new Cp932Edit(32, parent);
    r.EdtGameComment->setObjectName("EdtGameComment");
    r.EdtGameComment->useTooltipColours();
    r.EdtGameComment->setGeometry(92, 35, 220, 21);
    addLabel(parent, QStringLiteral("コメント(&C)："), 8, 38, r.EdtGameComment);
    addLabel(parent, QStringLiteral("(勝敗等)"), 318, 38);
    return r;
}

std::pair<QPushButton*, QPushButton*> addOkCancel(QWidget* parent, const char* okName, const char* cancelName, int y) {
    auto* ok = new QPushButton(QStringLiteral("OK"), parent);
    ok->setObjectName(okName);
    ok->setGeometry(124, y, 75, 25);
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("キャンセル"), parent);
    cancel->setObjectName(cancelName);
    cancel->setGeometry(210, y, 75, 25);
    return {ok, cancel};
}

void fillKomiItems(QComboBox* cmb) {
    cmb->setFont(comboFont());
    for (std::string_view item : dialogs::komiItems())
        cmb->addItem(QString::fromUtf8(item.data(), static_cast<qsizetype>(item.size())));
}

GameDialog::GameDialog(GameState& game, QWidget* parent, const QString& caption, int clientWidth, int clientHeight)
    : QDialog(parent), Game(game) {
    setUpDialogWindow(*this, caption, clientWidth, clientHeight);
    const TitleRows rows = TitleRows::create(this);
    EdtGameName = rows.EdtGameName;
    EdtGameComment = rows.EdtGameComment;
    Black = PlayerBox::create(this, true, 8, 62);
    White = PlayerBox::create(this, false, 209, 62);
    cmbKomi = new QComboBox(this);
    cmbKomi->setObjectName("cmbKomi");
    cmbKomi->setFont(comboFont());
    connect(Black.rdoMan, &QRadioButton::clicked, this, &GameDialog::rdoBlackManClick);
    connect(Black.rdoComp, &QRadioButton::clicked, this, &GameDialog::rdoBlackCompClick);
    connect(White.rdoMan, &QRadioButton::clicked, this, &GameDialog::rdoWhiteManClick);
    connect(White.rdoComp, &QRadioButton::clicked, this, &GameDialog::rdoWhiteCompClick);
}

void GameDialog::rdoBlackManClick() {
    if (Black.edtName->isEnabled()) return;
    playerKindChanging();
    Black.toHuman();
}

void GameDialog::rdoBlackCompClick() {
    if (!Black.edtName->isEnabled()) return;
    playerKindChanging();
    Black.toComputer();
}

void GameDialog::rdoWhiteManClick() {
    if (White.edtName->isEnabled()) return;
    playerKindChanging();
    White.toHuman();
}

void GameDialog::rdoWhiteCompClick() {
    if (!White.edtName->isEnabled()) return;
    playerKindChanging();
    White.toComputer();
}

void GameDialog::fillKomi(int komiTenths, KomiAbove above) {
    if (komiTenths > 105 && above == KomiAbove::FixedItem) {
        // Beyond the list: shown alone, disabled, and left as it is.
        cmbKomi->addItem(QString::fromStdString(dialogs::komiValueItem(komiTenths)));
        cmbKomi->setCurrentIndex(0);
        cmbKomi->setEnabled(false);
        KomiKept = true;
        KomiKeptIndex = 0;
        return;
    }
    fillKomiItems(cmbKomi);
    if (komiTenths < 0) {
        // A negative komi (from a record) has no item: it is offered as an extra last item
        // and kept unless another komi is chosen.
        cmbKomi->addItem(QString::fromStdString(dialogs::komiValueItem(komiTenths)));
        cmbKomi->setCurrentIndex(dialogs::KomiItemCount);
        KomiKept = true;
        KomiKeptIndex = dialogs::KomiItemCount;
    } else {
        cmbKomi->setCurrentIndex(komiTenths <= 105 ? komiTenths / 5 : 13);  // 13: ６目半
    }
}

int GameDialog::chosenKomi() const {
    const int index = cmbKomi->currentIndex();
    if (KomiKept && index == KomiKeptIndex) return Game.KomiTenths;
    return 5 * std::max(index, 0);
}

void GameDialog::storeValues() {
    Game.GameName = EdtGameName->text().toStdString();
    Game.GameComment = EdtGameComment->text().toStdString();
    Game.BlackPlayerKind = Black.human();
    Game.WhitePlayerKind = White.human();
    Game.BlackPlayer = Black.nameText();
    Game.WhitePlayer = White.nameText();
}

void GameDialog::offerComputer() {
    for (PlayerBox* box : {&Black, &White}) {
        box->rdoMan->show();
        box->rdoComp->show();
    }
}

void GameDialog::accept() {
    storeValues();
    AcceptedFlag = true;
    QDialog::accept();
}

}  // namespace tavrin
