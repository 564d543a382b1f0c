#include "ui/kit/ui_support.h"

#include <QDesktopServices>
#include <QMessageBox>
#include <QWidget>

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

namespace {

void showBox(QWidget *parent, QMessageBox::Icon icon, const QString &text)
{
    QMessageBox box(icon, kApplicationTitle, text, QMessageBox::Ok, parent);
    // Messages quote titles, file names and settings as the user typed them;
    // as rich text, markup in them would be rendered (a box taller than the
    // screen, its button out of reach).
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

} // namespace

void MessageBoxDesktop::information(const QString &text)
{
    showBox(m_parent, QMessageBox::Information, text);
}

void MessageBoxDesktop::plainMessage(const QString &text)
{
    showBox(m_parent, QMessageBox::NoIcon, text);
}

void MessageBoxDesktop::warning(const QString &text)
{
    showBox(m_parent, QMessageBox::Warning, text);
}

void MessageBoxDesktop::openUrl(const QUrl &url)
{
    QDesktopServices::openUrl(url); // result not examined, as the desktop decides
}

} // namespace zelmora
