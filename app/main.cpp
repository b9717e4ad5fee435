#include <QApplication>
#include <QMainWindow>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Tavrin");
    QMainWindow w;
    w.setWindowTitle(QString::fromUtf8("新規 - Tavrin"));
    w.resize(684, 567);
    w.show();
    return app.exec();
}
