// The start-up floor: a bare Qt Widgets program showing one window with the
// program's caption and the main window's size, nothing in it.

#include <QApplication>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("ポップリーフ作成"));
    // Form1's fixed size (5655 x 8475 twips), so both flush the same area.
    window.setFixedSize(377, 565);
    window.show();
    return app.exec();
}
