#include "app/program_windows.h"
#include "ui/set_picker/set_picker.h"
#include "support/record_editor.h"

#include "support/reopen_test_support.h"
#include "support/recording_desktop.h"

#include <QApplication>
#include <QDir>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

using namespace zelmora;
using namespace zelmora::test;
using Call = RecordingDesktop::Call;

namespace {

PageSet textSet(const QString &title, int pages, BackgroundKind background, const QString &value)
{
    PageSet set;
    set.title = title;
    for (int k = 1; k <= pages; ++k) {
        set.page(k).kind = k == 2 ? PageKind::WidePicture : PageKind::Text;
        set.page(k).text = title + QStringLiteral(" の ") + QString::number(k) + QStringLiteral("\r\n頁");
        if (k == 2) {
            set.page(k).text.clear();
            set.page(k).wideFile = QStringLiteral("wide.gif");
            set.page(k).wideAlt = QStringLiteral("横");
        }
    }
    selectBackgroundKind(set, background);
    set.backgroundValue = value;
    return set;
}

const PageSet kAbc = textSet(QStringLiteral("abc"), 3, BackgroundKind::Colour, QStringLiteral("#abcdef"));
const PageSet kWeb = textSet(QStringLiteral("web"), 2, BackgroundKind::Picture, QStringLiteral("b.jpg"));
const PageSet kZeta = textSet(QStringLiteral("Zeta"), 1, BackgroundKind::Colour, QString());

class SetPickerTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_paths.outputFolder = m_dir.path() + QStringLiteral("/Popleaf/");
        ASSERT_TRUE(QDir().mkpath(m_paths.outputFolder));
        ASSERT_NO_FATAL_FAILURE(writeSetAsCreated(m_paths.outputFolder, kAbc, QStringLiteral(".htm")));
        ASSERT_NO_FATAL_FAILURE(writeSetAsCreated(m_paths.outputFolder, kWeb, QStringLiteral(".html")));
        ASSERT_NO_FATAL_FAILURE(writeSetAsCreated(m_paths.outputFolder, kZeta, QStringLiteral(".htm")));
        for (const char *name : {"abc_data.htm", "web_data.html", "abc.htm", "notes.txt", "page.htm.bak"})
            ASSERT_NO_FATAL_FAILURE(writeFile(m_paths.outputFolder + QString::fromUtf8(name), "<html>\r\n"));
        // A page of abc under an upper-case extension: listed, but no set name.
        ASSERT_TRUE(QFile::copy(m_paths.outputFolder + QStringLiteral("abc_1.htm"),
                                m_paths.outputFolder + QStringLiteral("OLD_1.HTM")));
        ASSERT_TRUE(QDir().mkdir(m_paths.outputFolder + QStringLiteral("dir.htm")));

        m_before.title = QStringLiteral("typed");
        m_before.page(1).kind = PageKind::Text;
        m_before.page(1).text = QStringLiteral("never created");
        m_editor.set() = m_before;
        m_state.readExtension = QStringLiteral(".previous");

        m_main.setGeometry(100, 80, 640, 480);
        m_main.show();
    }

    // The open command; act gets the picker once it is the active modal window.
    void openPicker(const std::function<void(QDialog *)> &act)
    {
        bool acted = false;
        std::function<void()> attempt = [&] {
            auto *picker = qobject_cast<QDialog *>(QApplication::activeModalWidget());
            if (!picker) {
                QTimer::singleShot(0, attempt);
                return;
            }
            acted = true;
            act(picker);
        };
        QTimer::singleShot(0, attempt);
        ProgramWindows windows(&m_main, m_paths, m_desktop);
        openSet({m_editor, m_state, m_paths, m_desktop, windows});
        EXPECT_TRUE(acted);
    }

    static QListWidget *fileList(QDialog *picker)
    {
        auto *list = picker->findChild<QListWidget *>(QStringLiteral("File1"));
        EXPECT_NE(list, nullptr);
        return list;
    }

    static void clickFile(QDialog *picker, const QString &name)
    {
        QListWidget *list = fileList(picker);
        const QList<QListWidgetItem *> items = list->findItems(name, Qt::MatchExactly);
        ASSERT_EQ(items.size(), 1) << name.toStdString();
        list->scrollToItem(items.first());
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(items.first()).center());
    }

    QTemporaryDir m_dir;
    ProgramPaths m_paths;
    QWidget m_main;
    PageSet m_before;
    RecordEditor m_editor;
    EditorState m_state;
    RecordingDesktop m_desktop;
};

TEST_F(SetPickerTest, listsHtmlFilesInAnyCase_sortedWithoutCase_placedBesideMainWindow)
{
    openPicker([&](QDialog *picker) {
        EXPECT_EQ(picker->objectName(), QStringLiteral("Form2"));
        EXPECT_EQ(picker->windowTitle(), QString::fromUtf8("ファイル選択"));
        EXPECT_TRUE(picker->isModal());
        EXPECT_EQ(picker->pos(), m_main.frameGeometry().topLeft() + QPoint(228, 43));
        QListWidget *list = fileList(picker);
        EXPECT_EQ(list->geometry(), QRect(8, 8, 185, 150));
        EXPECT_TRUE(picker->rect().contains(list->geometry()));

        QStringList names;
        for (int i = 0; i < list->count(); ++i)
            names << list->item(i)->text();
        EXPECT_EQ(names, (QStringList{"abc.htm", "abc_1.htm", "abc_2.htm", "abc_3.htm", "abc_data.htm",
                                      "OLD_1.HTM", "web_1.html", "web_2.html", "web_data.html",
                                      "Zeta_1.htm"}));
        picker->close();
    });
}

TEST_F(SetPickerTest, missingOutputFolder_emptyList)
{
    m_paths.outputFolder = m_dir.path() + QStringLiteral("/gone/");
    openPicker([&](QDialog *picker) {
        EXPECT_EQ(fileList(picker)->count(), 0);
        picker->close();
    });
}

TEST_F(SetPickerTest, closeBox_changesNothing)
{
    openPicker([](QDialog *picker) { picker->close(); });
    EXPECT_EQ(m_editor.pageSet(), m_before);
    EXPECT_EQ(m_state.readExtension, QStringLiteral(".previous"));
    EXPECT_TRUE(m_desktop.calls.isEmpty());
}

struct Choice {
    const char *file;
    const PageSet *set; // nullptr: no set name, the reader finds nothing
    const char *ext;
    const char *message;
};

void PrintTo(const Choice &c, std::ostream *os) { *os << c.file; }

class Choosing : public SetPickerTest, public testing::WithParamInterface<Choice> {};

TEST_P(Choosing, clickedFile_opensItsSetWithMessage)
{
    const Choice &c = GetParam();
    openPicker([&](QDialog *picker) { clickFile(picker, QString::fromUtf8(c.file)); });

    if (c.set) {
        EXPECT_EQ(m_editor.pageSet(), *c.set);
        EXPECT_EQ(m_state.readExtension, QString::fromUtf8(c.ext));
        EXPECT_EQ(m_desktop.calls, (QList<Call>{{Call::Information, QString::fromUtf8(c.message)}}));
    } else {
        EXPECT_EQ(m_editor.pageSet(), m_before) << "a failed open keeps the user's work";
        EXPECT_EQ(m_state.readExtension, QStringLiteral(".previous"));
        EXPECT_EQ(m_desktop.calls, (QList<Call>{{Call::Plain, QString::fromUtf8(c.message)}}));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Files, Choosing,
    testing::Values(
        Choice{"abc_2.htm", &kAbc, ".htm", "ポップリーフ [ abc_1.htm ] ～ [ abc_3.htm ] を読み込みました。"},
        Choice{"abc_data.htm", &kAbc, ".htm", "ポップリーフ [ abc_1.htm ] ～ [ abc_3.htm ] を読み込みました。"},
        Choice{"web_1.html", &kWeb, ".html", "ポップリーフ [ web_1.html ] ～ [ web_2.html ] を読み込みました。"},
        Choice{"web_data.html", &kWeb, ".html", "ポップリーフ [ web_1.html ] ～ [ web_2.html ] を読み込みました。"},
        Choice{"Zeta_1.htm", &kZeta, ".htm", "ポップリーフ [ Zeta_1.htm ] を読み込みました。"},
        Choice{"abc.htm", nullptr, "", "ファイルが見つかりません。"},
        Choice{"OLD_1.HTM", nullptr, "", "ファイルが見つかりません。"}),
    [](const testing::TestParamInfo<Choice> &info) { return "file" + std::to_string(info.index); });

TEST_F(SetPickerTest, returnKeyOnFile_opensItsSetOnce)
{
    openPicker([&](QDialog *picker) {
        QListWidget *list = fileList(picker);
        list->setCurrentItem(list->findItems(QStringLiteral("web_2.html"), Qt::MatchExactly).value(0));
        list->setFocus();
        QTest::keyClick(list, Qt::Key_Return);
    });
    EXPECT_EQ(m_editor.pageSet(), kWeb);
    EXPECT_EQ(m_desktop.calls.size(), 1);
}

TEST_F(SetPickerTest, doubleClick_readsTheSetOnce)
{
    openPicker([&](QDialog *picker) {
        QListWidget *list = fileList(picker);
        QListWidgetItem *item = list->findItems(QStringLiteral("abc_1.htm"), Qt::MatchExactly).value(0);
        ASSERT_NE(item, nullptr);
        const QPoint at = list->visualItemRect(item).center();
        // A double click arrives as a click (which chooses and closes) and
        // then a double click and release, which activate the item again.
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, at);
    });
    EXPECT_EQ(m_editor.pageSet(), kAbc);
    EXPECT_EQ(m_desktop.calls.size(), 1);
}

} // namespace
