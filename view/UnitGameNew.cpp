#include "view/UnitGameNew.h"

#include <QComboBox>
#include <QDateTime>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <tuple>

#include "view/Cp932Edit.h"
#include "view/DialogTexts.h"

namespace tavrin {

namespace {

QComboBox* addCombo(QWidget* parent, const char* name, const QStringList& items, int x, int y) {
    auto* cmb = new QComboBox(parent);
    cmb->setObjectName(name);
    cmb->setFont(comboFont());
    cmb->addItems(items);
    cmb->setGeometry(x, y, 116, 21);
    return cmb;
}

}  // namespace

TDlgGameNew::TDlgGameNew(GameState& game, QWidget* parent)
    : GameDialog(game, parent, QStringLiteral("新規対局"), 409, 251) {
    setObjectName("DlgGameNew");

    // Level (left, hidden with its label) and board size (right); handicap and komi below.
    cmbLevel = addCombo(this, "cmbLevel", {"初級", "中級", "上級"}, 84, 144);
    lblLevel = addLabel(this, QStringLiteral("レベル(&L)："), 8, 147, cmbLevel);
    lblLevel->setObjectName("lblLevel");
    cmbLevel->setEnabled(false);
    cmbLevel->hide();
    lblLevel->hide();

    cmbGoban = addCombo(this, "cmbGoban", {"１９路盤", "１３路盤", "　９路盤"}, 285, 144);
    lblGoban = addLabel(this, QStringLiteral("碁盤(&S)："), 217, 147, cmbGoban);
    // The usual three first, then every other square board from 2 x 2 to 25 x 25; each item
    // holds its size.
    for (int i = 0; i < 3; ++i) cmbGoban->setItemData(i, dialogs::boardSizeFromIndex(i));
    cmbGoban->insertSeparator(3);
    for (int n = MinBoardSize; n <= MaxBoardSize; ++n) {
        if (n == 9 || n == 13 || n == 19) continue;
        QString digits = QString::number(n);
        for (QChar& c : digits) c = QChar(c.unicode() - '0' + 0xFF10);  // full-width, as above
        cmbGoban->addItem((n < 10 ? QStringLiteral("　") : QString()) + digits + QStringLiteral("路盤"), n);
    }

    cmbPutStone = addCombo(this, "cmbPutStone",
                           {"なし", "２子", "３子", "４子", "５子", "６子", "７子", "８子", "９子"}, 84, 173);
    lblPutStone = addLabel(this, QStringLiteral("置き石(&I)："), 8, 176, cmbPutStone);
    // Handicap stones have their places on 9, 13 and 19 lines only.
    connect(cmbGoban, &QComboBox::currentIndexChanged, this, [this] {
        const int n = cmbGoban->currentData().toInt();
        const bool table = n == 9 || n == 13 || n == 19;
        if (!table) cmbPutStone->setCurrentIndex(0);
        cmbPutStone->setEnabled(table);
    });

    cmbKomi->setGeometry(285, 173, 116, 21);
    lblKomi = addLabel(this, QStringLiteral("コミ(&K)："), 217, 176, cmbKomi);
    placeRows(false);

    std::tie(btnOk, btnCancel) = addOkCancel(this, "btnOk", "btnCancel", 214);

    QWidget* order[] = {EdtGameName,  EdtGameComment, Black.rdoMan,  Black.rdoComp, Black.edtName,
                        White.rdoMan, White.rdoComp,  White.edtName, cmbLevel,      cmbGoban,
                        cmbPutStone,  cmbKomi,        btnOk,         btnCancel};
    for (std::size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);

    connect(btnOk, &QPushButton::clicked, this, &TDlgGameNew::btnOkClick);
    connect(btnCancel, &QPushButton::clicked, this, &TDlgGameNew::btnCancelClick);

    FormCreate();
    EdtGameName->setFocus();
}

void TDlgGameNew::FormCreate() {
    // Every showing proposes a fresh title, an empty comment and the default names.
    const QDateTime now = QDateTime::currentDateTime();
    EdtGameName->setText(QString::fromStdString(dialogs::defaultGameTitle(
        now.date().year(), now.date().month(), now.date().day(), now.time().hour(), now.time().minute())));
    EdtGameComment->setText(QString());

    Black.fill(QStringLiteral("黒番対局者"), Game.BlackPlayerKind);
    White.fill(QStringLiteral("白番対局者"), Game.WhitePlayerKind);
    prcLevelEnable();

    cmbLevel->setCurrentIndex(Game.Level >= 0 && Game.Level <= 2 ? Game.Level : -1);
    const int goban = cmbGoban->findData(Game.BoardSize);
    cmbGoban->setCurrentIndex(goban >= 0 ? goban : dialogs::gobanIndex(Game.BoardSize));
    cmbPutStone->setCurrentIndex(dialogs::putStoneIndex(Game.HandicapCount));
    // A handicap game proposes no komi, whatever the previous one was.
    // After a record without komi, an even game proposes the usual six and a half.
    fillKomi(Game.HandicapCount >= 1 ? 0 : Game.KomiGiven ? Game.KomiTenths : 65, KomiAbove::SixAndAHalf);
}

void TDlgGameNew::offerComputer() {
    GameDialog::offerComputer();
    cmbLevel->show();
    lblLevel->show();
    placeRows(true);
}

void TDlgGameNew::placeRows(bool level) {
    const std::pair<QLabel*, QComboBox*> cells[] = {
        {lblLevel, cmbLevel}, {lblGoban, cmbGoban}, {lblPutStone, cmbPutStone}, {lblKomi, cmbKomi}};
    int k = 0;
    for (const auto& [label, combo] : cells) {
        if (combo == cmbLevel && !level) continue;
        const int x = k % 2 == 0 ? 8 : 217;
        const int y = k / 2 == 0 ? 144 : 173;
        label->move(x, y + 3);
        combo->move(x + 76, y);
        ++k;
    }
}

void TDlgGameNew::prcLevelEnable() { cmbLevel->setEnabled(!(Black.human() && White.human())); }

void TDlgGameNew::storeValues() {
    GameDialog::storeValues();
    // A level outside 0..2 (from the settings file) has no item and stays as it was.
    if (cmbLevel->currentIndex() >= 0) Game.Level = cmbLevel->currentIndex();
    Game.BoardSize = cmbGoban->currentData().toInt();
    Game.HandicapCount = cmbPutStone->isEnabled() ? dialogs::handicapFromIndex(cmbPutStone->currentIndex()) : 0;
    Game.KomiTenths = chosenKomi();
}

}  // namespace tavrin
