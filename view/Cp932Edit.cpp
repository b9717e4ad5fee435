#include "view/Cp932Edit.h"

#include <QValidator>

#include "view/DialogTexts.h"

namespace tavrin {

namespace {

// Caret position in UTF-16 units -> code points, and back.
std::size_t toCodePoints(const QString& s, int units) {
    std::size_t n = 0;
    for (int i = 0; i < units && i < s.size(); ++i)
        if (!(s.at(i).isLowSurrogate() && i > 0 && s.at(i - 1).isHighSurrogate())) ++n;
    return n;
}

int toUnits(const std::u32string& s, std::size_t codePoints) {
    int units = 0;
    for (std::size_t i = 0; i < codePoints && i < s.size(); ++i) units += s[i] > 0xFFFF ? 2 : 1;
    return units;
}

std::u32string toU32(const QString& s) {
    const QList<uint> ucs = s.toUcs4();
    return std::u32string(ucs.begin(), ucs.end());
}

}  // namespace

class Cp932Edit::Validator : public QValidator {
public:
    explicit Validator(Cp932Edit* edit) : QValidator(edit), Edit(edit) {}

    State validate(QString& input, int& pos) const override {
        if (Edit->SettingText) return Acceptable;
        const std::u32string proposed = toU32(input);
        dialogs::EditFit fit =
            dialogs::fitCp932Edit(toU32(Edit->LastText), proposed, toCodePoints(input, pos), Edit->ByteLimit);
        if (fit.text != proposed) {
            input = QString::fromUcs4(fit.text.data(), static_cast<qsizetype>(fit.text.size()));
            pos = toUnits(fit.text, fit.cursor);
        }
        return Acceptable;
    }

private:
    Cp932Edit* Edit;
};

Cp932Edit::Cp932Edit(int byteLimit, QWidget* parent) : QLineEdit(parent), ByteLimit(byteLimit) {
    setValidator(new Validator(this));
    connect(this, &QLineEdit::textChanged, this, [this](const QString& t) { LastText = t; });
}

void Cp932Edit::useTooltipColours() {
    QPalette pal = palette();
    pal.setColor(QPalette::Base, pal.color(QPalette::ToolTipBase));
    pal.setColor(QPalette::Text, pal.color(QPalette::ToolTipText));
    setPalette(pal);
}

void Cp932Edit::setText(const QString& text) {
    SettingText = true;
    QLineEdit::setText(text);
    SettingText = false;
    LastText = QLineEdit::text();
}

}  // namespace tavrin
