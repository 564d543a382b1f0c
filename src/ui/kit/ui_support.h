#pragma once

#include "core/model/desktop.h"

#include <QFont>
#include <QPoint>
#include <QRect>

class QWidget;

namespace zelmora {

// Layout tables are in twips: 15 twips to a pixel at 96 dots per inch; Qt
// scales pixels for high-DPI screens by itself.
constexpr int twips(int value) { return (value + 7) / 15; }
inline QRect twipsRect(int left, int top, int width, int height)
{
    return QRect(twips(left), twips(top), twips(width), twips(height));
}
inline QPoint twipsPoint(int left, int top) { return QPoint(twips(left), twips(top)); }

// The Japanese Gothic face that stands in for "ＭＳ Ｐゴシック".
QFont gothicFont(double pointSize = 9, bool bold = false);

// Places a modal window at an offset (in twips) from the main window's
// top-left corner, as the windows of this program are placed.
void placeAt(QWidget *window, const QWidget *mainWindow, int leftTwips, int topTwips);

// The desktop as the user sees it: message boxes owned by parent, and
// QDesktopServices for files and folders.
class MessageBoxDesktop : public Desktop {
public:
    explicit MessageBoxDesktop(QWidget *parent) : m_parent(parent) {}

    void information(const QString &text) override;
    void plainMessage(const QString &text) override;
    void warning(const QString &text) override;
    void openUrl(const QUrl &url) override;

private:
    QWidget *m_parent;
};

} // namespace zelmora
