// The windows against their layout tables: every control where the table
// puts it (in twips, 15 to a pixel), with its caption and tooltip.

#include "ui/image_picker/image_picker.h"
#include "ui/options/options_dialog.h"
#include "app/main_window.h"
#include "ui/kit/form_layout.h"
#include "support/recording_desktop.h"
#include "support/main_window_layout.h"
#include "support/ui_test_support.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QButtonGroup>
#include <QGroupBox>
#include <QImage>
#include <QScopeGuard>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTabBar>
#include <QTabWidget>
#include <QStyleFactory>
#include <QTemporaryDir>
#include <QToolButton>

#include <gtest/gtest.h>

#include <cmath>
#include <string_view>

using namespace zelmora;
using zelmora::test::child;

namespace {

struct ControlRow {
    QString name;
    QRect twipsGeometry; // left, top, width, height inside the parent
    QString caption;
    QString tooltip;
};

QRect rect(int l, int t, int w, int h)
{
    return QRect(l, t, w, h);
}

QRect pixels(const QRect &t)
{
    return twipsRect(t.left(), t.top(), t.width(), t.height());
}

QString captionOf(const QWidget *widget)
{
    if (auto *button = qobject_cast<const QAbstractButton *>(widget))
        return button->text();
    if (auto *label = qobject_cast<const QLabel *>(widget))
        return label->text();
    if (auto *edit = qobject_cast<const QLineEdit *>(widget))
        return edit->text();
    if (auto *text = qobject_cast<const QPlainTextEdit *>(widget))
        return text->toPlainText();
    if (auto *box = qobject_cast<const QGroupBox *>(widget))
        return box->title();
    return {};
}

void expectRows(const QWidget *root, const QList<ControlRow> &rows)
{
    for (const ControlRow &row : rows) {
        SCOPED_TRACE(row.name.toStdString());
        auto *widget = child<QWidget>(root, row.name);
        if (!widget)
            continue;
        EXPECT_EQ(widget->geometry(), pixels(row.twipsGeometry));
        EXPECT_EQ(captionOf(widget), row.caption);
        EXPECT_EQ(widget->toolTip(), row.tooltip);
    }
}

// The rows of a layout table, page k's names filled in; the unnamed
// captions are left out.
template <std::size_t N>
QList<ControlRow> tableRows(const layout::Row (&rows)[N], int k = 0)
{
    QList<ControlRow> list;
    for (const layout::Row &row : rows) {
        if (!row.name)
            continue;
        QString name = QString::fromUtf16(row.name);
        if (k > 0)
            name = name.arg(k);
        list.append({name, rect(row.left, row.top, row.width, row.height),
                     QString::fromUtf16(row.caption), QString::fromUtf16(row.tooltip)});
    }
    return list;
}

class WindowLayout : public testing::Test {
protected:
    QTemporaryDir dir;
    test::RecordingDesktop desktop;
};

} // namespace

TEST_F(WindowLayout, mainWindowFrameAndCommands)
{
    MainWindow window(desktop, initPortablePaths(dir.path()));
    test::visitEveryTab(&window);
    window.show();
    EXPECT_EQ(window.objectName(), QStringLiteral("Form1"));
    EXPECT_EQ(window.windowTitle(), QStringLiteral("ポップリーフ作成"));
    EXPECT_EQ(window.size(), QSize(twips(layout::kWindowWidth), twips(layout::kWindowHeight)));
    EXPECT_FALSE(window.windowIcon().isNull());

    expectRows(&window, tableRows(layout::kWindowRows));
    expectRows(child<QWidget>(&window, QStringLiteral("Frame7")), tableRows(layout::kToolRows));
    expectRows(child<QWidget>(&window, QStringLiteral("Frame8")), tableRows(layout::kBackgroundRows));

    for (const char *name : {"PLF_Open_btn", "Option_btn", "Publish_btn", "Help"}) {
        auto *button = child<QAbstractButton>(&window, QString::fromLatin1(name));
        EXPECT_EQ(button->parentWidget()->objectName(), QStringLiteral("Frame7")) << name;
        EXPECT_EQ(button->iconSize(), QSize(22, 22)) << name;
        EXPECT_FALSE(button->icon().isNull()) << name;
    }
    for (const char *name : {"Command1", "Command2", "Command3"}) {
        const QFont font = child<QWidget>(&window, QString::fromLatin1(name))->font();
        EXPECT_EQ(font.family(), gothicFont().family()) << name;
        EXPECT_TRUE(font.bold()) << name;
        EXPECT_EQ(font.pointSizeF(), 9.0) << name;
    }
    auto *kind = child<QButtonGroup>(&window, QStringLiteral("Option0"));
    EXPECT_EQ(kind->id(child<QAbstractButton>(&window, QStringLiteral("Option0_1"))), 1);
}

TEST_F(WindowLayout, tabsHoldEachPageAtItsPlace)
{
    MainWindow window(desktop, initPortablePaths(dir.path()));
    test::visitEveryTab(&window);
    window.show();
    auto *tabs = child<QTabWidget>(&window, QStringLiteral("SSTab1"));
    ASSERT_EQ(tabs->count(), 6);
    const QStringList captions = {QStringLiteral("Page１"), QStringLiteral("Page２"), QStringLiteral("Page３"),
                                  QStringLiteral("Page４"), QStringLiteral("Page５"), QStringLiteral("Page６")};
    for (int k = 1; k <= 6; ++k) {
        SCOPED_TRACE(k);
        EXPECT_EQ(tabs->tabText(k - 1), captions[k - 1]);
        auto *frame = child<QWidget>(tabs, QStringLiteral("Frame%1").arg(k));
        // On its own tab, counted from the tab control's corner, the tab bar above it.
        EXPECT_TRUE(tabs->widget(k - 1)->isAncestorOf(frame));
        tabs->setCurrentIndex(k - 1);
        EXPECT_EQ(QRect(frame->mapTo(tabs, QPoint(0, 0)), frame->size()),
                  twipsRect(layout::kPageLeft, layout::kPageTop, layout::kPageWidth, layout::kPageHeight));
        EXPECT_GE(frame->mapTo(tabs, QPoint(0, 0)).y(), tabs->tabBar()->geometry().bottom());

        const QString n = QString::number(k);
        expectRows(frame, tableRows(layout::kPageRows, k));

        // The unnamed ＳＲＣ＝ / ＡＬＴ＝ captions of each picture row.
        QList<QRect> src, alt;
        for (const QLabel *label : frame->findChildren<QLabel *>()) {
            if (label->text() == QStringLiteral("ＳＲＣ＝"))
                src.append(label->geometry());
            else if (label->text() == QStringLiteral("ＡＬＴ＝"))
                alt.append(label->geometry());
        }
        std::sort(src.begin(), src.end(), [](QRect a, QRect b) { return a.top() < b.top(); });
        std::sort(alt.begin(), alt.end(), [](QRect a, QRect b) { return a.top() < b.top(); });
        QList<QRect> tableSrc, tableAlt;
        for (const layout::Row &row : layout::kPageRows) {
            if (!row.name)
                (row.caption == std::u16string_view(u"ＳＲＣ＝") ? tableSrc : tableAlt)
                    .append(twipsRect(row.left, row.top, row.width, row.height));
        }
        EXPECT_EQ(src, tableSrc);
        EXPECT_EQ(alt, tableAlt);

        auto *group = child<QButtonGroup>(&window, QStringLiteral("Option") + n);
        for (int index = 0; index < 4; ++index)
            EXPECT_EQ(group->id(child<QAbstractButton>(frame, QStringLiteral("Option%1_%2").arg(n).arg(index))), index);
    }
}

namespace {

// A caption wider or taller than the room its control gives it would be cut
// off: labels against their box, buttons against the part the style leaves
// for the caption. No control of a captioned frame lies over the frame's
// lines, found in its pixels right of the controls.
void expectNothingCutOrCrossed(QWidget *window)
{
    SCOPED_TRACE(window->objectName().toStdString());
    for (const QLabel *label : window->findChildren<QLabel *>()) {
        const QFontMetrics metrics(label->font());
        const QString shown = QString(label->text()).replace(QStringLiteral("(&"), QStringLiteral("("));
        if (shown.isEmpty() || !label->isVisibleTo(window))
            continue;
        EXPECT_TRUE(metrics.horizontalAdvance(shown) <= label->width()
                    && metrics.tightBoundingRect(shown).height() <= label->height()) << shown.toStdString();
        // Nor covered by a control stacked above it (a later sibling).
        const int inked = metrics.tightBoundingRect(shown).height();
        const QRect text(label->x(), label->y() + (label->height() - inked) / 2, metrics.horizontalAdvance(shown), inked);
        const QObjectList siblings = label->parent()->children();
        for (qsizetype i = siblings.indexOf(label) + 1; i < siblings.size(); ++i)
            if (auto *above = qobject_cast<QWidget *>(siblings[i]); above && above->isVisibleTo(window))
                EXPECT_FALSE(above->geometry().intersects(text)) << shown.toStdString() << " under " << above->objectName().toStdString();
    }
    for (const QAbstractButton *button : window->findChildren<QAbstractButton *>()) {
        const QString shown = QString(button->text()).replace(QStringLiteral("(&"), QStringLiteral("(")); // 作成(&S) shows 作成(S)
        QStyleOptionButton option;
        option.initFrom(button);
        const QStyle::SubElement part = qobject_cast<const QRadioButton *>(button) ? QStyle::SE_RadioButtonContents
            : qobject_cast<const QCheckBox *>(button) ? QStyle::SE_CheckBoxContents : QStyle::SE_PushButtonContents;
        const QRect room = button->style()->subElementRect(part, &option, button);
        if (!shown.isEmpty() && button->isVisibleTo(window))
            EXPECT_TRUE(room.width() >= button->fontMetrics().horizontalAdvance(shown) && room.height() >= button->fontMetrics().tightBoundingRect(shown).height()
                        && button->rect().contains(room)) << shown.toStdString() << " in " << room.width() << "x" << room.height();
    }
    for (QGroupBox *frame : window->findChildren<QGroupBox *>()) {
        if (frame->title().isEmpty())
            continue; // a box without a caption, its line clear of what the tables put in it
        const QImage shot = frame->grab().toImage();
        const int x = shot.width() - 5, middle = shot.height() / 2;
        int top = middle, bottom = middle;
        while (top > 0 && shot.pixel(x, top) == shot.pixel(x, middle))
            --top;
        while (bottom < shot.height() - 1 && shot.pixel(x, bottom) == shot.pixel(x, middle))
            ++bottom;
        for (const QWidget *control : frame->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
            EXPECT_TRUE(control->y() > top && control->geometry().bottom() < bottom) << control->objectName().toStdString();
    }
}

class Look : public WindowLayout, public testing::WithParamInterface<std::tuple<const char *, int>> {};

} // namespace

// Under each style and at each size of the application's font the windows
// grow with the font, cut no caption, cross no frame line, and show the six
// tabs without scroll arrows.
TEST_P(Look, windowsGrowWithTheFontAndCutNoCaption)
{
    const auto [style, points] = GetParam();
    if (!QStyleFactory::keys().contains(QString::fromLatin1(style)))
        GTEST_SKIP() << "the Qt style " << style << " is not installed (adwaita-qt6 brings Adwaita)";
    const QString styleBefore = QApplication::style()->name();
    const QFont fontBefore = QApplication::font();
    const auto restore = qScopeGuard([&] { QApplication::setStyle(styleBefore); QApplication::setFont(fontBefore); });
    QApplication::setStyle(QString::fromLatin1(style));
    QApplication::setFont(QFont(fontBefore.family(), points));

    MainWindow window(desktop, initPortablePaths(dir.path()));
    test::visitEveryTab(&window);
    window.show();
    EXPECT_EQ(window.size(), QSize(twips(std::lround(layout::kWindowWidth * points / 9.0)), twips(std::lround(layout::kWindowHeight * points / 9.0))));
    expectNothingCutOrCrossed(&window);
    const QTabBar *bar = child<QTabWidget>(&window, QStringLiteral("SSTab1"))->tabBar();
    for (const QToolButton *arrow : bar->findChildren<QToolButton *>())
        EXPECT_FALSE(arrow->isVisible()) << "scroll arrows";
    for (int i = 0; i < bar->count(); ++i)
        EXPECT_TRUE(bar->rect().contains(bar->tabRect(i)) && bar->fontMetrics().horizontalAdvance(bar->tabText(i)) <= bar->tabRect(i).width()) << i;

    OptionsDialog options(dir.filePath(QStringLiteral("Zelmora.ini")), desktop);
    options.show();
    expectNothingCutOrCrossed(&options);
}

INSTANTIATE_TEST_SUITE_P(WindowLayout, Look, testing::Combine(testing::Values("Fusion", "Windows", "Adwaita"), testing::Values(9, 11, 14)),
                         [](const auto &info) { return std::get<0>(info.param) + std::to_string(std::get<1>(info.param)) + "pt"; });

TEST_F(WindowLayout, imagePicker)
{
    ImagePicker picker(test::messageBoxes(), dir.path());
    picker.show();
    EXPECT_EQ(picker.objectName(), QStringLiteral("Form5"));
    EXPECT_EQ(picker.windowTitle(), QStringLiteral("画像選択"));
    EXPECT_EQ(picker.size(), QSize(twips(7110), twips(3195)));
    expectRows(&picker, {
        {QStringLiteral("File1"), rect(120, 240, 2775, 2250), {},
         QStringLiteral("画像ファイル（gif・jpg・png・bmp）をここにドロップすると、ポップリーフフォルダにコピーして選択します")},
        {QStringLiteral("Frame1"), rect(3000, 120, 4000, 2415), {}, {}},
        {QStringLiteral("Com_import"), rect(120, 2640, 2775, 375), QStringLiteral("ほかの場所から追加(&A)…"),
         QStringLiteral("ほかのフォルダの画像を選んで、ポップリーフフォルダにコピーします")},
        {QStringLiteral("Command1"), rect(5280, 2640, 1600, 375), QStringLiteral("ＯＫ"), {}},
    });
    auto *image = child<QLabel>(&picker, QStringLiteral("Image1"));
    EXPECT_EQ(image->parentWidget()->objectName(), QStringLiteral("Frame1"));
    EXPECT_EQ(image->pos(), twipsPoint(120, 120));
}
