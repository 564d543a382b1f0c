// Qt's own dialogs as the program shows them, started the way the program
// starts (Qt's translations for the user's locale): the colour dialog of the
// background colour button and the message box of a folder that could not be
// created. Saves a PNG of each into the given folder.
// Usage: LANG=ja_JP.UTF-8 xvfb-run -a zelmora_dialog_screenshots <folder>
//        zelmora_dialog_screenshots --screen <file.png>   (the whole screen of
//        $DISPLAY, e.g. the real program's windows)

#include "core/places/file_places.h"
#include "app/main_window.h"
#include "app/translations.h"
#include "ui/kit/form_layout.h"
#include "ui/kit/message_box_desktop.h"
#include "core/files/file_error.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>

#include <cerrno>
#include <cstdio>

using namespace zelmora;

namespace {

QString g_outDir;
int g_failures = 0;

void save(QWidget *window, const QString &name)
{
    const QPixmap shot = window->screen()->grabWindow(0, window->x(), window->y(), window->width(),
                                                      window->height());
    const QString path = g_outDir + u'/' + name + QStringLiteral(".png");
    if (shot.save(path)) {
        std::printf("%s\n", qPrintable(path));
    } else {
        std::fprintf(stderr, "cannot save %s\n", qPrintable(path));
        ++g_failures;
    }
}

// Saves the next modal window once it has been painted, then closes it.
void grabNextModal(const QString &name)
{
    QTimer::singleShot(500, [name] {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal) {
            std::fprintf(stderr, "no modal window for %s\n", qPrintable(name));
            ++g_failures;
            return;
        }
        save(modal, name);
        modal->close();
    });
}

class NoDesktop : public Desktop {
    void information(const QString &) override {}
    void plainMessage(const QString &) override {}
    void warning(const QString &) override {}
    void openUrl(const QUrl &) override {}
};

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc == 3 && qstrcmp(argv[1], "--screen") == 0)
        return QGuiApplication::primaryScreen()->grabWindow(0).save(QString::fromLocal8Bit(argv[2]))
            ? 0
            : 1;
    installQtTranslations(app);
    g_outDir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("screenshots");
    QDir().mkpath(g_outDir);

    QTemporaryDir programFolder;
    NoDesktop quiet;
    MainWindow window(quiet, initPortablePaths(programFolder.path()));
    window.move(40, 40);
    window.show();

    grabNextModal(QStringLiteral("colour_dialog"));
    window.findChild<QAbstractButton *>(QStringLiteral("SelColor_BK"))->click();

    grabNextModal(QStringLiteral("folder_message"));
    MessageBoxDesktop(&window).warning(folderProblemMessage(
        {{QStringLiteral("/home/user/ドキュメント/Zelmora/Popleaf"), systemErrorText(EACCES)}}));
    return g_failures == 0 ? 0 : 1;
}
