// Every road of the main window, taken with hostile titles: whatever the
// title, the program writes into its output folder, its temporary folder and
// its settings file and nowhere else. The tree around the program folder is
// compared before and after.

#include "on_modal.h"
#include "reliability_support.h"

#include "app/main_window.h"
#include "ui/preview_guest/preview_browser.h"
#include "support/in_process_preview.h"
#include "support/recording_browser.h"
#include "support/recording_desktop.h"

#include <QAbstractButton>
#include <QApplication>
#include <QListWidget>
#include <QRegularExpression>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

using namespace zelmora;
using namespace zelmora::test;
using Call = RecordingDesktop::Call;

namespace {

// Where the program may write: its two folders, its settings file and the
// window's draft of the set being edited beside it, with the draft's lock.
bool allowed(const QString &relative)
{
    static const QRegularExpression draft(QStringLiteral("^program/Zelmora\\.[0-9]+\\.(draft|lock)$"));
    return relative == u"program/Popleaf" || relative.startsWith(u"program/Popleaf/")
        || relative == u"program/TEMP" || relative.startsWith(u"program/TEMP/")
        || relative == u"program/Zelmora.ini" || draft.match(relative).hasMatch();
}

class Confinement : public testing::TestWithParam<QString> {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        ASSERT_TRUE(QDir().mkpath(m_dir.filePath(QStringLiteral("program"))));
        // Files a stray write could land on: beside and above the program.
        writeFile(m_dir.filePath(QStringLiteral("program/x_1.htm")), "beside");
        writeFile(m_dir.filePath(QStringLiteral("x_1.htm")), "above");
        m_window = std::make_unique<MainWindow>(m_desktop, initPortablePaths(m_dir.filePath(QStringLiteral("program"))));
        m_window->show();
        m_window->showPageSet(sampleSet(GetParam()));
    }

    void click(const char *name)
    {
        m_window->findChild<QAbstractButton *>(QString::fromLatin1(name))->click();
    }

    QStringList strayWrites(const QMap<QString, QString> &before) const
    {
        QStringList stray;
        for (const QString &path : changedPaths(before, folderTree(m_dir.path()))) {
            if (!allowed(path))
                stray << path;
        }
        return stray;
    }

    QTemporaryDir m_dir;
    RecordingDesktop m_desktop;
    std::unique_ptr<MainWindow> m_window;
};

} // namespace

TEST_P(Confinement, everyRoadWritesOnlyIntoItsFolders)
{
    const QString title = GetParam();
    const PageSet work = m_window->pageSet();
    const auto before = folderTree(m_dir.path());

    // Preview (the main window's command with a browser that loads nothing).
    RecordingBrowserFactory factory;
    onModal([](QWidget *preview) { preview->close(); });
    runPreviewCommand(m_window.get(), *m_window, m_window->state(), m_window->paths(), m_desktop, &factory);
    EXPECT_EQ(m_window->pageSet(), work) << "a preview never changes the editor";

    // Create.
    m_desktop.calls.clear();
    click("Command1");
    ASSERT_FALSE(m_desktop.calls.isEmpty());
    const bool created = m_desktop.calls.first().kind == Call::Information;
    if (!created) {
        EXPECT_EQ(m_desktop.calls.size(), 1);
        EXPECT_EQ(m_window->pageSet(), work) << "a refused creation keeps the editor";
    }

    // Open: the set's data page when it was created, else whatever is listed.
    onModal([&](QWidget *picker) {
        auto *list = picker->findChild<QListWidget *>(QStringLiteral("File1"));
        const auto data = list->findItems(title + QStringLiteral("_data.htm"), Qt::MatchExactly);
        if (!data.isEmpty())
            emit list->itemClicked(data.first());
        else if (list->count() > 0)
            emit list->itemClicked(list->item(0));
        else
            picker->close();
    });
    click("Sel_FleName");
    if (created)
        EXPECT_EQ(m_window->pageSet(), work) << "the created set reads back";

    // Options: every close saves the settings file.
    onModal([](QWidget *options) { options->close(); });
    click("Option_btn");

    EXPECT_EQ(strayWrites(before), QStringList{});
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    HostileTitles, Confinement,
    testing::Values(QStringLiteral("../x"), QStringLiteral("../../x"), QStringLiteral("a/b"),
                    QStringLiteral("/tmp/x"), QStringLiteral("a\\b"), QStringLiteral("..\\..\\x"),
                    QStringLiteral("a") + QChar(0) + QStringLiteral("/../../x"), QStringLiteral(".."),
                    QStringLiteral("."), QStringLiteral(".x"), QStringLiteral("~"), QStringLiteral("   "),
                    QStringLiteral("say \"hi\" it's"), QStringLiteral("<img src=x onerror=alert(1)>"),
                    QStringLiteral("<b>x</b>"), QStringLiteral("*?|:<>"), QString(300, u'a'),
                    QString(247, u'a'), QStringLiteral("x"), QStringLiteral("")),
    [](const testing::TestParamInfo<QString> &info) { return "title" + std::to_string(info.index); });
