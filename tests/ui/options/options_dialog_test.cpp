#include "ui/options/options_dialog.h"

#include "core/places/program_paths.h"
#include "ui/kit/form_layout.h"
#include "support/file_compare.h"
#include "support/ui_test_support.h"
#include "support/recording_desktop.h"

#include <QAbstractButton>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

using namespace zelmora;
using zelmora::test::readAll;
using zelmora::test::RecordingDesktop;
using zelmora::test::sameBytes;
using zelmora::test::writeFile;

namespace {

template <typename T = QWidget>
T *child(QWidget *dialog, const char *name)
{
    T *found = dialog->findChild<T *>(QString::fromLatin1(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
}

bool checked(QWidget *dialog, const char *name)
{
    return child<QAbstractButton>(dialog, name)->isChecked();
}

// Runs f on the modal window once the event loop of its exec() is running.
void onModal(std::function<void(QWidget *)> f)
{
    QTimer::singleShot(0, [f] {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal) {
            ADD_FAILURE() << "no modal window";
            return;
        }
        f(modal);
    });
}

const QByteArray kDefaultsFile = "[OptionSettei]\r\n"
                                 "DousaSettei=1\r\n"
                                 "KensakuSettei=0\r\n"
                                 "HomeName=リンクページ名\r\n"
                                 "HomeURL=リンクページURL\r\n"
                                 "KakucyosiSettei=0\r\n"
                                 "MojiCodeSettei=0\r\n"
                                 "KeishikiSettei=0\r\n";

class OptionsDialogTest : public testing::Test {
protected:
    QTemporaryDir dir;
    ProgramPaths paths = initPortablePaths(dir.path());
};

TEST_F(OptionsDialogTest, firstUseShowsDefaultsBesideTheMainWindowAndSavesThem)
{
    QWidget mainWindow;
    mainWindow.setGeometry(100, 80, 600, 400);
    mainWindow.show();
    bool seen = false;
    onModal([&](QWidget *dialog) {
        seen = true;
        EXPECT_EQ(dialog->objectName(), QStringLiteral("Form4"));
        EXPECT_EQ(dialog->pos(), mainWindow.frameGeometry().topLeft() + QPoint(209, 58));
        EXPECT_TRUE(checked(dialog, "ChkBrowser"));
        EXPECT_TRUE(checked(dialog, "OptSettei_0"));
        EXPECT_TRUE(checked(dialog, "OptKcyosi_0"));
        EXPECT_TRUE(checked(dialog, "OptMoji_0"));
        for (const char *name : {"Text_HomeName", "Text_URL"})
            EXPECT_FALSE(child(dialog, name)->isEnabled()) << name;
        EXPECT_EQ(child<QLineEdit>(dialog, "Text_HomeName")->text(), QStringLiteral("リンクページ名"));
        EXPECT_EQ(child<QLineEdit>(dialog, "Text_URL")->text(), QStringLiteral("リンクページURL"));
        child<QAbstractButton>(dialog, "Command1")->click();
    });
    showOptionsDialog(&mainWindow, paths, test::messageBoxes());
    EXPECT_TRUE(seen);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_TRUE(sameBytes(kDefaultsFile, readAll(paths.settingsFile)));
}

enum class CloseBy { OkButton, CloseBox, Escape };

class EveryClose : public OptionsDialogTest, public testing::WithParamInterface<CloseBy> {};

TEST_P(EveryClose, savesTheControls)
{
    onModal([](QWidget *dialog) {
        child<QAbstractButton>(dialog, "ChkBrowser")->click();
        child<QAbstractButton>(dialog, "OptSettei_2")->click();
        child<QLineEdit>(dialog, "Text_HomeName")->setText(QStringLiteral("名前"));
        child<QLineEdit>(dialog, "Text_URL")->setText(QStringLiteral("http://x/"));
        child<QAbstractButton>(dialog, "OptKcyosi_1")->click();
        child<QAbstractButton>(dialog, "OptMoji_1")->click();
        child<QAbstractButton>(dialog, "OptKeishiki_1")->click();
        EXPECT_FALSE(child<QWidget>(dialog, "Frame6")->isEnabled()) << "HTML5 pages are always UTF-8";
        switch (GetParam()) {
        case CloseBy::OkButton:
            child<QAbstractButton>(dialog, "Command1")->click();
            break;
        case CloseBy::CloseBox:
            dialog->close();
            break;
        case CloseBy::Escape:
            QTest::keyClick(dialog, Qt::Key_Escape);
            break;
        }
    });
    showOptionsDialog(nullptr, paths, test::messageBoxes());
    EXPECT_TRUE(sameBytes("[OptionSettei]\r\n"
                          "DousaSettei=0\r\n"
                          "KensakuSettei=2\r\n"
                          "HomeName=名前\r\n"
                          "HomeURL=http://x/\r\n"
                          "KakucyosiSettei=1\r\n"
                          "MojiCodeSettei=1\r\n"
                          "KeishikiSettei=1\r\n",
                          readAll(paths.settingsFile)));
}

INSTANTIATE_TEST_SUITE_P(OptionsDialog, EveryClose,
                         testing::Values(CloseBy::OkButton, CloseBy::CloseBox, CloseBy::Escape));

TEST_F(OptionsDialogTest, linkFieldsFollowRobotsAllowedAndKeepTheirTexts)
{
    OptionsDialog dialog(paths.settingsFile, test::messageBoxes());
    auto *name = child<QLineEdit>(&dialog, "Text_HomeName");
    auto *url = child<QLineEdit>(&dialog, "Text_URL");

    child<QAbstractButton>(&dialog, "OptSettei_2")->click();
    EXPECT_TRUE(name->isEnabled());
    EXPECT_TRUE(url->isEnabled());
    name->setText(QStringLiteral("n"));
    url->setText(QStringLiteral("u"));

    for (const char *closing : {"OptSettei_1", "OptSettei_0"}) {
        child<QAbstractButton>(&dialog, "OptSettei_2")->click();
        child<QAbstractButton>(&dialog, closing)->click();
        EXPECT_FALSE(name->isEnabled()) << closing;
        EXPECT_FALSE(url->isEnabled()) << closing;
        EXPECT_EQ(name->text(), QStringLiteral("n"));
        EXPECT_EQ(url->text(), QStringLiteral("u"));
    }
    // Closed fields are saved all the same.
    EXPECT_EQ(dialog.settings().HomeName, QStringLiteral("n"));
    EXPECT_EQ(dialog.settings().HomeURL, QStringLiteral("u"));
}

struct LoadCase {
    const char *name;
    QByteArray file;
    bool browser;
    const char *robots;    // the OptSettei option selected
    const char *extension; // the OptKcyosi option selected
    bool linkFieldsOpen;
    const char *encoding;  // the OptMoji option selected
};

void PrintTo(const LoadCase &c, std::ostream *os) { *os << c.name; }

class Load : public OptionsDialogTest, public testing::WithParamInterface<LoadCase> {};

TEST_P(Load, setsTheControlsFromTheFile)
{
    writeFile(paths.settingsFile, GetParam().file);
    OptionsDialog dialog(paths.settingsFile, test::messageBoxes());
    EXPECT_EQ(checked(&dialog, "ChkBrowser"), GetParam().browser);
    EXPECT_TRUE(checked(&dialog, GetParam().robots));
    EXPECT_TRUE(checked(&dialog, GetParam().extension));
    EXPECT_EQ(child(&dialog, "Text_HomeName")->isEnabled(), GetParam().linkFieldsOpen);
    EXPECT_EQ(child(&dialog, "Text_URL")->isEnabled(), GetParam().linkFieldsOpen);
    EXPECT_TRUE(checked(&dialog, GetParam().encoding));
}

INSTANTIATE_TEST_SUITE_P(
    OptionsDialog, Load,
    testing::Values(
        LoadCase{"robotsAllowedOpensTheLinkFields",
                 "[OptionSettei]\r\nDousaSettei=1\r\nKensakuSettei=2\r\nKakucyosiSettei=1\r\n"
                 "MojiCodeSettei= 1 \r\n",
                 true, "OptSettei_2", "OptKcyosi_1", true, "OptMoji_1"},
        LoadCase{"robotsForbidden", "[OptionSettei]\r\nDousaSettei=0\r\nKensakuSettei=1\r\n", false,
                 "OptSettei_1", "OptKcyosi_0", false, "OptMoji_0"},
        LoadCase{"numberOneInAnotherSpelling", "[OptionSettei]\r\nDousaSettei=01\r\nMojiCodeSettei=0\r\n", true,
                 "OptSettei_0", "OptKcyosi_0", false, "OptMoji_0"},
        LoadCase{"unknownTextsKeepTheInitialChoices",
                 "[OptionSettei]\r\nDousaSettei=yes\r\nKensakuSettei=3\r\n"
                 "KakucyosiSettei=.html\r\nMojiCodeSettei=UTF-8\r\n",
                 false, "OptSettei_0", "OptKcyosi_0", false, "OptMoji_0"}),
    [](const testing::TestParamInfo<LoadCase> &info) { return std::string(info.param.name); });

TEST_F(OptionsDialogTest, emptiedFieldRemovesItsKeyAndNextOpeningShowsTheDefault)
{
    writeFile(paths.settingsFile, kDefaultsFile);
    onModal([](QWidget *dialog) {
        child<QLineEdit>(dialog, "Text_HomeName")->clear();
        dialog->close();
    });
    showOptionsDialog(nullptr, paths, test::messageBoxes());
    EXPECT_TRUE(sameBytes("[OptionSettei]\r\n"
                          "DousaSettei=1\r\n"
                          "KensakuSettei=0\r\n"
                          "HomeURL=リンクページURL\r\n"
                          "KakucyosiSettei=0\r\n"
                          "MojiCodeSettei=0\r\n"
                          "KeishikiSettei=0\r\n",
                          readAll(paths.settingsFile)));

    OptionsDialog again(paths.settingsFile, test::messageBoxes());
    EXPECT_EQ(child<QLineEdit>(&again, "Text_HomeName")->text(), QStringLiteral("リンクページ名"));
}

TEST_F(OptionsDialogTest, failedSaveWarnsOnceAndStillCloses)
{
    const QString unwritable = dir.filePath(QStringLiteral("gone/Zelmora.ini"));
    RecordingDesktop desktop;
    OptionsDialog dialog(unwritable, desktop);
    onModal([](QWidget *modal) { modal->close(); });
    dialog.exec();
    EXPECT_FALSE(dialog.isVisible());
    ASSERT_EQ(desktop.calls.size(), 1);
    EXPECT_EQ(desktop.calls[0].kind, RecordingDesktop::Call::Warning);
    EXPECT_TRUE(desktop.calls[0].text.contains(QStringLiteral("保存できませんでした")));
    EXPECT_TRUE(desktop.calls[0].text.contains(unwritable));
}

TEST_F(OptionsDialogTest, failedSaveShowsAWarningBoxOverTheDialog)
{
    paths.settingsFile = dir.path(); // a folder cannot be replaced by a file
    QString boxText;
    onModal([&](QWidget *dialog) {
        onModal([&](QWidget *box) {
            auto *messageBox = qobject_cast<QMessageBox *>(box);
            ASSERT_NE(messageBox, nullptr);
            boxText = messageBox->text();
            EXPECT_EQ(messageBox->icon(), QMessageBox::Warning);
            messageBox->accept();
        });
        child<QAbstractButton>(dialog, "Command1")->click();
    });
    showOptionsDialog(nullptr, paths, test::messageBoxes());
    EXPECT_TRUE(boxText.contains(dir.path())) << boxText.toStdString();
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

// ---- layout --------------------------------------------------------------

struct ControlRow {
    const char *name;
    const char *parent;
    int left, top, width, height;
    QString caption;
};

void PrintTo(const ControlRow &row, std::ostream *os) { *os << row.name; }

QString captionOf(QWidget *widget)
{
    if (auto *box = qobject_cast<QGroupBox *>(widget))
        return box->title();
    if (auto *button = qobject_cast<QAbstractButton *>(widget))
        return button->text();
    if (auto *label = qobject_cast<QLabel *>(widget))
        return label->text();
    if (auto *edit = qobject_cast<QLineEdit *>(widget))
        return edit->text();
    return QStringLiteral("<no caption>");
}

class Layout : public OptionsDialogTest, public testing::WithParamInterface<ControlRow> {};

TEST_P(Layout, controlHasItsPlaceAndCaption)
{
    OptionsDialog dialog(paths.settingsFile, test::messageBoxes());
    const ControlRow &row = GetParam();
    QWidget *widget = child(&dialog, row.name);
    ASSERT_NE(widget, nullptr);
    EXPECT_EQ(widget->parentWidget()->objectName(), QString::fromLatin1(row.parent));
    // Inside a frame, moved down as far as the style's frame line needs.
    const QRect table = twipsRect(row.left, row.top, row.width, row.height);
    const int down = widget->y() - table.y();
    QRect placed = widget->geometry().translated(0, -down);
    if (placed.height() != table.height()) {
        EXPECT_EQ(placed.height(), widget->sizeHint().height()) << "only ever down to its size hint";
        placed.setHeight(table.height());
    }
    EXPECT_EQ(placed, table);
    EXPECT_TRUE(down == 0 || (qobject_cast<QGroupBox *>(widget->parentWidget()) && down > 0 && down <= 8)) << down;
    EXPECT_EQ(captionOf(widget), row.caption);
}

INSTANTIATE_TEST_SUITE_P(
    OptionsDialog, Layout,
    testing::Values(
        ControlRow{"Frame3", "Form4", 120, 120, 5655, 735, QStringLiteral("動作設定(&D)")},
        ControlRow{"ChkBrowser", "Frame3", 120, 240, 5415, 375,
                   QStringLiteral("『作成』 後、ブラウザで動作確認をする")},
        ControlRow{"Frame5", "Form4", 120, 1080, 5655, 1095, QStringLiteral("拡張子設定(&E)")},
        ControlRow{"OptKcyosi_0", "Frame5", 240, 240, 4815, 375,
                   QStringLiteral("作成ファイルの拡張子を ［ .htm ］ にする")},
        ControlRow{"OptKcyosi_1", "Frame5", 240, 600, 4815, 375,
                   QStringLiteral("作成ファイルの拡張子を ［ .html ］ にする")},
        ControlRow{"Frame2", "Form4", 120, 2400, 5655, 3015, QStringLiteral("ロボット検索対応設定(&R)")},
        // The robots options and the home link lie inside Frame2.
        ControlRow{"OptSettei_1", "Frame2", 240, 240, 2775, 375,
                   QStringLiteral("ロボット検索 【不可】 設定")},
        ControlRow{"OptSettei_2", "Frame2", 240, 600, 2775, 375,
                   QStringLiteral("ロボット検索 【可】 設定")},
        ControlRow{"Frame1", "Frame2", 120, 960, 5415, 1455,
                   QStringLiteral("[ HOME ] ページへのリンク(&L)")},
        ControlRow{"Label1", "Frame1", 120, 355, 2055, 255, QStringLiteral("リンクページ名")},
        ControlRow{"Text_HomeName", "Frame1", 1440, 310, 2895, 270, QStringLiteral("リンクページ名")},
        ControlRow{"Label2", "Frame1", 120, 720, 1575, 255, QStringLiteral("リンクページURL")},
        ControlRow{"Text_URL", "Frame1", 240, 960, 5055, 270, QStringLiteral("リンクページURL")},
        ControlRow{"OptSettei_0", "Frame2", 240, 2520, 2775, 375, QStringLiteral("なし")},
        ControlRow{"Command1", "Form4", 4080, 7920, 1600, 375, QStringLiteral("ＯＫ")},
        // Added below the controls above, none of which moved.
        ControlRow{"Frame6", "Form4", 120, 5520, 5655, 1095, QStringLiteral("文字コード設定(&M)")},
        ControlRow{"OptMoji_0", "Frame6", 240, 240, 4815, 375, QStringLiteral("Shift_JIS（従来）")},
        ControlRow{"OptMoji_1", "Frame6", 240, 600, 4815, 375, QStringLiteral("UTF-8")},
        ControlRow{"Frame7", "Form4", 120, 6720, 5655, 1095, QStringLiteral("ページ形式(&K)")},
        ControlRow{"OptKeishiki_0", "Frame7", 240, 240, 4815, 375, QStringLiteral("従来形式")},
        ControlRow{"OptKeishiki_1", "Frame7", 240, 600, 4815, 375, QStringLiteral("HTML5（スマートフォン対応）")}),
    [](const testing::TestParamInfo<ControlRow> &info) { return std::string(info.param.name); });

TEST_F(OptionsDialogTest, windowGroupsAndStacking)
{
    OptionsDialog dialog(paths.settingsFile, test::messageBoxes());
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("オプション設定"));
    EXPECT_EQ(dialog.size(), QSize(twips(5895), twips(8400)));

    for (const auto &[group, count] : {std::pair{"OptSettei", 3}, std::pair{"OptKcyosi", 2}, std::pair{"OptMoji", 2},
                                       std::pair{"OptKeishiki", 2}}) {
        auto *buttons = dialog.findChild<QButtonGroup *>(QString::fromLatin1(group));
        ASSERT_NE(buttons, nullptr) << group;
        EXPECT_TRUE(buttons->exclusive());
        ASSERT_EQ(buttons->buttons().size(), count) << group;
        for (int id = 0; id < count; ++id) {
            EXPECT_EQ(buttons->button(id)->objectName(),
                      QString::fromLatin1(group) + u'_' + QString::number(id));
        }
    }

    // Each frame's mnemonic takes the focus to its chosen option.
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    for (const auto &[key, focused] : {std::pair{Qt::Key_D, "ChkBrowser"}, std::pair{Qt::Key_E, "OptKcyosi_0"},
                                       std::pair{Qt::Key_R, "OptSettei_0"}, std::pair{Qt::Key_M, "OptMoji_0"},
                                       std::pair{Qt::Key_K, "OptKeishiki_0"}}) {
        QTest::keyClick(&dialog, key, Qt::AltModifier);
        EXPECT_EQ(QApplication::focusWidget()->objectName(), QString::fromLatin1(focused));
    }

    // Each encoding says in one sentence when to choose it.
    for (const char *name : {"OptMoji_0", "OptMoji_1"}) {
        const QString tip = child(&dialog, name)->toolTip();
        EXPECT_TRUE(tip.endsWith(QStringLiteral("に選びます。"))) << name;
        EXPECT_EQ(tip.count(u'。'), 1) << name;
    }
}

} // namespace
