#pragma once
// A one-line edit whose text is limited in code page 932 bytes (a full-width character counts
// two) and holds only characters that code page takes, so nothing typed or pasted is lost
// when the text is saved.

#include <QLineEdit>

namespace tavrin {

class Cp932Edit : public QLineEdit {
    Q_OBJECT
public:
    Cp932Edit(int byteLimit, QWidget* parent = nullptr);

    int byteLimit() const { return ByteLimit; }

    // Background and text in the palette's tooltip colours (the title and comment edits).
    void useTooltipColours();

    // Shows a text from the program as it is (a record may bring a longer one); only what the
    // user inserts afterwards is checked. Hides QLineEdit::setText on purpose.
    void setText(const QString& text);

private:
    class Validator;
    friend class Validator;

    int ByteLimit;
    bool SettingText = false;
    QString LastText;  // the text before the edit being checked
};

}  // namespace tavrin
