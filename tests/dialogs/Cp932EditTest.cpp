// The byte-limited edit as the user drives it: typing, pasting and inserting.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QTest>

#include "view/Cp932Edit.h"
#include "view/UnitGameInfo.h"
#include "view/UnitGameNew.h"

using tavrin::Cp932Edit;

namespace {

struct EditCase {
    const char* name;
    int limit;
    QString initial;
    int caret;  // where the insertion happens
    QString inserted;
    QString text;  // the edit's text afterwards
    int caretAfter;
};

// The caret travels between UTF-16 units of the edit and code points of the rule.
TEST(Cp932Edit, InsertionsAreCheckedInBytes) {
    const EditCase cases[] = {
        {"emoji (two UTF-16 units) stripped, caret in units", 24, "ab", 1, QString::fromUtf8("x😀y"), "axyb", 3},
        {"middle insertion keeps the tail", 8, "abXY", 2, QString::fromUtf8("漢字仮名"), QString::fromUtf8("ab漢字XY"),
         4},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Cp932Edit edit(c.limit);
        edit.setText(c.initial);
        edit.setCursorPosition(c.caret);
        edit.insert(c.inserted);
        EXPECT_EQ(edit.text(), c.text);
        EXPECT_EQ(edit.cursorPosition(), c.caretAfter);
    }
}

// One key press per character, with the character as the key's text.
void typeText(QWidget* w, const QString& text) {
    for (uint cp : text.toUcs4()) {
        const QString ch = QString::fromUcs4(reinterpret_cast<const char32_t*>(&cp), 1);
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, ch);
        QApplication::sendEvent(w, &press);
    }
}

// What an input method hands over when the user confirms a conversion.
void commitText(QWidget* w, const QString& text) {
    QInputMethodEvent e;
    e.setCommitString(text);
    QApplication::sendEvent(w, &e);
}

TEST(Cp932Edit, TypingStopsAtTheLimit) {
    Cp932Edit edit(24);
    edit.show();
    commitText(&edit, QString::fromUtf8("名人戦第一局黒番対局者"));
    typeText(&edit, "XYZ");
    // 11 full-width characters are 22 bytes; two half-width ones fit, the third does not.
    EXPECT_EQ(edit.text(), QString::fromUtf8("名人戦第一局黒番対局者XY"));
    QTest::keyClick(&edit, Qt::Key_Backspace);
    typeText(&edit, QString::fromUtf8("한ab"));
    EXPECT_EQ(edit.text(), QString::fromUtf8("名人戦第一局黒番対局者Xa"));
    commitText(&edit, QString::fromUtf8("碁"));
    EXPECT_EQ(edit.text(), QString::fromUtf8("名人戦第一局黒番対局者Xa"));
}

TEST(Cp932Edit, PasteIsCut) {
    QApplication::clipboard()->setText(QString::fromUtf8("白番한対局者Rokiru"));
    Cp932Edit edit(12);
    edit.setText("ab");
    edit.end(false);
    edit.paste();
    EXPECT_EQ(edit.text(), QString::fromUtf8("ab白番対局者"));
}

TEST(Cp932Edit, ProgramTextShownWholeAndOnlyShrinks) {
    Cp932Edit edit(8);
    const QString longName = QString::fromUtf8("一二三四五六");  // 12 bytes from a record
    edit.setText(longName);
    EXPECT_EQ(edit.text(), longName);
    edit.end(false);
    edit.insert("a");
    EXPECT_EQ(edit.text(), longName);
    edit.backspace();
    EXPECT_EQ(edit.text(), QString::fromUtf8("一二三四五"));
}

// Only the title and comment edits of both dialogs take the tooltip colours; the player
// names keep the ordinary edit colours.
TEST(Cp932Edit, TooltipBackgroundOnlyForTitleAndComment) {
    tavrin::GameState game;
    tavrin::TDlgGameNew gameNew(game);
    tavrin::TDlgGameInfo gameInfo(game);
    for (QDialog* dlg : {static_cast<QDialog*>(&gameNew), static_cast<QDialog*>(&gameInfo)}) {
        SCOPED_TRACE(dlg->objectName().toStdString());
        for (const char* name : {"EdtGameName", "EdtGameComment", "edtBlackPlayer", "edtWhitePlayer"}) {
            auto* edit = dlg->findChild<Cp932Edit*>(name);
            ASSERT_NE(edit, nullptr) << name;
            const QPalette& pal = edit->palette();
            const bool tooltip = name[0] == 'E';
            EXPECT_EQ(pal.color(QPalette::Base) == pal.color(QPalette::ToolTipBase), tooltip) << name;
            EXPECT_EQ(pal.color(QPalette::Base) == QApplication::palette(edit).color(QPalette::Base), !tooltip) << name;
        }
    }
}

}  // namespace
