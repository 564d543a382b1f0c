#include "ui/kit/form_layout.h"

namespace zelmora {

QFont gothicFont(double pointSize, bool bold)
{
    QFont font(QStringLiteral("Noto Sans CJK JP"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    return font;
}

void placeAt(QWidget *window, const QWidget *mainWindow, int leftTwips, int topTwips)
{
    if (!mainWindow)
        return;
    // The offsets count from the main window's outer top-left corner.
    window->move(mainWindow->frameGeometry().topLeft() + twipsPoint(leftTwips, topTwips));
}

} // namespace zelmora
