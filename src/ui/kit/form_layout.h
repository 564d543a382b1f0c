#pragma once

#include "ui/kit/ui_support.h"

#include <QString>
#include <QWidget>

namespace zelmora {

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
inline QFont formFont() { return gothicFont(8); }

// The face of the captions the layout gives a single 9-pixel row (the
// ＳＲＣ＝ and ＡＬＴ＝ labels and the background's attribute name).
inline QFont smallCaptionFont() { return gothicFont(6); }

} // namespace zelmora
