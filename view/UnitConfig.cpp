#include "view/UnitConfig.h"

#include <QDir>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "view/DialogParts.h"

namespace tavrin {

TDlgConfig::TDlgConfig(Prompts& prompts, EngineSettings& settings, QStringList& libraryFolders,
                       const QString& recordFolder, QWidget* parent)
    : QDialog(parent), prompts(prompts), Settings(settings), LibraryFolders(libraryFolders) {
    setObjectName(QStringLiteral("DlgConfig"));
    setWindowTitle(QStringLiteral("環境設定"));
    setFont(dialogFont());
    auto* column = new QVBoxLayout(this);
    auto* title = new QLabel(QStringLiteral("コンピュータ対局者 Rokiru の囲碁エンジン（GTP）"), this);
    column->addWidget(title);

    auto* form = new QFormLayout;
    edtCommand = new QLineEdit(this);
    edtCommand->setObjectName(QStringLiteral("edtCommand"));
    edtCommand->setToolTip(
        QStringLiteral("エンジンのコマンドライン（空白で区切ります。空白を含む語は \"…\" で囲みます）"));
    form->addRow(QStringLiteral("コマンド(&C)："), edtCommand);
    const char* levels[3] = {"初級の引数(&1)：", "中級の引数(&2)：", "上級の引数(&3)："};
    for (int i = 0; i < 3; ++i) {
        edtLevel[i] = new QLineEdit(this);
        edtLevel[i]->setObjectName(QStringLiteral("edtLevel%1").arg(i));
        form->addRow(QString::fromUtf8(levels[i]), edtLevel[i]);
    }
    spnSeconds = new QSpinBox(this);
    spnSeconds->setObjectName(QStringLiteral("spnSeconds"));
    spnSeconds->setRange(5, 3600);
    spnSeconds->setSuffix(QStringLiteral(" 秒"));
    form->addRow(QStringLiteral("一手の制限時間(&T)："), spnSeconds);
    // 棋譜解析: the engine's level and the loss that marks a move.
    spnReviewLevel = new QSpinBox(this);
    spnReviewLevel->setObjectName(QStringLiteral("spnReviewLevel"));
    spnReviewLevel->setRange(0, 10);
    spnReviewLevel->setToolTip(QStringLiteral("0 が最も速く、形勢の判断には十分です"));
    form->addRow(QStringLiteral("棋譜解析のレベル(&A)："), spnReviewLevel);
    spnReviewThreshold = new QDoubleSpinBox(this);
    spnReviewThreshold->setObjectName(QStringLiteral("spnReviewThreshold"));
    spnReviewThreshold->setRange(0.5, 100);
    spnReviewThreshold->setDecimals(1);
    spnReviewThreshold->setSingleStep(0.5);
    spnReviewThreshold->setSuffix(QStringLiteral(" 目"));
    form->addRow(QStringLiteral("悪手とする損(&M)："), spnReviewThreshold);
    column->addLayout(form);

    auto* tryRow = new QHBoxLayout;
    btnTry = new QPushButton(QStringLiteral("試す(&R)"), this);
    btnTry->setObjectName(QStringLiteral("btnTry"));
    auto* btnDefault = new QPushButton(QStringLiteral("既定値(&D)"), this);
    btnDefault->setObjectName(QStringLiteral("btnDefault"));
    tryRow->addWidget(btnTry);
    tryRow->addWidget(btnDefault);
    tryRow->addStretch(1);
    column->addLayout(tryRow);
    memTry = new QPlainTextEdit(this);
    memTry->setObjectName(QStringLiteral("memTry"));
    memTry->setReadOnly(true);
    memTry->setFixedHeight(72);
    column->addWidget(memTry);

    // The library: folders whose records the opening explorer searches.
    column->addWidget(new QLabel(QStringLiteral("布石定石で調べる棋譜のフォルダ"), this));
    lstFolders = new QListWidget(this);
    lstFolders->setObjectName(QStringLiteral("lstFolders"));
    lstFolders->setFixedHeight(72);
    lstFolders->addItems(LibraryFolders);
    column->addWidget(lstFolders);
    auto* folderRow = new QHBoxLayout;
    auto* btnChooseFolder = new QPushButton(QStringLiteral("フォルダを追加(&F)..."), this);
    btnChooseFolder->setObjectName(QStringLiteral("btnChooseFolder"));
    btnChooseFolder->setToolTip(QStringLiteral("フォルダを選んで追加します（その中のフォルダの棋譜も調べます）"));
    auto* btnAddFolder = new QPushButton(QStringLiteral("開いている棋譜のフォルダを追加(&A)"), this);
    btnAddFolder->setObjectName(QStringLiteral("btnAddFolder"));
    btnAddFolder->setEnabled(!recordFolder.isEmpty());
    auto* btnRemoveFolder = new QPushButton(QStringLiteral("削除(&X)"), this);
    btnRemoveFolder->setObjectName(QStringLiteral("btnRemoveFolder"));
    btnRemoveFolder->setEnabled(false);
    folderRow->addWidget(btnChooseFolder);
    folderRow->addWidget(btnAddFolder);
    folderRow->addWidget(btnRemoveFolder);
    folderRow->addStretch(1);
    column->addLayout(folderRow);
    connect(btnChooseFolder, &QPushButton::clicked, this, [this, recordFolder] {
        const QString start = lstFolders->currentItem() ? lstFolders->currentItem()->text() : recordFolder;
        const std::optional<QString> folder =
            this->prompts.chooseFolder(this, QStringLiteral("棋譜のフォルダを追加"), start);
        if (folder && !folder->isEmpty()) addFolder(*folder);
    });
    connect(btnAddFolder, &QPushButton::clicked, this, [this, recordFolder] { addFolder(recordFolder); });
    connect(btnRemoveFolder, &QPushButton::clicked, this, [this] { delete lstFolders->currentItem(); });
    connect(lstFolders, &QListWidget::currentItemChanged, btnRemoveFolder,
            [btnRemoveFolder](QListWidgetItem* item) { btnRemoveFolder->setEnabled(item != nullptr); });

    auto [ok, cancel] = addOkCancel(this, "btnOk", "btnCancel", 0);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    column->addLayout(buttons);
    setMinimumWidth(440);

    connect(ok, &QPushButton::clicked, this, &TDlgConfig::accept);
    connect(cancel, &QPushButton::clicked, this, &TDlgConfig::reject);
    connect(btnTry, &QPushButton::clicked, this, &TDlgConfig::btnTryClick);
    connect(btnDefault, &QPushButton::clicked, this, &TDlgConfig::btnDefaultClick);
    connect(&Probe, &Rokiru::probed, this, [this](const QString& name, const QString& version, int commands) {
        memTry->setPlainText(
            QStringLiteral("起動できました：%1 %2（GTP コマンド %3 個）").arg(name, version).arg(commands));
        btnTry->setEnabled(true);
    });
    connect(&Probe, &Rokiru::failed, this, [this](const QString& message) {
        memTry->setPlainText(message);
        btnTry->setEnabled(true);
    });
    showSettings(Settings);
}

EngineSettings TDlgConfig::shownSettings() const {
    EngineSettings s;
    s.commandLine = edtCommand->text().trimmed();
    for (int i = 0; i < 3; ++i) s.levelArguments[i] = edtLevel[i]->text().trimmed();
    s.moveSeconds = spnSeconds->value();
    s.reviewLevel = spnReviewLevel->value();
    s.reviewThreshold = spnReviewThreshold->value();
    return s;
}

void TDlgConfig::showSettings(const EngineSettings& s) {
    edtCommand->setText(s.commandLine);
    for (int i = 0; i < 3; ++i) edtLevel[i]->setText(s.levelArguments[i]);
    spnSeconds->setValue(s.moveSeconds);
    spnReviewLevel->setValue(s.reviewLevel);
    spnReviewThreshold->setValue(s.reviewThreshold);
}

void TDlgConfig::btnTryClick() {
    btnTry->setEnabled(false);
    memTry->setPlainText(QStringLiteral("エンジンを起動しています…"));
    Probe.probe(shownSettings(), 0);
}

void TDlgConfig::btnDefaultClick() { showSettings(defaultEngineSettings()); }

void TDlgConfig::addFolder(const QString& folder) {
    const QString clean = QDir::cleanPath(QDir(folder).absolutePath());
    QList<QListWidgetItem*> found = lstFolders->findItems(clean, Qt::MatchExactly);
    if (found.isEmpty()) {
        lstFolders->addItem(clean);
        found = {lstFolders->item(lstFolders->count() - 1)};
    }
    lstFolders->setCurrentItem(found.first());
}

bool runConfigDialog(Prompts& prompts, QWidget* parent, EngineSettings& settings, QStringList& libraryFolders,
                     const QString& recordFolder) {
    TDlgConfig dlg(prompts, settings, libraryFolders, recordFolder, parent);
    prompts.exec(dlg);
    return dlg.Accepted();
}

void TDlgConfig::accept() {
    Probe.shutdown();
    Settings = shownSettings();
    LibraryFolders.clear();
    for (int i = 0; i < lstFolders->count(); ++i) LibraryFolders << lstFolders->item(i)->text();
    AcceptedFlag = true;
    QDialog::accept();
}

}  // namespace tavrin
