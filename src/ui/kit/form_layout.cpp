#include "ui/kit/form_layout.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QApplication>
#include <QGroupBox>
#include <QImage>
#include <QPainter>
#include <QFontInfo>
#include <QProxyStyle>
#include <QPushButton>
#include <QStyleFactory>
#include <QStyleOption>
#include <QStyleOptionGroupBox>

#include <algorithm>
#include <optional>
#include <cmath>

namespace zelmora {

double formScale()
{
    // A font given in pixels has no point size of its own.
    const QFont font = QGuiApplication::font();
    const double points = font.pointSizeF() > 0 ? font.pointSizeF() : QFontInfo(font).pointSizeF();
    return std::max(1.0, points / 9.0);
}

int scaledTwips(int value)
{
    return twips(int(std::lround(value * formScale())));
}

QFont gothicFont(double pointSize, bool bold)
{
    QFont font(QStringLiteral("Noto Sans CJK JP"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(pointSize * formScale());
    font.setBold(bold);
    return font;
}

namespace {

// The caption of a button may use all of the button inside its frame line,
// wherever the style would leave it less.
class RoomyCaptionStyle : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;

    QRect subElementRect(SubElement element, const QStyleOption *option,
                         const QWidget *widget) const override
    {
        const QRect contents = QProxyStyle::subElementRect(element, option, widget);
        if (element != SE_PushButtonContents)
            return contents;
        return contents.united(option->rect.adjusted(1, 1, -1, -1));
    }
};

} // namespace

void giveCaptionTheWholeButton(QPushButton *button)
{
    // The proxy needs a style of its own: it owns its base.
    QStyle *base = QStyleFactory::create(QApplication::style()->name());
    if (!base)
        return;
    auto *style = new RoomyCaptionStyle(base);
    style->setParent(button);
    button->setStyle(style);
}

std::optional<std::pair<int, int>> frameLines(const QGroupBox *frame)
{
    // As the style draws it: styles place the top line differently (through
    // the caption, or below it) and not all of them tell where.
    QStyleOptionGroupBox option;
    option.initFrom(frame);
    option.text = frame->title();
    option.lineWidth = 1;
    option.textAlignment = frame->alignment();
    option.subControls = QStyle::SC_GroupBoxFrame;
    if (!frame->title().isEmpty())
        option.subControls |= QStyle::SC_GroupBoxLabel;
    QImage drawn(frame->size(), QImage::Format_ARGB32_Premultiplied);
    drawn.fill(Qt::transparent);
    {
        QPainter painter(&drawn);
        frame->style()->drawComplexControl(QStyle::CC_GroupBox, &option, &painter, frame);
    }
    // In a column right of the caption, clear of the rounded corners, the
    // first rows above and below the middle that differ from it: the inner
    // edges of the lines, however thick a style draws them (a highlight, a
    // shadow, a filled inside).
    const int x = drawn.width() - 8, middle = drawn.height() / 2;
    if (x <= 0)
        return std::nullopt;
    const QRgb inside = drawn.pixel(x, middle);
    int top = middle, bottom = middle;
    while (top > 0 && drawn.pixel(x, top) == inside)
        --top;
    while (bottom < drawn.height() - 1 && drawn.pixel(x, bottom) == inside)
        ++bottom;
    std::optional<std::pair<int, int>> lines;
    if (drawn.pixel(x, top) != inside && drawn.pixel(x, bottom) != inside)
        lines.emplace(top, bottom);
    return lines;
}

void keepInsideFrameLines(QGroupBox *frame)
{
    const QList<QWidget *> controls = frame->findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
    const auto lines = frameLines(frame);
    if (!lines || lines->first == lines->second)
        return; // a style without frame lines
    const QRect inside(0, lines->first + 1, frame->width(), lines->second - lines->first - 1);
    auto span = [&controls] {
        QRect all;
        for (const QWidget *control : controls)
            all |= control->geometry();
        return all;
    };
    if (controls.isEmpty() || span().top() >= inside.top())
        return;
    // Short of room below, the check boxes and options first give up the
    // margin around their mark and caption.
    if (span().bottom() + inside.top() - span().top() > inside.bottom()) {
        for (QWidget *control : controls) {
            const int needed = control->sizeHint().height();
            if (qobject_cast<QAbstractButton *>(control) && needed < control->height())
                control->setGeometry(control->x(), control->y() + (control->height() - needed) / 2,
                                     control->width(), needed);
        }
    }
    const int down = inside.top() - span().top();
    for (QWidget *control : controls)
        control->move(control->pos() + QPoint(0, down));
}

void placeAt(QWidget *window, const QWidget *mainWindow, int leftTwips, int topTwips)
{
    if (!mainWindow)
        return;
    // The offsets count from the main window's outer top-left corner.
    window->move(mainWindow->frameGeometry().topLeft() + twipsPoint(leftTwips, topTwips));
}

bool selectButton(QButtonGroup *group, int id)
{
    QAbstractButton *button = group->button(id);
    if (button->isChecked())
        return false;
    button->setChecked(true);
    return true;
}

} // namespace zelmora
