// Japanese typed as a user types it: romaji keys pressed on a real X display
// (xdotool), turned into kana and converted to kanji by Mozc inside fcitx5,
// committed into the real main window. Run through with_input_method.sh,
// which starts the display, the session bus and the input method.

#include "app/main_window.h"
#include "ui/page_inputs/page_inputs.h"
#include "support/ui_test_support.h"
#include "support/recording_desktop.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using namespace zelmora;
using zelmora::test::child;

namespace {

// Input-method steps may take a while on a loaded machine (Mozc's server
// starts with the first key); these are upper bounds, never waits.
constexpr int kImeTimeoutMs = 30000;

// The preedit text that the input method shows in the focused input, as the
// application receives it.
class PreeditSpy : public QObject {
public:
    PreeditSpy() { qApp->installEventFilter(this); }
    ~PreeditSpy() override { qApp->removeEventFilter(this); }

    QString preedit;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::InputMethod)
            preedit = static_cast<QInputMethodEvent *>(event)->preeditString();
        return false;
    }
};

// Presses keys on the X display, as a keyboard would.
::testing::AssertionResult xdotool(const QStringList &arguments)
{
    QProcess process;
    process.start(QStringLiteral("xdotool"), arguments);
    if (!process.waitForFinished(20000) || process.exitStatus() != QProcess::NormalExit
        || process.exitCode() != 0) {
        process.kill();
        return ::testing::AssertionFailure()
            << "xdotool " << arguments.join(u' ').toStdString() << " failed: "
            << process.readAllStandardError().toStdString();
    }
    return ::testing::AssertionSuccess();
}

// fcitx5's state for the focused window: 0 no input context yet, 1 the
// keyboard, 2 the input method active.
QString fcitxState()
{
    QProcess process;
    process.start(QStringLiteral("fcitx5-remote"), QStringList());
    if (!process.waitForFinished(5000)) {
        process.kill();
        process.waitForFinished();
        return QStringLiteral("(fcitx5-remote did not answer)");
    }
    return QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed();
}

::testing::AssertionResult typeRomaji(const QString &romaji)
{
    return xdotool({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("30"), romaji});
}

::testing::AssertionResult pressKey(const QString &key)
{
    return xdotool({QStringLiteral("key"), key});
}

class InputMethodTest : public testing::Test {
protected:
    void SetUp() override
    {
        if (const QByteArray reason = qgetenv("ZELMORA_IME_SKIP"); !reason.isEmpty())
            GTEST_SKIP() << reason.toStdString();
        if (QGuiApplication::platformName() != QStringLiteral("xcb"))
            GTEST_SKIP() << "needs an X display with an input method: run by with_input_method.sh";
        ASSERT_TRUE(dir.isValid());
        window = std::make_unique<MainWindow>(desktop, initPortablePaths(dir.path()));
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        // The window's input context reaches fcitx5 over the bus after the
        // window is shown, and Mozc's server starts with it; keys pressed
        // before both are there go past Mozc as plain letters. So "a" is
        // typed until it comes back as the kana あ, and that is cancelled.
        auto *title = child<QLineEdit>(window.get(), QStringLiteral("t_Text"));
        ASSERT_NO_FATAL_FAILURE(focus(title));
        QString state;
        QTest::qWaitFor([&] { return (state = fcitxState()) == QStringLiteral("2"); }, kImeTimeoutMs);
        ASSERT_EQ(state, QStringLiteral("2")) << "fcitx5 has no active input context for the window";
        const bool ready = QTest::qWaitFor(
            [&] {
                title->clear();
                if (!typeRomaji(QStringLiteral("a")))
                    return false;
                QTest::qWaitFor([&] { return !spy.preedit.isEmpty() || !title->text().isEmpty(); },
                                kImeTimeoutMs);
                return spy.preedit == QStringLiteral("あ");
            },
            kImeTimeoutMs);
        ASSERT_TRUE(ready) << "Mozc did not take the keys: the title holds "
                           << title->text().toStdString();
        ASSERT_TRUE(pressKey(QStringLiteral("Escape")));
        ASSERT_NO_FATAL_FAILURE(expectPreedit(QString()));
        ASSERT_EQ(title->text(), QString());
    }

    void focus(QWidget *input)
    {
        input->setFocus();
        ASSERT_TRUE(QTest::qWaitFor([input] { return input->hasFocus(); }));
    }

    // Waits until the preedit reads expected (QTRY_* would report to QtTest,
    // not to this test).
    void expectPreedit(const QString &expected)
    {
        QTest::qWaitFor([&] { return spy.preedit == expected; }, kImeTimeoutMs);
        ASSERT_EQ(spy.preedit, expected) << "typed so far: " << typedSoFar().toStdString();
    }

    // What the focused input holds, to tell a missing input method (plain
    // romaji) from one that did not convert.
    static QString typedSoFar()
    {
        QWidget *focused = QApplication::focusWidget();
        if (auto *line = qobject_cast<QLineEdit *>(focused))
            return line->text();
        if (auto *text = qobject_cast<QPlainTextEdit *>(focused))
            return text->toPlainText().right(10);
        return QStringLiteral("(no input has the focus)");
    }

    // nihongo, converted with Space and committed with Return: 日本語.
    void typeNihongo()
    {
        ASSERT_TRUE(typeRomaji(QStringLiteral("nihongo")));
        ASSERT_NO_FATAL_FAILURE(expectPreedit(QStringLiteral("にほんご")));
        ASSERT_TRUE(pressKey(QStringLiteral("space")));
        ASSERT_NO_FATAL_FAILURE(expectPreedit(QStringLiteral("日本語")));
        ASSERT_TRUE(pressKey(QStringLiteral("Return")));
        ASSERT_NO_FATAL_FAILURE(expectPreedit(QString()));
    }

    QTemporaryDir dir;
    test::RecordingDesktop desktop;
    std::unique_ptr<MainWindow> window;
    PreeditSpy spy;
};

} // namespace

TEST_F(InputMethodTest, convertedKanjiArriveInTheTitleAndThePageTextUpToItsLimit)
{
    // The title takes the committed kanji as they are.
    auto *title = child<QLineEdit>(window.get(), QStringLiteral("t_Text"));
    ASSERT_NO_FATAL_FAILURE(focus(title));
    ASSERT_NO_FATAL_FAILURE(typeNihongo());
    EXPECT_EQ(title->text(), QStringLiteral("日本語"));

    // A page text two characters short of its limit keeps as much of a
    // three-character commit as fits.
    PageSet set = window->pageSet();
    set.page(1).kind = PageKind::Text;
    const QString start = QString(PageInputs::kTextLimit - 4, u'あ') + QStringLiteral("\r\n");
    set.page(1).text = start;
    window->showPageSet(set);
    auto *text = child<QPlainTextEdit>(window.get(), QStringLiteral("Text1"));
    ASSERT_TRUE(text->isEnabled());
    text->moveCursor(QTextCursor::End);
    ASSERT_NO_FATAL_FAILURE(focus(text));
    ASSERT_NO_FATAL_FAILURE(typeNihongo());
    EXPECT_EQ(window->pageSet().page(1).text, start + QStringLiteral("日本"));
    EXPECT_EQ(window->pageSet().page(1).text.size(), PageInputs::kTextLimit);

    // Full: a further commit adds nothing, and the box takes no preedit
    // leftovers either.
    ASSERT_NO_FATAL_FAILURE(typeNihongo());
    EXPECT_EQ(window->pageSet().page(1).text, start + QStringLiteral("日本"));
    EXPECT_EQ(window->pageSet().title, QStringLiteral("日本語"));
}
