// The main window builds pages 2 to 6 after its first paint: each road that
// reaches those pages finds them, with the state the page rules give them,
// and the window looks the same as one with every page built.

#include "app/draft_keeper.h"
#include "app/main_window.h"
#include "core/files/draft_file.h"
#include "support/ui_test_support.h"
#include "support/recording_desktop.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileInfo>
#include <QStyle>
#include <QImage>
#include <QLineEdit>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <ostream>

#include <gtest/gtest.h>

using namespace zelmora;
using zelmora::test::child;

namespace {

QWidget *frame(const MainWindow &window, int k)
{
    return window.findChild<QWidget *>(QStringLiteral("Frame%1").arg(k));
}

PageSet filledSet()
{
    PageSet set;
    set.title = QStringLiteral("abc");
    set.page(1) = {PageKind::Text, QStringLiteral("一\r\n二"), {}, kDefaultAlt, {}, kDefaultAlt};
    set.page(2) = {PageKind::StandardPicture, {}, QStringLiteral("a.gif"), QStringLiteral("エー"), {}, kDefaultAlt};
    set.page(3) = {PageKind::None, QStringLiteral("残す"), {}, kDefaultAlt, {}, kDefaultAlt};
    set.page(5) = {PageKind::WidePicture, {}, {}, kDefaultAlt, QStringLiteral("w.png"), QStringLiteral("ダブ")};
    set.backgroundKind = BackgroundKind::Picture;
    set.backgroundAttribute = kPictureAttribute;
    set.backgroundValue = QStringLiteral("back.gif");
    return set;
}

// The question about the last run's draft, answered with a key.
std::function<PageSet(MainWindow &)> draftAnsweredWith(Qt::Key key)
{
    return [key](MainWindow &w) {
        // The single draft of older versions, which is offered like any other.
        const QString draft = QFileInfo(w.paths().settingsFile).dir().filePath(QStringLiteral("Zelmora.draft"));
        EXPECT_FALSE(saveDraft(draft, filledSet()));
        test::onNextModal([key](QWidget *box) { QTest::keyClick(box, key); });
        w.draft().offerRestore();
        return filledSet();
    };
}

struct Road {
    const char *name;
    // Reaches the hidden pages; the expected page set afterwards.
    std::function<PageSet(MainWindow &)> run;
    // Pages whose container must exist afterwards, and which must be open.
    int builtUpTo;
    std::array<bool, kPageCount> open;
};

void PrintTo(const Road &road, std::ostream *os)
{
    *os << road.name;
}

class HiddenPagesTest : public testing::TestWithParam<Road> {
protected:
    QTemporaryDir dir;
    test::RecordingDesktop desktop;
};

TEST_P(HiddenPagesTest, roadFindsThePagesWithTheirRules)
{
    MainWindow window(desktop, initPortablePaths(dir.path()));
    ASSERT_NE(frame(window, 1), nullptr);
    for (int k = 2; k <= kPageCount; ++k)
        ASSERT_EQ(frame(window, k), nullptr) << "page " << k << " was built before the first paint";

    const PageSet expected = GetParam().run(window);

    for (int k = 1; k <= kPageCount; ++k) {
        QWidget *container = frame(window, k);
        if (k > GetParam().builtUpTo) {
            EXPECT_EQ(container, nullptr) << "page " << k;
            continue;
        }
        ASSERT_NE(container, nullptr) << "page " << k;
        EXPECT_EQ(container->isEnabled(), GetParam().open[k - 1]) << "page " << k;
        // Each page's controls are found by their names.
        const QString n = QString::number(k);
        EXPECT_EQ(child<QLineEdit>(&window, QStringLiteral("p_Text") + n)->parentWidget(), container);
        // The text box is open as the page's kind says and shown with its page.
        auto *text = child<QWidget>(&window, QStringLiteral("Text") + n);
        EXPECT_EQ(text->isEnabled(), expected.page(k).kind == PageKind::Text) << "page " << k;
        if (container->isVisible())
            EXPECT_TRUE(text->isVisible()) << "page " << k;
        child<QAbstractButton>(&window, QStringLiteral("Option%1_3").arg(k));
    }
    EXPECT_EQ(window.pageSet(), expected); // builds whatever is left
    for (int k = 1; k <= kPageCount; ++k)
        EXPECT_NE(frame(window, k), nullptr) << "page " << k;
}

constexpr std::array<bool, kPageCount> kOnlyFirstOpen{true, false, false, false, false, false};

INSTANTIATE_TEST_SUITE_P(
    Roads, HiddenPagesTest,
    testing::Values(
        Road{"pageSet", [](MainWindow &w) { w.pageSet(); return PageSet{}; }, kPageCount, kOnlyFirstOpen},
        Road{"showPageSet",
             [](MainWindow &w) { w.showPageSet(filledSet()); return filledSet(); },
             kPageCount, {true, true, true, false, false, true}},
        // The question about the last run's draft, answered with Enter, or
        // closed with Escape, which throws nothing away either.
        Road{"draftRestoredByEnter", draftAnsweredWith(Qt::Key_Return), kPageCount, {true, true, true, false, false, true}},
        Road{"draftRestoredByEscape", draftAnsweredWith(Qt::Key_Escape), kPageCount, {true, true, true, false, false, true}},
        Road{"resetEditor",
             [](MainWindow &w) {
                 w.setTitle(QStringLiteral("keep"));
                 w.resetEditor();
                 PageSet set;
                 set.title = QStringLiteral("keep");
                 set.backgroundAttribute = kColourAttribute;
                 return set;
             },
             kPageCount, kOnlyFirstOpen},
        // Page 1 becomes a text page while page 2 is not built yet; the tab of
        // page 3, chosen on the shown window before its first paint, then
        // builds pages 2 and 3, page 2 open as the chain says, page 3 shown.
        Road{"chooseTab",
             [](MainWindow &w) {
                 w.show();
                 child<QAbstractButton>(&w, QStringLiteral("Option1_1"))->click();
                 child<QTabWidget>(&w, QStringLiteral("SSTab1"))->setCurrentIndex(2);
                 EXPECT_TRUE(child<QLineEdit>(&w, QStringLiteral("w_Text3"))->isVisible());
                 EXPECT_FALSE(child<QLineEdit>(&w, QStringLiteral("w_Text2"))->isVisible());
                 PageSet set;
                 set.page(1).kind = PageKind::Text;
                 return set;
             },
             3, {true, true, false, false, false, false}},
        Road{"firstPaint",
             [](MainWindow &w) {
                 w.show();
                 EXPECT_TRUE(QTest::qWaitFor([&] { return frame(w, kPageCount) != nullptr; }, 5000));
                 return PageSet{};
             },
             kPageCount, kOnlyFirstOpen}),
    [](const testing::TestParamInfo<Road> &info) { return std::string(info.param.name); });

TEST(HiddenPages, firstPaintIsTheSameAsWithEveryPageBuilt)
{
    QTemporaryDir dir;
    test::RecordingDesktop desktop;
    MainWindow atOnce(desktop, initPortablePaths(dir.path()));
    atOnce.pageSet(); // builds every page
    MainWindow afterPaint(desktop, initPortablePaths(dir.path()));
    const QImage expected = atOnce.grab().toImage();
    const QImage shown = afterPaint.grab().toImage();
    ASSERT_FALSE(expected.isNull());
    EXPECT_EQ(shown, expected);
    EXPECT_EQ(frame(afterPaint, 2), nullptr); // the grab itself built nothing hidden
}

// Tab goes through the inputs in the same order however late a page came.
TEST(HiddenPages, focusChainIsTheSameAsWithEveryPageBuilt)
{
    QTemporaryDir dir;
    test::RecordingDesktop desktop;
    auto chain = [](QWidget *window) {
        QStringList names;
        for (QWidget *w = window->nextInFocusChain(); w != window; w = w->nextInFocusChain()) {
            if (w->focusPolicy() != Qt::NoFocus)
                names << QString::fromLatin1(w->metaObject()->className()) + u' ' + w->objectName();
        }
        return names;
    };
    MainWindow atOnce(desktop, initPortablePaths(dir.path()));
    atOnce.pageSet(); // builds every page in order
    MainWindow afterPaint(desktop, initPortablePaths(dir.path()));
    // Out of order on purpose: the tab of page 4 first, then the rest.
    child<QTabWidget>(&afterPaint, QStringLiteral("SSTab1"))->setCurrentIndex(3);
    afterPaint.pageSet();
    const QStringList expected = chain(&atOnce);
    ASSERT_TRUE(expected.contains(QStringLiteral("QLineEdit w_Text6")));
    EXPECT_EQ(chain(&afterPaint).join(u'\n'), expected.join(u'\n'));
}

} // namespace

// Page 1 is whole before the first paint under every style: its text box
// is there to type into as soon as the window shows.
TEST(HiddenPages, firstPageIsWholeBeforeTheFirstPaintUnderEveryStyle)
{
    QTemporaryDir dir;
    test::RecordingDesktop desktop;
    const QString before = QApplication::style()->name();
    for (const char *style : {"fusion", "windows"}) {
        SCOPED_TRACE(style);
        QApplication::setStyle(QString::fromLatin1(style));
        MainWindow window(desktop, initPortablePaths(dir.path()));
        EXPECT_NE(window.findChild<QWidget *>(QStringLiteral("Text1")), nullptr);
        EXPECT_EQ(window.findChild<QWidget *>(QStringLiteral("Frame2")), nullptr);
        window.show();
        EXPECT_TRUE(QTest::qWaitFor([&] { return window.findChild<QWidget *>(QStringLiteral("Frame6")); }, 5000));
    }
    QApplication::setStyle(before);
}
