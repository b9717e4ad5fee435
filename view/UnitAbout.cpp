#include "view/UnitAbout.h"

#include <QFrame>
#include <QLabel>
#include <QLocale>
#include <QPixmap>
#include <QPushButton>

#include "view/DialogParts.h"
#include "view/DialogTexts.h"

// Resources of a static library are linked only when something names them.
static void initAboutResources() { Q_INIT_RESOURCE(about); }

namespace tavrin {

namespace {

QLabel* textLabel(QWidget* parent, const char* name, const QString& text, int x, int y) {
    auto* lbl = addLabel(parent, text, x, y);
    lbl->setObjectName(name);
    return lbl;
}

QFont boldFont(int pixels) {
    QFont f = dialogFont();
    f.setPixelSize(pixels);
    f.setBold(true);
    return f;
}

}  // namespace

TAboutBox::TAboutBox(const QString& fileVersion, QWidget* parent) : QDialog(parent) {
    initAboutResources();
    setObjectName("AboutBox");
    setUpDialogWindow(*this, QStringLiteral("Tavrinのバージョン情報"), 305, 211);

    // A lowered outer bevel around a raised inner one.
    auto* outer = new QFrame(this);
    outer->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    outer->setGeometry(8, 8, 289, 161);
    auto* panel = new QFrame(outer);
    panel->setObjectName("Panel1");
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel->setGeometry(1, 1, 287, 159);

    auto* icon = new QLabel(panel);
    icon->setObjectName("ProgramIcon");
    icon->setGeometry(8, 8, 64, 64);
    icon->setPixmap(QPixmap(":/about/icon32.png").scaled(64, 64, Qt::IgnoreAspectRatio, Qt::FastTransformation));

    auto* name = new QLabel(panel);
    name->setObjectName("imgName");
    name->setGeometry(84, 10, 65, 31);
    name->setPixmap(QPixmap(":/about/name.png"));

    QLabel* product = textLabel(panel, "ProductName", QStringLiteral("Tavrin"), 156, 16);
    product->setFont(boldFont(16));
    product->adjustSize();

    QLabel* version = textLabel(panel, "Version", QStringLiteral("Version 1.0 [Build 2.1]"), 84, 50);
    version->setFont(boldFont(12));
    if (auto line = dialogs::versionLine(fileVersion.toStdString())) version->setText(QString::fromStdString(*line));
    version->adjustSize();

    textLabel(panel, "Comments1", QStringLiteral("囲碁対局・棋譜鑑賞プログラム"), 8, 82);
    textLabel(panel, "Comments2", QStringLiteral("二人対局と棋譜(SGF・NGF)の再生"), 8, 100);

    auto* bevel = new QFrame(panel);
    bevel->setObjectName("Bevel1");
    bevel->setFrameStyle(QFrame::HLine | QFrame::Sunken);
    bevel->setGeometry(8, 120, 271, 2);

    // The memory rows: captions at the left, the two figures right-aligned at the right edge.
    // The long caption is narrowed a little so that a figure of ten digits still fits beside it.
    const dialogs::MemoryStatus mem = dialogs::readMemoryStatus();
    QLabel* physCaption =
        textLabel(panel, "PhysMemCaption", QStringLiteral("Physical Memory Available to Windows:"), 8, 128);
    QFont narrow = dialogFont();
    narrow.setStretch(82);
    physCaption->setFont(narrow);
    physCaption->adjustSize();
    QLabel* useCaption = textLabel(panel, "FreeResCaption", QStringLiteral("Memory in Use:"), 8, 144);
    QFont small = dialogFont();
    small.setPixelSize(11);
    useCaption->setFont(small);
    useCaption->adjustSize();
    const int valueLeft = physCaption->x() + physCaption->width() + 2;
    QLabel* physMem =
        textLabel(panel, "PhysMem",
                  QString::fromStdString(dialogs::physMemText(mem.totalKB, QLocale().groupSeparator().toStdString())),
                  valueLeft, 128);
    QLabel* freeRes =
        textLabel(panel, "FreeRes", QString::fromStdString(dialogs::memoryLoadText(mem.loadPercent)), valueLeft, 144);
    for (QLabel* value : {physMem, freeRes}) {
        value->setAlignment(Qt::AlignRight | Qt::AlignTop);
        value->setGeometry(valueLeft, value->y(), 282 - valueLeft, value->height());
    }

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName("OKButton");
    ok->setGeometry(222, 178, 75, 25);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    ok->setFocus();
}

}  // namespace tavrin
