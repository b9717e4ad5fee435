// Copy and paste of the record through the real clipboard, and the paste command's enabled
// state when the application becomes active.

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>

#include "tests/app/FileTestKit.h"

namespace tavrin::test {
namespace {

QClipboard* clip() { return QGuiApplication::clipboard(); }

TEST_F(FileWindowTest, CopyThenPasteGivesTheSameRecord) {
    const QString path = put("copy.sgf",
                             "(;GM[1]FF[4]SZ[13]GN[名局]PB[本因坊\\]]PW[幻庵]KM[0.5]RE[B+3.5]"
                             "AB[dd][jj];W[cc];B[tt];W[kk])");
    auto w = open();
    openThroughDialog(*w, prompts, path, true);
    touch(*w);
    w->ui.actClipPast->setEnabled(false);
    clip()->clear();

    w->ui.actClipBoard->trigger();
    // CR LF lines of the writer; the record, its flags and the title stay as they were.
    const QString text = clip()->text();
    TextBuffer expected;
    prcKifToStrings(w->Game, expected, &w->Tree());
    EXPECT_EQ(text.toStdString(), expected.text());
    EXPECT_TRUE(text.endsWith(QStringLiteral(")\r\n")));
    EXPECT_EQ(text.count(QStringLiteral("\r\n")), static_cast<qsizetype>(expected.lines().size()));
    EXPECT_TRUE(w->ui.actClipPast->isEnabled());
    EXPECT_TRUE(w->Doc.Modified);
    EXPECT_TRUE(w->Doc.ReadOnly);
    EXPECT_EQ(w->windowTitle(), QStringLiteral("copy.sgf【読み取り専用】 - Tavrin"));

    auto other = open();
    other->ui.actClipPast->trigger();
    EXPECT_TRUE(prompts.texts("warn").empty());
    EXPECT_EQ(moves(other->Game), moves(w->Game));
    EXPECT_EQ(other->Game.HandicapCount, 2);
    EXPECT_EQ(other->Game.BoardSize, 13);
    EXPECT_EQ(other->Game.BlackPlayer, "本因坊]");
    EXPECT_EQ(other->Game.WhitePlayer, "幻庵");
    EXPECT_EQ(other->Game.GameName, "名局");
    EXPECT_EQ(other->Game.GameComment, "B+3.5");
    EXPECT_EQ(other->Game.KomiTenths, 5);
    EXPECT_TRUE(other->Doc.FileName.empty());
    EXPECT_FALSE(other->Doc.Modified);
    EXPECT_TRUE(other->Game.GameOver);
    EXPECT_EQ(other->kifuRowCount(), 4);
    EXPECT_EQ(other->windowTitle(), QStringLiteral("新規 - Tavrin"));

    // A pasted record has no file: saving goes through save-as with the untitled name.
    touch(*other);
    prompts.saveChoices.push_back(std::nullopt);
    other->ui.actFileSave->trigger();
    EXPECT_EQ(prompts.lastSave.proposedName, QStringLiteral("無題.sgf"));
}

// Nothing to paste, or a text the reader refuses: the record shown stays.
TEST_F(FileWindowTest, PasteOfNothingOrOfARefusedText) {
    struct Case {
        const char* what;
        std::function<void()> fill;
        const char* reason;  // the refusal's reason; nullptr: nothing is said
    };
    const std::vector<Case> cases = {
        {"no text",
         [] {
             auto* data = new QMimeData;
             data->setImageData(QImage(2, 2, QImage::Format_RGB32));
             clip()->setMimeData(data);
         },
         nullptr},
        {"empty text", [] { clip()->setText(QString()); }, nullptr},
        {"a property name with a tab in it", [] { clip()->setText(QStringLiteral("  (;GM[1]\tPB[x];B[aa])")); },
         "棋譜の書式に誤りがあります"},
        {"white stones", [] { clip()->setText(QStringLiteral("(;GM[1]AB[aa]AW[aa])")); }, "白石の置石は扱えません"},
        {"not a record", [] { clip()->setText(QStringLiteral("hello")); }, "棋譜の書式に誤りがあります"},
    };
    const QString path = put("shown.sgf", ThreeMoves);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        prompts.asked.clear();
        auto w = open();
        openThroughDialog(*w, prompts, path);
        c.fill();
        inside(*w).actClipPastExecute();
        EXPECT_EQ(prompts.texts("warn"),
                  c.reason ? std::vector<QString>{"この棋譜ファイルは読めません\n" + QString::fromUtf8(c.reason)}
                           : std::vector<QString>{});
        EXPECT_EQ(QString::fromStdString(w->Doc.FileName), path);
        EXPECT_EQ(w->Game.MoveCount, 3);
        EXPECT_EQ(w->windowTitle(), QStringLiteral("shown.sgf - Tavrin"));
    }
}

// Paste is enabled when the trimmed clipboard text looks like a record (the reader itself
// also reads a record with a note around it, or cut off).
TEST_F(FileWindowTest, PasteEnabledOnActivation) {
    struct Case {
        QString text;
        bool enabled;
    };
    const std::vector<Case> cases = {
        {"(;GM[1];B[aa])", true},
        {"()", true},
        {" \r\n\t(;GM[1])\r\n\x01", true},
        {"(;GM[1]", false},
        {";GM[1])", false},
        {"x(;GM[1])", false},
        {"", false},
        {"   ", false},
        // Only blanks up to the space are trimmed, not a full-width space.
        {QStringLiteral("\u3000(;GM[1])"), false},
    };
    auto w = open();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        clip()->setText(c.text);
        w->ui.actClipPast->setEnabled(!c.enabled);
        inside(*w).ApplicationEvents1Activate();
        EXPECT_EQ(w->ui.actClipPast->isEnabled(), c.enabled);
    }
    // A clipboard without text disables it.
    auto* data = new QMimeData;
    data->setImageData(QImage(2, 2, QImage::Format_RGB32));
    clip()->setMimeData(data);
    inside(*w).ApplicationEvents1Activate();
    EXPECT_FALSE(w->ui.actClipPast->isEnabled());
}

// The state is taken once when the window starts, before any activation.
TEST_F(FileWindowTest, PasteStateAtStartUp) {
    for (const bool record : {false, true}) {
        clip()->setText(record ? QString::fromLatin1(ThreeMoves) : QStringLiteral("plain text"));
        auto w = open();
        EXPECT_EQ(w->ui.actClipPast->isEnabled(), record);
    }
}

}  // namespace
}  // namespace tavrin::test
