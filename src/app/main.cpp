#include "app/command_line.h"
#include "app/draft_keeper.h"
#include "core/places/file_places.h"
#include "app/main_window.h"
#include "app/translations.h"
#include "ui/kit/icons.h"
#include "ui/kit/form_layout.h"
#include "ui/kit/message_box_desktop.h"
#include "ui/preview_guest/preview_guest.h"
#include "core/preview_protocol/preview_protocol.h"

#include "build_config.h"

#include <QApplication>
#include <QTimer>

#include <csignal>
#include <cstring>

namespace {

// Message boxes belong to the main window, which exists only after it has
// been given its desktop; each call builds the box desktop for its owner.
class MainWindowDesktop final : public zelmora::Desktop {
public:
    void setOwner(QWidget *owner) { m_owner = owner; }

    void information(const QString &text) override { boxes().information(text); }
    void plainMessage(const QString &text) override { boxes().plainMessage(text); }
    void warning(const QString &text) override { boxes().warning(text); }
    void openUrl(const QUrl &url) override { boxes().openUrl(url); }
    bool question(const QString &text) override { return boxes().question(text); }
    QStringList choosePictureFiles() override { return boxes().choosePictureFiles(); }

private:
    zelmora::MessageBoxDesktop boxes() const { return zelmora::MessageBoxDesktop(m_owner); }

    QWidget *m_owner = nullptr;
};

} // namespace

int main(int argc, char *argv[])
{
    // The preview process: the program started by itself for its preview
    // window (preview_protocol.h), never by the user.
    const bool previewGuest = argc == 2 && std::strcmp(argv[1], zelmora::kPreviewGuestOption) == 0;
    // --help and --version answer on the terminal, without a display.
    if (!previewGuest) {
        if (const auto exitCode = zelmora::answerCommandLine(argc, argv))
            return *exitCode;
    }
    // Over its file-size limit a process gets SIGXFSZ, which would end the
    // program with the user's work in it; ignored, the write fails with
    // EFBIG like a full disk, and is reported.
    std::signal(SIGXFSZ, SIG_IGN);
    // The web engine renders through a context shared with Qt's windows,
    // which must be asked for before the application exists. Only the
    // preview process asks: the program itself would pay for a GL driver at
    // every start.
    if (previewGuest)
        QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QApplication::setApplicationVersion(QStringLiteral(ZELMORA_VERSION));
    QGuiApplication::setDesktopFileName(QStringLiteral(ZELMORA_APP_ID));
    QApplication::setWindowIcon(zelmora::applicationIcon());
    zelmora::installQtTranslations(app);
    if (previewGuest) {
        QApplication::setFont(zelmora::gothicFont(QApplication::font().pointSizeF()));
        return zelmora::runPreviewGuest();
    }
    if (const auto exitCode = zelmora::rejectLeftoverArguments(argc, argv))
        return *exitCode;

    // QApplication has set the locale (setlocale), so the system's reasons
    // below come in the user's language.
    const zelmora::ProgramPaths paths = zelmora::chooseProgramPaths(zelmora::currentFilePlaces());
    const QList<zelmora::FolderProblem> problems = zelmora::createFolders(paths);

    // The Japanese face as the application's font too, at the desktop's
    // size: a widget lays out its first text in the application font before
    // it takes its window's face, which would load a second face (DejaVu,
    // without kana) for nothing; message boxes and tooltips show Japanese.
    QApplication::setFont(zelmora::gothicFont(QApplication::font().pointSizeF()));

    MainWindowDesktop desktop;
    zelmora::MainWindow window(desktop, paths);
    desktop.setOwner(&window);
    window.show();
    if (!problems.isEmpty()) {
        // Once, over the painted window; the commands that need the folder
        // report their own failures later.
        QTimer::singleShot(0, &window, [&desktop, problems] {
            desktop.warning(zelmora::folderProblemMessage(problems));
        });
    }
    // Asked once the window is up, so the question has its owner on screen.
    QTimer::singleShot(0, &window, [&window] { window.draft().offerRestore(); });
    // A preview open in the preview process would hold the main window open.
    zelmora::DraftKeeper::quitNormallyOnTermination([&window] { window.endPreview(); });
    return app.exec();
}
