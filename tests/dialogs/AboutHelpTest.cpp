// The about box and the help pages.
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QLabel>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextBrowser>

#include "tests/dialogs/DialogTestKit.h"
#include "view/Dialogs.h"
#include "view/UnitAbout.h"

using namespace tavrin;
using namespace tavrin::test;

namespace {

class AboutBox : public ::testing::Test {
protected:
    static void SetUpTestSuite() { substituteFonts(); }
};

TEST_F(AboutBox, VersionLineAndPictures) {
    struct Case {
        const char* version;
        const char* line;
    } const cases[] = {
        {"0.5.1.20", "Version 0.5 [Build 1.20]"},
        {"12.3.4.5", "Version 12. [Build .4.5]"},
        {"", "Version 1.0 [Build 2.1]"},  // no version: the design text stays
    };
    for (const auto& c : cases) {
        TAboutBox box(QString::fromUtf8(c.version));
        EXPECT_EQ(control<QLabel>(box, "Version")->text(), c.line);
        EXPECT_TRUE(control<QLabel>(box, "Version")->font().bold());
    }
    TAboutBox box(QStringLiteral("0.5.1.20"));
    EXPECT_EQ(box.windowTitle(), QString::fromUtf8("Tavrinのバージョン情報"));
    EXPECT_EQ(box.size(), QSize(305, 211));
    EXPECT_EQ(control<QLabel>(box, "ProgramIcon")->pixmap().size(), QSize(64, 64));
    EXPECT_EQ(control<QLabel>(box, "imgName")->pixmap().size(), QSize(65, 31));
    EXPECT_TRUE(control<QLabel>(box, "ProductName")->font().bold());
    EXPECT_TRUE(control<QPushButton>(box, "OKButton")->isDefault());
}

TEST_F(AboutBox, MemoryFiguresOfThisMachine) {
    TAboutBox box(QString{});
    const QString phys = control<QLabel>(box, "PhysMem")->text();
    const QString load = control<QLabel>(box, "FreeRes")->text();
    EXPECT_TRUE(QRegularExpression("^\\d{1,3}(\\D\\d{3})* KB$").match(phys).hasMatch()) << phys.toStdString();
    EXPECT_TRUE(QRegularExpression("^\\d{1,3} %$").match(load).hasMatch()) << load.toStdString();
    EXPECT_NE(phys, "0 KB");
}

TEST_F(AboutBox, ShownThroughPrompts) {
    ScriptedPrompts prompts;
    QString version;
    prompts.dialogScripts.push_back([&](QDialog& d) {
        version = control<QLabel>(d, "Version")->text();
        control<QPushButton>(d, "OKButton")->click();
        return d.result();
    });
    showAboutBox(prompts, nullptr);
    EXPECT_EQ(prompts.texts("exec"), std::vector<QString>{QString::fromUtf8("Tavrinのバージョン情報")});
    EXPECT_EQ(version, "Version 0.5 [Build 1.20]");
}

QWidget* helpWindow() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == "helpWindow") return w;
    return nullptr;
}

TEST(Help, MissingFolderOpensNothing) {
    QTemporaryDir empty;
    EXPECT_FALSE(openHelp(nullptr, HelpPage::Contents, empty.path()));
    EXPECT_FALSE(openHelp(nullptr, HelpPage::Index, empty.path() + "/none"));
    EXPECT_FALSE(openHelp(nullptr, HelpPage::Contents, QString()));
    // Beside the test program there are no help pages.
    EXPECT_TRUE(helpFolder().isEmpty());
    EXPECT_FALSE(openHelp(nullptr, HelpPage::Contents));
    EXPECT_EQ(helpWindow(), nullptr);
}

TEST(Help, OpensContentsAndIndexInOneWindow) {
    QWidget owner;
    ASSERT_TRUE(openHelp(&owner, HelpPage::Contents, TAVRIN_HELP_SOURCE_DIR));
    QWidget* win = owner.findChild<QWidget*>("helpWindow");
    ASSERT_NE(win, nullptr);
    EXPECT_TRUE(win->isVisible());
    EXPECT_TRUE(win->isWindow());
    EXPECT_FALSE(win->isModal());
    auto* browser = win->findChild<QTextBrowser*>();
    ASSERT_NE(browser, nullptr);
    EXPECT_EQ(browser->source().fileName(), "index.html");
    EXPECT_FALSE(browser->toPlainText().isEmpty());

    ASSERT_TRUE(openHelp(&owner, HelpPage::Index, TAVRIN_HELP_SOURCE_DIR));
    EXPECT_EQ(owner.findChildren<QWidget*>("helpWindow").size(), 1);
    EXPECT_EQ(browser->source().fileName(), "keywords.html");
}

// Every link between the pages leads to a page and anchor that exist.
TEST(Help, LinksResolve) {
    const QDir dir(TAVRIN_HELP_SOURCE_DIR);
    const QStringList pages = dir.entryList({"*.html"}, QDir::Files);
    ASSERT_GE(pages.size(), 4);
    QMap<QString, QString> text;
    for (const QString& p : pages) {
        QFile f(dir.filePath(p));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << p.toStdString();
        text[p] = QString::fromUtf8(f.readAll());
    }
    const QRegularExpression href(R"(href="([^"#]*)(?:#([^"]*))?")");
    int links = 0;
    for (auto it = text.cbegin(); it != text.cend(); ++it) {
        for (auto m = href.globalMatch(it.value()); m.hasNext();) {
            auto match = m.next();
            const QString file = match.captured(1).isEmpty() ? it.key() : match.captured(1);
            if (file.contains(':') || !file.endsWith(".html")) continue;  // not a page
            ++links;
            ASSERT_TRUE(text.contains(file)) << it.key().toStdString() << " -> " << file.toStdString();
            if (!match.captured(2).isEmpty()) {
                EXPECT_TRUE(text[file].contains("id=\"" + match.captured(2) + "\""))
                    << it.key().toStdString() << " -> " << match.captured(0).toStdString();
            }
        }
    }
    EXPECT_GT(links, 20);
    // Both entry pages and the key topics exist.
    for (const char* p : {"index.html", "keywords.html"}) EXPECT_TRUE(text.contains(p)) << p;
}

}  // namespace
