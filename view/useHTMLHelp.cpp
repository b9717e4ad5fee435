#include "view/useHTMLHelp.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QTextBrowser>
#include <QToolBar>
#include <QUrl>
#include <QVBoxLayout>

#include "view/DialogParts.h"

namespace tavrin {

namespace {

const char* pageFile(HelpPage page) { return page == HelpPage::Contents ? "index.html" : "keywords.html"; }

// The window: a small tool bar (contents, index, back, forward) over the page.
class HelpWindow : public QWidget {
public:
    HelpWindow(QWidget* parent, const QString& folder) : QWidget(parent, Qt::Window), Folder(folder) {
        setObjectName("helpWindow");
        setWindowTitle(QStringLiteral("Tavrin ヘルプ"));
        setFont(dialogFont());
        resize(640, 560);

        auto* bar = new QToolBar(this);
        Browser = new QTextBrowser(this);
        Browser->setObjectName("helpBrowser");
        Browser->setOpenExternalLinks(true);
        Browser->setSearchPaths({folder});

        QAction* contents = bar->addAction(QStringLiteral("目次(&C)"));
        connect(contents, &QAction::triggered, this, [this] { showPage(HelpPage::Contents); });
        QAction* index = bar->addAction(QStringLiteral("キーワード(&I)"));
        connect(index, &QAction::triggered, this, [this] { showPage(HelpPage::Index); });
        bar->addSeparator();
        QAction* back = bar->addAction(QStringLiteral("戻る(&B)"));
        back->setEnabled(false);
        connect(back, &QAction::triggered, Browser, &QTextBrowser::backward);
        connect(Browser, &QTextBrowser::backwardAvailable, back, &QAction::setEnabled);
        QAction* forward = bar->addAction(QStringLiteral("進む(&F)"));
        forward->setEnabled(false);
        connect(forward, &QAction::triggered, Browser, &QTextBrowser::forward);
        connect(Browser, &QTextBrowser::forwardAvailable, forward, &QAction::setEnabled);
        connect(Browser, &QTextBrowser::sourceChanged, this, [this] {
            const QString title = Browser->documentTitle();
            setWindowTitle(title.isEmpty() ? QStringLiteral("Tavrin ヘルプ")
                                           : title + QStringLiteral(" - Tavrin ヘルプ"));
        });

        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(0);
        layout->addWidget(bar);
        layout->addWidget(Browser);
    }

    const QString& folder() const { return Folder; }

    void showPage(HelpPage page) { Browser->setSource(QUrl::fromLocalFile(QDir(Folder).filePath(pageFile(page)))); }

private:
    QString Folder;
    QTextBrowser* Browser;
};

QPointer<HelpWindow> TheHelpWindow;

}  // namespace

QString helpFolder() {
    const QDir exeDir(QCoreApplication::applicationDirPath());
    for (const QString& candidate : {exeDir.filePath("help"), exeDir.filePath("../share/tavrin/help")}) {
        if (QFileInfo(candidate).isDir()) return QDir::cleanPath(candidate);
    }
    return QString();
}

bool openHelp(QWidget* parent, HelpPage page) { return openHelp(parent, page, helpFolder()); }

bool openHelp(QWidget* parent, HelpPage page, const QString& folder) {
    if (folder.isEmpty() || !QFileInfo(QDir(folder).filePath(pageFile(page))).isFile()) return false;
    if (TheHelpWindow && (TheHelpWindow->parentWidget() != parent || TheHelpWindow->folder() != folder)) {
        delete TheHelpWindow.data();
    }
    if (!TheHelpWindow) {
        TheHelpWindow = new HelpWindow(parent, folder);
        TheHelpWindow->setAttribute(Qt::WA_DeleteOnClose);
    }
    TheHelpWindow->showPage(page);
    TheHelpWindow->show();
    TheHelpWindow->raise();
    TheHelpWindow->activateWindow();
    return true;
}

}  // namespace tavrin
