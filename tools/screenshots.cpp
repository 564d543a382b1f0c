// Opens every window of the program with sample content and saves a picture
// of each, for looking at the layout as a user sees it. Run under Xvfb by
// tools/screenshots.sh.

#include "app/about_box.h"
#include "app/draft_keeper.h"
#include "app/main_window.h"
#include "support/sample_sets.h"
#include "ui/image_picker/image_picker.h"
#include "ui/kit/form_layout.h"
#include "support/in_process_preview.h"
#include "ui/preview_guest/preview_module.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QImage>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QWebEngineView>

#include <cstdio>
#include <functional>

using namespace zelmora;

namespace {

QString g_outDir;
int g_failures = 0;

// Messages are recorded, not shown, so the script never waits on a box.
class QuietDesktop : public Desktop {
public:
    void information(const QString &) override {}
    void plainMessage(const QString &) override {}
    void warning(const QString &text) override
    {
        std::fprintf(stderr, "warning: %s\n", qPrintable(text));
    }
    void openUrl(const QUrl &) override {}
};

void settle(int ms = 300)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

void save(QWidget *window, const QString &name)
{
    settle();
    const QPixmap shot = window->screen()->grabWindow(0, window->x(), window->y(), window->width(),
                                                      window->height());
    const QString path = g_outDir + u'/' + name + QStringLiteral(".png");
    if (!shot.save(path)) {
        std::fprintf(stderr, "cannot save %s\n", qPrintable(path));
        ++g_failures;
    } else {
        std::printf("%s\n", qPrintable(path));
    }
}

template <class W>
W *find(QWidget *root, const char *name)
{
    W *w = root->findChild<W *>(QString::fromLatin1(name));
    if (!w) {
        std::fprintf(stderr, "missing %s\n", name);
        std::exit(2);
    }
    return w;
}

// Runs act on the next modal window once it shows, from inside its loop.
void onNextModal(std::function<void(QWidget *)> act)
{
    QTimer::singleShot(200, [act = std::move(act)] {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal) {
            std::fprintf(stderr, "no modal window\n");
            std::exit(2);
        }
        act(modal);
    });
}

void selectFile(QWidget *modal, const QString &name)
{
    auto *list = find<QListWidget>(modal, "File1");
    const auto items = list->findItems(name, Qt::MatchExactly);
    if (items.isEmpty()) {
        std::fprintf(stderr, "no %s in the list\n", qPrintable(name));
        std::exit(2);
    }
    list->setCurrentItem(items[0]);
    Q_EMIT list->itemClicked(items[0]);
}

void writeSamplePictures(const QString &folder)
{
    QImage standard(150, 115, QImage::Format_RGB32);
    standard.fill(QColor(0x88, 0xbb, 0xee));
    QPainter p(&standard);
    p.setFont(gothicFont(14, true));
    p.drawText(standard.rect(), Qt::AlignCenter, QStringLiteral("標準 150×115"));
    p.end();
    standard.save(folder + QStringLiteral("photo.png"));
    QImage wide(250, 115, QImage::Format_RGB32);
    wide.fill(QColor(0xee, 0xcc, 0x88));
    QPainter w(&wide);
    w.setFont(gothicFont(14, true));
    w.drawText(wide.rect(), Qt::AlignCenter, QStringLiteral("ワイド 250×115"));
    w.end();
    wide.save(folder + QStringLiteral("map.png"));
    // Upright, with a frame to its last pixel: the picker shows it whole.
    QImage tall(115, 150, QImage::Format_RGB32);
    tall.fill(QColor(0xcc, 0xee, 0xaa));
    QPainter t(&tall);
    t.drawRect(tall.rect().adjusted(0, 0, -1, -1));
    t.drawText(tall.rect(), Qt::AlignCenter, QStringLiteral("115×150"));
    t.end();
    tall.save(folder + QStringLiteral("tall.png"));
}

} // namespace

int main(int argc, char *argv[])
{
    // Started like the program (src/main.cpp), so the preview module loads
    // its engine the same way.
    QApplication app(argc, argv);
    // ZELMORA_SHOTS_POINTS=14: the application's font at that size, as a
    // desktop with a larger font sets it; ZELMORA_SHOTS_DARK=1: a dark palette.
    if (const int points = qEnvironmentVariableIntValue("ZELMORA_SHOTS_POINTS"); points > 0)
        QApplication::setFont(QFont(QApplication::font().family(), points));
    if (qEnvironmentVariableIntValue("ZELMORA_SHOTS_DARK"))
        QApplication::setPalette(QPalette(QColor(0x35, 0x35, 0x35), QColor(0x2a, 0x2a, 0x2a)));
    g_outDir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("screenshots");
    QDir().mkpath(g_outDir);

    QTemporaryDir programFolder;
    QuietDesktop desktop;
    MainWindow window(desktop, initPortablePaths(programFolder.path()));
    window.move(40, 40);
    window.show();
    writeSamplePictures(window.paths().outputFolder);

    // The main window on each tab, with every kind of page filled in.
    PageSet set = test::sixPageSet(QStringLiteral("春のお知らせ"));
    window.showPageSet(set);
    auto *tabs = find<QTabWidget>(&window, "SSTab1");
    for (int i = 0; i < tabs->count(); ++i) {
        tabs->setCurrentIndex(i);
        save(&window, QStringLiteral("main_tab%1").arg(i + 1));
    }
    tabs->setCurrentIndex(3);

    // The image picker with a picture selected (page 4 shows a picture).
    onNextModal([](QWidget *picker) {
        selectFile(picker, QStringLiteral("tall.png"));
        save(picker, QStringLiteral("image_picker"));
        selectFile(picker, QStringLiteral("photo.png"));
        find<QAbstractButton>(picker, "Command1")->click();
    });
    find<QAbstractButton>(&window, "OpenFiles_4p")->click();
    // And over an empty folder, which says how to add pictures.
    {
        QTemporaryDir empty;
        ImagePicker picker(desktop, empty.path(), &window);
        picker.show();
        save(&picker, QStringLiteral("image_picker_empty"));
    }
    {
        AboutBox about(&window);
        about.show();
        save(&about, QStringLiteral("about_box"));
    }

    // The options dialog as it first opens.
    onNextModal([](QWidget *options) {
        find<QAbstractButton>(options, "OptSettei_2")->click();
        save(options, QStringLiteral("options_dialog"));
        find<QAbstractButton>(options, "OptSettei_0")->click();
        find<QAbstractButton>(options, "Command1")->click();
    });
    find<QAbstractButton>(&window, "Option_btn")->click();

    // The preview window once its page has loaded.
    onNextModal([](QWidget *preview) {
        auto *view = find<QWebEngineView>(preview, "WebBrowser1");
        for (int i = 0; i < 100 && view->title() != QStringLiteral("春のお知らせ_1"); ++i)
            settle(100);
        save(preview, QStringLiteral("preview_page1"));
        find<QAbstractButton>(preview, "Com_frd")->click();
        for (int i = 0; i < 100 && view->title() != QStringLiteral("春のお知らせ_2"); ++i)
            settle(100);
        save(preview, QStringLiteral("preview_page2"));
        find<QAbstractButton>(preview, "Command1")->click();
    });
    // The window in this process (the program shows it in its preview
    // process), so that it can be photographed here.
    test::runPreviewCommand(&window, window, window.state(), window.paths(), desktop,
                            test::previewModule());

    // Create the set, then the set picker lists it.
    window.showPageSet(set);
    find<QAbstractButton>(&window, "Command1")->click();
    onNextModal([](QWidget *picker) {
        save(picker, QStringLiteral("set_picker"));
        picker->close();
    });
    find<QAbstractButton>(&window, "Sel_FleName")->click();
    save(&window, QStringLiteral("main_after_create"));

    // A draft left by an earlier run: the question at start, answered with
    // its default button.
    window.showPageSet(set);
    window.draft().saveNow();
    onNextModal([](QWidget *question) {
        save(question, QStringLiteral("draft_question"));
        find<QAbstractButton>(question, "DraftRestore")->click();
    });
    window.draft().offerRestore();

    return g_failures == 0 ? 0 : 1;
}
