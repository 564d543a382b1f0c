#include "editor/program_paths.h"

#include <QApplication>
#include <QMainWindow>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.setObjectName(QStringLiteral("Form1"));
    window.setWindowTitle(QStringLiteral("ポップリーフ作成"));
    window.resize(5655 / 15, 8475 / 15);
    const zelmora::ProgramPaths paths = zelmora::InitProgramPaths();
    Q_UNUSED(paths);
    window.show();
    return app.exec();
}
