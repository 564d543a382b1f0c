// Every window as a screen reader and a keyboard user meet it: each control
// has a name through QAccessible, names of what is shown together differ,
// caption labels point at their inputs, and Enter or keypad Enter presses the
// focused button.

#include "app/main_window.h"
#include "support/record_editor.h"
#include "core/model/editor.h"
#include "ui/image_picker/image_picker.h"
#include "support/ui_test_support.h"
#include "ui/preview_guest/preview_window.h"
#include "ui/set_picker/set_picker.h"
#include "ui/options/options_dialog.h"
#include "support/recording_browser.h"
#include "support/recording_desktop.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QAccessible>
#include <QButtonGroup>
#include <QSet>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <utility>

using namespace zelmora;
using zelmora::test::child;

namespace {

QString accessibleName(QObject *object)
{
    QAccessibleInterface *face = QAccessible::queryAccessibleInterface(object);
    return face ? face->text(QAccessible::Name) : QString();
}

QString describe(const QWidget *widget)
{
    return QStringLiteral("%1 (%2)").arg(widget->objectName(), widget->metaObject()->className());
}

// What a keyboard can reach: widgets that take the focus by Tab, and every
// button. A scroll area's viewport stands for its area, and a widget with a
// focus proxy (the tab control: its tab bar) for the proxy.
QList<QWidget *> controlsShown(QWidget *window)
{
    QList<QWidget *> controls;
    for (QWidget *widget : window->findChildren<QWidget *>()) {
        if (!widget->isVisibleTo(window))
            continue;
        auto *area = qobject_cast<QAbstractScrollArea *>(widget->parentWidget());
        if ((area && area->viewport() == widget) || widget->focusProxy())
            continue;
        if ((widget->focusPolicy() & Qt::TabFocus) || qobject_cast<QAbstractButton *>(widget))
            controls << widget;
    }
    return controls;
}

struct WindowCase {
    QString label;        // the window and its state, for failure messages
    QWidget *window;
    std::map<QString, QString> names; // objectName -> expected accessible name
    QStringList valueLabels;          // labels that show data, not a caption
};

void expectAccessible(const WindowCase &c)
{
    SCOPED_TRACE(c.label.toStdString());

    // Every control has a name, and no two shown together share one: the
    // four 参照 of the main window or the two link boxes of the options
    // would otherwise sound alike.
    std::map<QString, QString> seen;
    std::map<QKeySequence, bool> altKeys; // nor the same Alt key
    for (QWidget *control : controlsShown(c.window)) {
        if (auto *button = qobject_cast<QAbstractButton *>(control); button && !QKeySequence::mnemonic(button->text()).isEmpty())
            EXPECT_FALSE(std::exchange(altKeys[QKeySequence::mnemonic(button->text())], true)) << describe(control).toStdString();
        const QString name = accessibleName(control).trimmed();
        EXPECT_FALSE(name.isEmpty()) << describe(control).toStdString() << " has no accessible name";
        if (name.isEmpty())
            continue;
        const auto [at, fresh] = seen.emplace(name, describe(control));
        EXPECT_TRUE(fresh) << describe(control).toStdString() << " and " << at->second.toStdString()
                           << " are both called " << name.toStdString();
    }
    // A tab bar is one control with a name for each tab.
    for (QTabBar *bar : c.window->findChildren<QTabBar *>()) {
        QAccessibleInterface *face = QAccessible::queryAccessibleInterface(bar);
        ASSERT_NE(face, nullptr);
        ASSERT_GE(face->childCount(), bar->count()); // the tabs, then the scroll buttons
        for (int i = 0; i < bar->count(); ++i)
            EXPECT_EQ(face->child(i)->text(QAccessible::Name), bar->tabText(i));
    }

    for (const auto &[objectName, expected] : c.names) {
        auto *widget = child<QWidget>(c.window, objectName);
        if (widget)
            EXPECT_EQ(accessibleName(widget), expected) << objectName.toStdString();
    }

    // A caption label leads to its input (Alt + its mnemonic, and the name
    // that screen readers take from it).
    for (QLabel *label : c.window->findChildren<QLabel *>()) {
        if (label->text().isEmpty() || c.valueLabels.contains(label->objectName()))
            continue;
        EXPECT_NE(label->buddy(), nullptr) << "label " << label->text().toStdString() << " has no buddy";
    }
}

// Return and keypad Enter on each shown, enabled button press it once.
void expectEnterPressesFocusedButton(const WindowCase &c)
{
    SCOPED_TRACE(c.label.toStdString());
    c.window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(c.window));
    for (QWidget *control : controlsShown(c.window)) {
        auto *button = qobject_cast<QPushButton *>(control);
        if (!button || !button->isEnabled())
            continue;
        SCOPED_TRACE(describe(button).toStdString());
        // Only the key is under test, not the command behind the button.
        QObject::disconnect(button, &QAbstractButton::clicked, nullptr, nullptr);
        QSignalSpy clicked(button, &QAbstractButton::clicked);
        button->setFocus(Qt::TabFocusReason);
        ASSERT_TRUE(button->hasFocus());
        QTest::keyClick(button, Qt::Key_Return);
        EXPECT_EQ(clicked.count(), 1) << "Return";
        QTest::keyClick(button, Qt::Key_Enter, Qt::KeypadModifier);
        EXPECT_EQ(clicked.count(), 2) << "keypad Enter";
    }
}

// Tab, round the whole window, stops in each group of options only on the
// option chosen, also where the program chose it.
void expectTabEntersGroupsOnTheirChoice(QWidget *window)
{
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    QSet<QWidget *> reached;
    for (QWidget *at = QApplication::focusWidget(); at && !reached.contains(at); at = QApplication::focusWidget()) {
        reached << at;
        QTest::keyClick(at, Qt::Key_Tab);
    }
    for (QButtonGroup *group : window->findChildren<QButtonGroup *>())
        for (QAbstractButton *button : group->buttons())
            if (button->isVisibleTo(window) && button->isEnabled())
                EXPECT_EQ(reached.contains(button), button->isChecked()) << button->objectName().toStdString();
}

QString tabCaption(int k)
{
    return QStringLiteral("Page") + QChar(0xFF10 + k);
}

class Accessibility : public testing::Test {
protected:
    QTemporaryDir dir;
    test::RecordingDesktop desktop;
};

} // namespace

TEST_F(Accessibility, everyWindowNamesItsControlsAndPressesTheFocusedButtonOnEnter)
{
    MainWindow window(desktop, initPortablePaths(dir.path()));
    window.show();
    auto *tabs = child<QTabWidget>(&window, QStringLiteral("SSTab1"));
    ASSERT_NE(tabs, nullptr);
    EXPECT_EQ(QAccessible::queryAccessibleInterface(&window)->role(), QAccessible::Window);

    const std::map<QString, QString> mainNames = {
        {QStringLiteral("t_Text"), QStringLiteral("タイトル名　（ファイル名も同じ）")},
        {QStringLiteral("Sel_FleName"), QStringLiteral("開く")},
        {QStringLiteral("PLF_Open_btn"), QStringLiteral("ポップリーフフォルダを開きます")},
        {QStringLiteral("Option_btn"), QStringLiteral("設定フォームを開きます")},
        {QStringLiteral("Help"), QStringLiteral("ヘルプを表示します")},
        {QStringLiteral("SelColor_BK"), QStringLiteral("バックカラーの参照")},
        {QStringLiteral("OpenFiles_BK"), QStringLiteral("背景画像の参照")},
        {QStringLiteral("Text_BK"), QStringLiteral("BgColor＝")},
        {QStringLiteral("Frame8"), QStringLiteral("背景の種類")},
        {QStringLiteral("Command1"), QStringLiteral("作成")},
        {QStringLiteral("Command2"), QStringLiteral("プレビュー")},
        {QStringLiteral("Command3"), QStringLiteral("閉じる")},
    };
    const QStringList fileNameLabels = [] {
        QStringList names;
        for (int k = 1; k <= 6; ++k)
            names << QStringLiteral("Label%1_0").arg(k) << QStringLiteral("Label%1_1").arg(k);
        return names;
    }();
    for (int k = 1; k <= 6; ++k) {
        tabs->setCurrentIndex(k - 1);
        std::map<QString, QString> names = mainNames;
        const QString page = tabCaption(k);
        names[QStringLiteral("Text%1").arg(k)] = page + QStringLiteral(" テキスト");
        names[QStringLiteral("OpenFiles_%1p").arg(k)] = page + QStringLiteral(" イメージ（標準）の参照");
        names[QStringLiteral("OpenFiles_%1w").arg(k)] = page + QStringLiteral(" イメージ（ワイド）の参照");
        names[QStringLiteral("p_Text%1").arg(k)] = page + QStringLiteral(" イメージ（標準）のＡＬＴ");
        names[QStringLiteral("w_Text%1").arg(k)] = page + QStringLiteral(" イメージ（ワイド）のＡＬＴ");
        names[QStringLiteral("Option%1_1").arg(k)] = QStringLiteral("テキスト");
        names[QStringLiteral("Frame%1").arg(k)] = page + QStringLiteral(" の種類");
        expectAccessible({QStringLiteral("main window, tab %1").arg(k), &window, names, fileNameLabels});
    }

    // The background value is named by its label, which follows the kind.
    child<QAbstractButton>(&window, QStringLiteral("Option0_1"))->click();
    EXPECT_EQ(accessibleName(child<QWidget>(&window, QStringLiteral("Text_BK"))), QStringLiteral("BackGround="));

    // Every button of the window, on the first page with a picture kind so
    // that its 参照 is open.
    tabs->setCurrentIndex(0);
    child<QAbstractButton>(&window, QStringLiteral("Option1_2"))->click();
    expectEnterPressesFocusedButton({QStringLiteral("main window"), &window, {}, {}});

    PageSet chosen; // the kinds chosen by the program, as a set read does
    chosen.page(1).kind = PageKind::WidePicture;
    chosen.backgroundKind = BackgroundKind::Picture;
    window.showPageSet(chosen);
    expectTabEntersGroupsOnTheirChoice(&window);

    // Each dialog in turn is the one window shown, as when it is modal.
    window.hide();
    ImagePicker imagePicker(test::messageBoxes(), dir.path());
    imagePicker.show();
    const WindowCase imageCase{QStringLiteral("image picker"), &imagePicker,
                               {{QStringLiteral("File1"), QStringLiteral("画像選択")},
                                {QStringLiteral("Command1"), QStringLiteral("ＯＫ")}},
                               {}};
    expectAccessible(imageCase);
    expectEnterPressesFocusedButton(imageCase);

    SetPicker setPicker(nullptr, window.paths().outputFolder, [](const QString &) {});
    setPicker.show();
    imagePicker.hide();
    expectAccessible({QStringLiteral("set picker"), &setPicker,
                      {{QStringLiteral("File1"), QStringLiteral("ファイル選択")}}, {}});

    OptionsDialog options(QDir(dir.path()).filePath(QStringLiteral("Zelmora.ini")), desktop);
    options.show();
    setPicker.hide();
    const WindowCase optionsCase{QStringLiteral("options dialog"), &options,
                                 {{QStringLiteral("Text_HomeName"), QStringLiteral("リンクページ名")},
                                  {QStringLiteral("Text_URL"), QStringLiteral("リンクページURL")},
                                  {QStringLiteral("ChkBrowser"), QStringLiteral("『作成』 後、ブラウザで動作確認をする")},
                                  {QStringLiteral("OptSettei_2"), QStringLiteral("ロボット検索 【可】 設定")},
                                  {QStringLiteral("OptSettei_0"), QStringLiteral("ホームへのリンクなし")},
                                  {QStringLiteral("Command1"), QStringLiteral("ＯＫ")}},
                                 {}};
    expectAccessible(optionsCase);
    expectEnterPressesFocusedButton(optionsCase);
    for (const char *name : {"OptKcyosi_1", "OptSettei_2", "OptMoji_1"})
        child<QAbstractButton>(&options, QString::fromLatin1(name))->setChecked(true);
    expectTabEntersGroupsOnTheirChoice(&options);

    test::RecordingBrowserFactory browsers;
    PreviewWindow preview(browsers, dir.path() + u'/', nullptr);
    preview.start(QStringLiteral("abc"), 1);
    preview.show();
    options.hide();
    const WindowCase previewCase{QStringLiteral("preview window"), &preview,
                                 {{QStringLiteral("Com_bak"), QStringLiteral("前のページ")},
                                  {QStringLiteral("Com_frd"), QStringLiteral("次のページ")},
                                  {QStringLiteral("Command1"), QStringLiteral("閉じる")},
                                  {QStringLiteral("WebBrowser1"), QStringLiteral("ページプレビュー")}},
                                 // The heading shows the set's name and page, not a caption.
                                 {QStringLiteral("Label1"), QStringLiteral("Label2"), QStringLiteral("Label3")}};
    expectAccessible(previewCase);
    expectEnterPressesFocusedButton(previewCase);
}
