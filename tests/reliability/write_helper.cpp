// A child process for the full-disk tests: runs one writing road of the
// program against a program folder and prints what the user would have been
// told. The test starts it under `prlimit --fsize=N`, since the tests run as
// root and permission bits would not stop a write.
//
//   reliability_write_helper create|preview|options <program folder>
//
// Two more roads end the process the hard way, as a user's kill would:
// "create-killed-at-message" is killed (SIGKILL) as the first message
// opens; "create-killed-by-size-limit" does not ignore SIGXFSZ, so the
// limit kills it in the middle of writing a page.
//
// Output, one line each: "<kind>: <message>" for every desktop call (line
// breaks in a message as "\n"), "window: shown" when a preview window
// opened, and "editor: kept" or "editor: changed".

#include "core/model/editor.h"
#include "support/record_editor.h"
#include "core/places/program_paths.h"
#include "support/test_windows.h"
#include "ui/preview_guest/preview_browser.h"
#include "support/in_process_preview.h"
#include "ui/options/options_dialog.h"
#include "support/recording_browser.h"
#include "support/recording_desktop.h"
#include "core/files/page_lines.h"

#include <QApplication>
#include <QLineEdit>
#include <QTimer>
#include <QWidget>

#include <csignal>
#include <cstdio>

using namespace zelmora;
using zelmora::test::RecordingDesktop;

namespace {

void print(const QString &line)
{
    std::fputs((line + u'\n').toUtf8().constData(), stdout);
}


// The set every road works on: two text pages titled abc.
PageSet userSet()
{
    PageSet set;
    set.title = QStringLiteral("abc");
    set.page(1).kind = PageKind::Text;
    set.page(1).text = QStringLiteral("一頁目\r\none");
    set.page(2).kind = PageKind::Text;
    set.page(2).text = QStringLiteral("二頁目");
    return set;
}

// Killed as the first message box would open.
class KilledAtMessage : public RecordingDesktop {
public:
    void information(const QString &) override { ::raise(SIGKILL); }
};

} // namespace

int main(int argc, char *argv[])
{
    if (argc != 3) {
        std::fputs("usage: reliability_write_helper create|preview|options <folder>\n", stderr);
        return 2;
    }
    const QString road = QString::fromLocal8Bit(argv[1]);
    if (road != u"create-killed-by-size-limit")
        std::signal(SIGXFSZ, SIG_IGN); // as the program does at start-up
    QApplication app(argc, argv);
    const ProgramPaths paths = initPortablePaths(QString::fromLocal8Bit(argv[2]));
    RecordingDesktop desktop;
    desktop.answer = true; // an earlier set of the same name is replaced
    RecordEditor editor(userSet());
    EditorState state;

    if (road == u"create" || road == u"create-killed-by-size-limit") {
        createSet(test::commandContext(editor, state, paths, desktop));
    } else if (road == u"create-killed-at-message") {
        KilledAtMessage killed;
        killed.answer = true;
        createSet(test::commandContext(editor, state, paths, killed));
    } else if (road == u"preview") {
        QWidget mainWindow;
        zelmora::test::RecordingBrowserFactory factory;
        // Should the pages be written after all, the window must not wait
        // for a user.
        QTimer::singleShot(0, [] {
            if (QWidget *modal = QApplication::activeModalWidget())
                modal->close();
        });
        test::runPreviewCommand(&mainWindow, editor, state, paths, desktop, &factory);
        if (factory.created > 0)
            print(QStringLiteral("window: shown"));
    } else if (road == u"options") {
        OptionsDialog dialog(paths.settingsFile, desktop);
        dialog.findChild<QLineEdit *>(QStringLiteral("Text_HomeName"))
            ->setText(QStringLiteral("新しいリンクページ名"));
        dialog.show();
        dialog.accept(); // every close saves
    } else {
        std::fputs("unknown road\n", stderr);
        return 2;
    }

    static const char *const kinds[] = {"information", "plain", "warning", "open", "question"};
    for (const RecordingDesktop::Call &call : desktop.calls) {
        QString text = call.text;
        text.replace(u'\n', QStringLiteral("\\n"));
        print(QString::fromLatin1(kinds[call.kind]) + QStringLiteral(": ") + text);
    }
    print(editor.pageSet() == userSet() ? QStringLiteral("editor: kept")
                                        : QStringLiteral("editor: changed"));
    return 0;
}
