// A reference beside the start-up floor, not a floor: the bare window with
// the least Japanese text the main window shows, one caption in the forms'
// Gothic face and one bold command button. What it costs over the bare
// window is what any window pays to show Japanese text at all (the font
// configuration, the CJK faces and their shaping).

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("ポップリーフ作成"));
    window.setFixedSize(377, 565);
    QFont gothic(QStringLiteral("Noto Sans CJK JP"));
    gothic.setStyleHint(QFont::SansSerif);
    gothic.setPointSizeF(8);
    window.setFont(gothic);
    auto *caption = new QLabel(QStringLiteral("タイトル名　（ファイル名も同じ）"), &window);
    caption->setGeometry(14, 8, 177, 17);
    auto *create = new QPushButton(QStringLiteral("作成"), &window);
    QFont bold = gothic;
    bold.setPointSizeF(9);
    bold.setBold(true);
    create->setFont(bold);
    create->setGeometry(256, 528, 107, 25);
    window.show();
    return app.exec();
}
