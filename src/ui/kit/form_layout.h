#pragma once

#include <QFont>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <QWidget>

#include <optional>
#include <utility>

class QButtonGroup;
class QGroupBox;
class QPushButton;

namespace zelmora {

// The one way every window of the program lays out its controls: from the
// layout tables, in twips.

// Layout tables are in twips: 15 twips to a pixel at 96 dots per inch; Qt
// scales pixels for high-DPI screens by itself.
constexpr int twips(int value)
{
    return (value + 7) / 15;
}

// How much larger than the 9 points the tables were drawn for the
// application's font is (the desktop's font, or one the user chose); never
// less than 1. Windows, controls and faces grow by it together, so a larger
// font clips no caption; at 9 points everything is exactly as the tables
// give it.
double formScale();

// A length of the tables in pixels, grown with the font.
int scaledTwips(int value);
inline QRect twipsRect(int left, int top, int width, int height)
{
    return QRect(scaledTwips(left), scaledTwips(top), scaledTwips(width), scaledTwips(height));
}
inline QPoint twipsPoint(int left, int top)
{
    return QPoint(scaledTwips(left), scaledTwips(top));
}
inline QSize twipsSize(int width, int height)
{
    return QSize(scaledTwips(width), scaledTwips(height));
}

// The Japanese Gothic face that stands in for "ＭＳ Ｐゴシック", at a size of
// the tables (grown with the font).
QFont gothicFont(double pointSize = 9, bool bold = false);

// For a button the tables make barely taller than its caption (開く, 参照):
// styles with wide margins (Adwaita) would cut the caption off.
void giveCaptionTheWholeButton(QPushButton *button);

// The rows of a frame's top and bottom lines (their inner edges) as its
// style draws them, if it draws lines.
std::optional<std::pair<int, int>> frameLines(const QGroupBox *frame);

// Where a style draws a frame's top line below the controls the tables put
// under its caption (a tall face, a style's margins), the frame's controls
// move down together, keeping their order and spacing, so that none lies
// over a line of its frame.
void keepInsideFrameLines(QGroupBox *frame);

// Places a modal window at an offset (in twips) from the main window's
// top-left corner, as the windows of this program are placed.
void placeAt(QWidget *window, const QWidget *mainWindow, int leftTwips, int topTwips);

// Selects the button of id in group as a click would (its toggle runs the
// group's rule); false when it was selected already, where nothing toggles,
// so the caller runs the rule itself.
bool selectButton(QButtonGroup *group, int id);

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
