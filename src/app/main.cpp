#include "editor/icons.h"
#include "app/draft_keeper.h"
#include "app/main_window.h"
#include "editor/ui_support.h"
#include "text/line_file.h"

#include <QApplication>
#include <QTimer>

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

private:
    zelmora::MessageBoxDesktop boxes() const { return zelmora::MessageBoxDesktop(m_owner); }

    QWidget *m_owner = nullptr;
};

} // namespace

int main(int argc, char *argv[])
{
    zelmora::reportFileSizeLimitAsWriteError();
    // No Qt::AA_ShareOpenGLContexts here: it would make a GL context at
    // every start. The preview makes the shared context when it first loads
    // the web engine (loadPreviewModule).
    QApplication app(argc, argv);
    QApplication::setWindowIcon(zelmora::applicationIcon());

    MainWindowDesktop desktop;
    // Pages 2 to 6 are hidden behind their tabs: built after the first paint.
    zelmora::MainWindow window(desktop, QCoreApplication::applicationDirPath(),
                               zelmora::MainWindow::HiddenPages::BuildAfterFirstPaint);
    desktop.setOwner(&window);
    window.show();
    // Asked once the window is up, so the question has its owner on screen.
    QTimer::singleShot(0, &window, [&window] { window.draft().offerRestore(); });
    zelmora::DraftKeeper::quitNormallyOnTermination();
    return app.exec();
}
