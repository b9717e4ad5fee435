// 対局の詳細: the game information beside what 対局情報 shows, each item written back where
// the record had it.

#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>

#include "app/TfrmMain.h"
#include "formats/RecordLoad.h"

namespace tavrin {

namespace {

struct Detail {
    const char* ident;
    const char* label;
};

// In the order peers show them; DT, RU and RE are the game's own fields.
constexpr Detail Details[] = {
    {"DT", "日付(&A)："},     {"EV", "棋戦(&E)："},     {"RO", "回戦(&O)："},   {"PC", "対局場所(&P)："},
    {"BR", "黒の段位(&B)："}, {"WR", "白の段位(&W)："}, {"RU", "ルール(&U)："}, {"TM", "持ち時間(&T)："},
    {"RE", "結果(&R)："},     {"SO", "出典(&S)："},     {"AN", "解説(&N)："},   {"CP", "著作権(&C)："},
};

bool ownField(std::string_view ident) { return ident == "DT" || ident == "RU" || ident == "RE"; }

}  // namespace

void TfrmMain::actPlayDetailsExecute() {
    const auto current = [&](std::string_view ident) {
        if (ident == "DT") return Game.GameDate;
        if (ident == "RU") return Game.GameRule;
        if (ident == "RE") return Game.GameComment;
        return Record.infoProperty(ident);
    };
    QDialog dialog(this);
    dialog.setObjectName(QStringLiteral("DlgGameDetails"));
    dialog.setWindowTitle(QStringLiteral("対局の詳細"));
    auto* form = new QFormLayout(&dialog);
    std::vector<QLineEdit*> edits;
    for (const Detail& d : Details) {
        auto* edit = new QLineEdit(QString::fromStdString(current(d.ident)), &dialog);
        edit->setObjectName(QStringLiteral("edt") + QLatin1String(d.ident));
        edit->setMinimumWidth(260);
        if (std::string_view(d.ident) == "DT") edit->setPlaceholderText(QStringLiteral("2024-01-31"));
        form->addRow(QString::fromUtf8(d.label), edit);
        edits.push_back(edit);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("キャンセル"));
    connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    form->addRow(buttons);
    if (prompts.exec(dialog) != QDialog::Accepted) return;

    std::string date, rule, result;
    std::vector<std::pair<std::string, std::string>> properties;
    for (size_t k = 0; k < std::size(Details); ++k) {
        const std::string ident = Details[k].ident;
        const std::string text = edits[k]->text().trimmed().toStdString();
        if (ident == "DT") date = text;
        if (ident == "RU") rule = text;
        if (ident == "RE") result = text;
        if (!ownField(ident)) properties.emplace_back(ident, text);
    }
    // The date as the game holds it: a day of the calendar, 2024-01-31 or 2024/1/31.
    std::string slashed = date;
    std::replace(slashed.begin(), slashed.end(), '-', '/');
    const std::string day = dateText(slashed);
    if (!date.empty() && day.empty() && date != Game.GameDate) {
        prompts.warn(this, QStringLiteral("日付は 2024-01-31 のように年-月-日で入力してください"));
        return;
    }
    const bool same = (date.empty()  ? ""
                       : day.empty() ? date
                                     : day) == Game.GameDate &&
                      rule == Game.GameRule && result == Game.GameComment &&
                      std::all_of(properties.begin(), properties.end(),
                                  [&](const auto& p) { return Record.infoProperty(p.first) == p.second; });
    if (same) return;
    Record.changeDetails(
        [&](GameState& g) {
            if (!day.empty() || date.empty()) g.GameDate = day;
            g.GameRule = rule;
            g.GameComment = result;
        },
        properties);
    Doc.Modified = true;
    prcInfoSameSet();
    prcKifUpDate();
    prcInfoDsp();
}

}  // namespace tavrin
