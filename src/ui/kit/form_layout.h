#pragma once

#include <QFont>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QWidget>

namespace zelmora {

// The one way every window of the program lays out its controls: from the
// layout tables, in twips.

// Layout tables are in twips: 15 twips to a pixel at 96 dots per inch; Qt
// scales pixels for high-DPI screens by itself.
constexpr int twips(int value)
{
    return (value + 7) / 15;
}
inline QRect twipsRect(int left, int top, int width, int height)
{
    return QRect(twips(left), twips(top), twips(width), twips(height));
}
inline QPoint twipsPoint(int left, int top)
{
    return QPoint(twips(left), twips(top));
}

// The Japanese Gothic face that stands in for "ＭＳ Ｐゴシック".
QFont gothicFont(double pointSize = 9, bool bold = false);

// Places a modal window at an offset (in twips) from the main window's
// top-left corner, as the windows of this program are placed.
void placeAt(QWidget *window, const QWidget *mainWindow, int leftTwips, int topTwips);

// Names a control and puts it where the layout tables place it, in twips
// inside its parent.
template <class Widget>
Widget *placeControl(Widget *widget, const QString &name, int left, int top, int width, int height)
{
    widget->setObjectName(name);
    widget->setGeometry(twipsRect(left, top, width, height));
    return widget;
}

// The forms' text face. Noto Sans CJK sets kana wider than the proportional
// Gothic the layout was drawn for; at 8 points its captions take the widths
// the layout gives them.
inline QFont formFont()
{
    return gothicFont(8);
}

// The face of the captions the layout gives a single 9-pixel row (the
// ＳＲＣ＝ and ＡＬＴ＝ labels and the background's attribute name).
inline QFont smallCaptionFont()
{
    return gothicFont(6);
}

} // namespace zelmora
