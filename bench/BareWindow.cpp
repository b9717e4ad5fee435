// The yardstick of bench/startup.sh: the least a Qt 6 Widgets program of Tavrin's kind
// shows at start-up. A main window of Tavrin's size with a menu bar, a tool bar, a status
// bar and two labels in the two IPA Gothic fonts; no pictures, no settings, no work.
#include <QApplication>
#include <QFont>
#include <QHBoxLayout>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QMainWindow w;
    w.setWindowTitle(QStringLiteral("BareQt"));
    w.resize(684, 567);
    for (const char* m : {"ファイル(&F)", "対局(&P)", "棋譜観賞(&K)", "表示(&D)", "ヘルプ(&H)"})
        w.menuBar()->addMenu(QString::fromUtf8(m))->addAction(QStringLiteral("…"));
    QToolBar* tools = w.addToolBar(QStringLiteral("tools"));
    for (const char* t : {"新規", "開く", "保存"}) tools->addAction(QString::fromUtf8(t));
    w.statusBar()->showMessage(QStringLiteral("F1 キーでヘルプを表示します"));

    auto* central = new QWidget(&w);
    auto* row = new QHBoxLayout(central);
    auto label = [central](const char* family, const char* text) {
        auto* l = new QLabel(QString::fromUtf8(text), central);
        QFont f(QString::fromUtf8(family));
        f.setPixelSize(12);
        l->setFont(f);
        return l;
    };
    row->addWidget(label("IPAPGothic", "黒番対局者 白番対局者 コミ 6目半"));
    row->addWidget(label("IPAGothic", "番 号 座標 時間 開始 パス"));
    w.setCentralWidget(central);
    w.show();
    return app.exec();
}
