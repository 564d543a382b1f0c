// The main window as the commands see it: the page set it shows and gives,
// the reset, and the commands that go to the desktop.

#include "app/main_window.h"
#include "app/about_box.h"
#include "support/record_editor.h"
#include "core/commands/commands.h"
#include "core/generate/css_colour.h"
#include "support/file_compare.h"
#include "support/recording_desktop.h"
#include "support/ui_test_support.h"

#include "build_config.h"

#include <QAbstractButton>
#include <QContextMenuEvent>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <cmath>

using namespace zelmora;
using zelmora::test::child;
using Call = zelmora::test::RecordingDesktop::Call;

namespace {

// Every field away from its initial value, with a broken chain (page 4 of
// kind none between filled pages) and texts the window must keep as they are.
PageSet fullSet()
{
    PageSet set;
    set.title = QStringLiteral("abc");
    set.page(1) = {PageKind::Text, QStringLiteral("一行目\r\n二行目\r\n\r\n末\u00a0尾 "),
                   QStringLiteral("s1.gif"), QStringLiteral("標準1"), QStringLiteral("w1.gif"), QStringLiteral("ワイド1")};
    set.page(2) = {PageKind::StandardPicture, {}, QStringLiteral("a.gif"), QStringLiteral("<b>&amp;"), {}, kDefaultAlt};
    set.page(3) = {PageKind::WidePicture, QStringLiteral("残り"), {}, kDefaultAlt, QStringLiteral("w.jpg"), QString()};
    set.page(4) = {PageKind::None, QStringLiteral("閉じた頁"), {}, kDefaultAlt, {}, kDefaultAlt};
    set.page(5) = {PageKind::Text, QStringLiteral("5"), {}, kDefaultAlt, {}, kDefaultAlt};
    set.page(6) = {PageKind::WidePicture, {}, {}, kDefaultAlt, QStringLiteral("6.png"), QStringLiteral("六")};
    set.backgroundKind = BackgroundKind::Picture;
    set.backgroundAttribute = kPictureAttribute;
    set.backgroundValue = QStringLiteral("back.gif");
    return set;
}

class MainWindowTest : public testing::Test {
protected:
    void SetUp() override
    {
        window = std::make_unique<MainWindow>(desktop, initPortablePaths(dir.path()));
        window->show();
    }

    bool frameOpen(int k) { return child<QWidget>(window.get(), QStringLiteral("Frame%1").arg(k))->isEnabled(); }

    QTemporaryDir dir;
    test::RecordingDesktop desktop;
    std::unique_ptr<MainWindow> window;
};

} // namespace

TEST_F(MainWindowTest, showsAPageSetAndGivesItBack)
{
    const PageSet set = fullSet();
    window->showPageSet(set);
    EXPECT_EQ(window->pageSet(), set);

    // The selections ran the rules: the chain follows the kinds.
    EXPECT_TRUE(frameOpen(4));
    EXPECT_FALSE(frameOpen(5)) << "page 4 is none";
    EXPECT_TRUE(frameOpen(6));
    EXPECT_FALSE(child<QWidget>(window.get(), QStringLiteral("SelColor_BK"))->isEnabled());
    EXPECT_TRUE(child<QWidget>(window.get(), QStringLiteral("OpenFiles_BK"))->isEnabled());
    // File names are shown as text, never as markup.
    EXPECT_EQ(child<QLabel>(window.get(), QStringLiteral("Label2_0"))->textFormat(), Qt::PlainText);

    // The set's own attribute name survives the kind rule, even the initial one.
    PageSet initial;
    window->showPageSet(initial);
    EXPECT_EQ(window->pageSet(), initial);
    EXPECT_EQ(window->pageSet().backgroundAttribute, QStringLiteral("BgColor＝"));
}

TEST_F(MainWindowTest, setTitleFillsTheTitleBox)
{
    window->setTitle(QStringLiteral("題名"));
    EXPECT_EQ(child<QLineEdit>(window.get(), QStringLiteral("t_Text"))->text(), QStringLiteral("題名"));
    EXPECT_EQ(window->pageSet().title, QStringLiteral("題名"));
}

TEST_F(MainWindowTest, resetClearsEverythingButTheTitleAndShowsTheFirstTab)
{
    window->showPageSet(fullSet());
    auto *tabs = child<QTabWidget>(window.get(), QStringLiteral("SSTab1"));
    tabs->setCurrentIndex(4);
    window->state().extension = QStringLiteral(".htm");
    window->state().contents(3) = QStringLiteral("Text");
    const EditorState state = window->state();

    window->resetEditor();

    PageSet expected;
    expected.title = QStringLiteral("abc");
    expected.backgroundAttribute = kColourAttribute; // the colour kind was selected as a click would
    EXPECT_EQ(window->pageSet(), expected);
    EXPECT_EQ(tabs->currentIndex(), 0);
    EXPECT_TRUE(frameOpen(1));
    for (int k = 2; k <= 6; ++k)
        EXPECT_FALSE(frameOpen(k)) << k;
    EXPECT_TRUE(child<QWidget>(window.get(), QStringLiteral("SelColor_BK"))->isEnabled());
    EXPECT_FALSE(child<QWidget>(window.get(), QStringLiteral("OpenFiles_BK"))->isEnabled());
    EXPECT_FALSE(child<QWidget>(window.get(), QStringLiteral("Text1"))->isEnabled());
    EXPECT_EQ(window->state(), state) << "the window-level values are not the editor's";

    // The same as the record's reset.
    RecordEditor record(fullSet());
    record.resetEditor();
    EXPECT_EQ(window->pageSet(), record.pageSet());
}

TEST_F(MainWindowTest, resetRunsTheColourRuleEvenWhenColourWasSelected)
{
    ASSERT_EQ(window->pageSet().backgroundAttribute, QStringLiteral("BgColor＝"));
    child<QLineEdit>(window.get(), QStringLiteral("Text_BK"))->setText(QStringLiteral("#FFFFFF"));
    window->resetEditor();
    EXPECT_EQ(window->pageSet().backgroundAttribute, QStringLiteral("BgColor="));
    EXPECT_EQ(window->pageSet().backgroundValue, QString());
}

TEST_F(MainWindowTest, folderAndHelpGoToTheDesktop)
{
    child<QAbstractButton>(window.get(), QStringLiteral("PLF_Open_btn"))->click();
    child<QAbstractButton>(window.get(), QStringLiteral("Help"))->click();
    EXPECT_EQ(desktop.calls, (QList<Call>{{Call::Open, window->paths().outputFolder},
                                          {Call::Open, window->paths().helpFile}}));
}

TEST_F(MainWindowTest, createWritesTheSetAndEmptiesTheEditor)
{
    PageSet set;
    set.title = QStringLiteral("abc");
    set.page(1).kind = PageKind::Text;
    set.page(1).text = QStringLiteral("一行");
    window->showPageSet(set);

    child<QAbstractButton>(window.get(), QStringLiteral("Command1"))->click();

    const QString out = window->paths().outputFolder;
    EXPECT_TRUE(QFileInfo::exists(out + QStringLiteral("abc_1.htm")));
    EXPECT_TRUE(QFileInfo::exists(out + QStringLiteral("abc_data.htm")));
    ASSERT_FALSE(desktop.calls.isEmpty());
    EXPECT_EQ(desktop.calls.first(), (Call{Call::Information, createdPagesMessage(QStringLiteral("abc"), QStringLiteral(".htm"), 1)}));
    EXPECT_EQ(window->state().contents(1), QStringLiteral("Text"));
    PageSet empty;
    empty.backgroundAttribute = kColourAttribute;
    EXPECT_EQ(window->pageSet(), empty) << "after a creation the editor is empty";
}

TEST_F(MainWindowTest, createAndPreviewRefuseATitleThatLeavesTheFolder)
{
    PageSet set;
    set.title = QStringLiteral("../abc");
    set.page(1).kind = PageKind::Text;
    window->showPageSet(set);

    child<QAbstractButton>(window.get(), QStringLiteral("Command1"))->click();
    child<QAbstractButton>(window.get(), QStringLiteral("Command2"))->click();
    const Call refused{Call::Warning, forbiddenTitleMessage(u'/')};
    EXPECT_EQ(desktop.calls, (QList<Call>{refused, refused}));
    EXPECT_EQ(window->pageSet(), set) << "the editor keeps the user's work";
    EXPECT_TRUE(QDir(window->paths().outputFolder).isEmpty());
}

TEST_F(MainWindowTest, openAndOptionsShowTheirWindows)
{
    QStringList shown;
    const auto closeAndNote = [&shown](QWidget *modal) {
        shown.append(modal->objectName());
        modal->close();
    };
    test::onNextModal(closeAndNote);
    child<QAbstractButton>(window.get(), QStringLiteral("Sel_FleName"))->click();
    test::onNextModal(closeAndNote);
    child<QAbstractButton>(window.get(), QStringLiteral("Option_btn"))->click();
    EXPECT_EQ(shown, (QStringList{QStringLiteral("Form2"), QStringLiteral("Form4")}));
    EXPECT_EQ(window->pageSet(), PageSet{}) << "closing the set picker reads nothing";
}

TEST_F(MainWindowTest, closeEndsTheWindow)
{
    ASSERT_TRUE(window->isVisible());
    child<QAbstractButton>(window.get(), QStringLiteral("Command3"))->click();
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(desktop.calls.isEmpty());
}

// バージョン情報 from the ? button's context menu, however it is asked for.
class AboutMenu : public MainWindowTest, public testing::WithParamInterface<QContextMenuEvent::Reason> {};

TEST_P(AboutMenu, showsVersionLicenceAndPage)
{
    auto *help = child<QAbstractButton>(window.get(), QStringLiteral("Help"));
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    help->setFocus();
    QString about;
    std::function<void()> choose = [&] {
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        if (!menu)
            return void(QTimer::singleShot(10, choose));
        test::onNextModal([&](QWidget *box) {
            EXPECT_EQ(box->parentWidget(), window.get());
            about = box->windowTitle() + child<QLabel>(box, QStringLiteral("AboutText"))->text();
            box->close();
        });
        // Shift+F10 takes the item by its mnemonic; the Menu key finds it
        // highlighted; a right click points at it.
        if (GetParam() == QContextMenuEvent::Mouse)
            menu->setActiveAction(menu->actions().value(0));
        QTest::keyClick(menu, GetParam() == QContextMenuEvent::Other ? Qt::Key_A : Qt::Key_Return);
    };
    QTimer::singleShot(0, choose);
    QContextMenuEvent event(GetParam(), help->rect().center(), help->mapToGlobal(help->rect().center()));
    if (GetParam() == QContextMenuEvent::Other) // Shift+F10, which no platform makes a menu event
        QTest::keyClick(help, Qt::Key_F10, Qt::ShiftModifier);
    else // a right click or the Menu key, as the platform delivers them
        QApplication::sendEvent(help, &event);

    for (const char *part : {"バージョン情報", ZELMORA_VERSION, "GPL-3.0-or-later", ZELMORA_HOMEPAGE_URL})
        EXPECT_TRUE(about.contains(QString::fromUtf8(part))) << part << " in " << about.toStdString();
    EXPECT_TRUE(desktop.calls.isEmpty()) << "the help file is not opened";
}

// The link drawn in a colour that reads at 4.5:1 on a light and a dark palette.
TEST(AboutBoxLink, readsOnALightAndADarkPalette)
{
    const auto luminance = [](QColor c) { return relativeLuminance(c.redF(), c.greenF(), c.blueF()); };
    const QPalette before = QApplication::palette();
    for (const QPalette &palette : {QPalette(QColor(0xef, 0xef, 0xef)), QPalette(QColor(0x35, 0x35, 0x35), QColor(0x2a, 0x2a, 0x2a))}) {
        QApplication::setPalette(palette);
        AboutBox box;
        auto *text = child<QLabel>(&box, QStringLiteral("AboutText"));
        const QColor back = palette.color(QPalette::Window);
        const QImage shown = text->grab().toImage();
        // The link's colour: the most frequent one that is neither the
        // window's nor the text's (the rest are the glyphs' soft edges).
        QHash<QRgb, int> counts;
        for (int y = 0; y < shown.height(); ++y)
            for (int x = 0; x < shown.width(); ++x)
                ++counts[shown.pixel(x, y) | 0xff000000];
        counts.remove(back.rgb());
        counts.remove(palette.color(QPalette::WindowText).rgb());
        QColor link;
        for (auto it = counts.cbegin(); it != counts.cend(); ++it)
            if (!link.isValid() || it.value() > counts.value(link.rgb()))
                link = QColor::fromRgb(it.key());
        const double ratio = contrastRatio(luminance(link), luminance(back));
        EXPECT_GE(ratio, 4.5) << link.name().toStdString() << " on " << back.name().toStdString();
    }
    QApplication::setPalette(before);
}

INSTANTIATE_TEST_SUITE_P(MainWindowTest, AboutMenu,
                         testing::Values(QContextMenuEvent::Mouse, QContextMenuEvent::Keyboard, QContextMenuEvent::Other),
                         [](const auto &info) { return std::string(info.index == 0 ? "rightClick" : info.index == 1 ? "menuKey" : "shiftF10"); });

// Each key does what its button does; a kind's mnemonic chooses the kind.
// What happened is told as: the desktop's calls, a window opened, the
// window closed, page 1's kind.
class Keys : public MainWindowTest, public testing::WithParamInterface<std::pair<QKeySequence, const char *>> {};

TEST_P(Keys, pressTheirCommand)
{
    const auto [key, expected] = GetParam();
    // A set of this title on disk, which create asks before replacing (the
    // real box, answered with Enter), and a folder where preview would write
    // page 1, which it reports with a warning.
    const QString page1 = window->paths().outputFolder + QStringLiteral("abc_1.htm");
    test::writeFile(page1, "earlier");
    ASSERT_TRUE(QDir().mkpath(window->paths().previewFolder + QStringLiteral("abc_1.htm")));
    desktop.asks = &test::messageBoxes();
    PageSet set;
    set.title = QStringLiteral("abc");
    set.page(1).kind = PageKind::Text;
    window->showPageSet(set);
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    // A window the key opens is noted and closed; a message box is answered
    // with Enter, whichever key opened it.
    QStringList effect;
    QTimer modals;
    QObject::connect(&modals, &QTimer::timeout, [&effect] {
        QWidget *shown = QApplication::activeModalWidget();
        if (qobject_cast<QMessageBox *>(shown)) {
            QTest::keyClick(shown, Qt::Key_Return);
        } else if (shown) {
            effect << shown->objectName();
            shown->close();
        }
    });
    modals.start(10);
    QTest::keySequence(window.get(), key);
    QTest::qWaitFor([&] { return !effect.isEmpty() || !desktop.calls.isEmpty() || !window->isVisible() || window->pageSet() != set; });
    static const char *const kinds[] = {"information", "plain", "warning", "open", "question", "choose"};
    for (const Call &call : desktop.calls)
        effect << (call.text == window->paths().helpFile ? QStringLiteral("help") : QString::fromLatin1(kinds[call.kind]));
    if (!window->isVisible())
        effect << QStringLiteral("closed");
    if (window->pageSet().page(1).kind != PageKind::Text)
        effect << QStringLiteral("kind %1").arg(int(window->pageSet().page(1).kind));
    EXPECT_EQ(effect.join(u' '), QString::fromUtf8(expected)) << key.toString().toStdString();
    EXPECT_EQ(test::readAll(page1), "earlier");
}

INSTANTIATE_TEST_SUITE_P(MainWindow, Keys, testing::Values(
    std::pair{QKeySequence(Qt::Key_F1), "help"}, std::pair{QKeySequence(Qt::CTRL | Qt::Key_O), "Form2"},
    std::pair{QKeySequence(Qt::CTRL | Qt::Key_P), "warning"}, std::pair{QKeySequence(Qt::CTRL | Qt::Key_S), "question"},
    std::pair{QKeySequence(Qt::CTRL | Qt::Key_Q), "closed"}, std::pair{QKeySequence(Qt::CTRL | Qt::Key_W), "closed"},
    std::pair{QKeySequence(Qt::ALT | Qt::Key_P), "warning"}, std::pair{QKeySequence(Qt::ALT | Qt::Key_S), "question"},
    std::pair{QKeySequence(Qt::ALT | Qt::Key_C), "closed"}, std::pair{QKeySequence(Qt::ALT | Qt::Key_N), "kind 0"},
    std::pair{QKeySequence(Qt::ALT | Qt::Key_I), "kind 2"}, std::pair{QKeySequence(Qt::ALT | Qt::Key_W), "kind 3"},
    // 参照 beside the chosen kind: the background's after Alt+B; a text page has none.
    std::pair{QKeySequence(Qt::ALT | Qt::Key_B, Qt::ALT | Qt::Key_R), "CommonDialog1"},
    std::pair{QKeySequence(Qt::ALT | Qt::Key_R), ""}));
