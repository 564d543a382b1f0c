#include "ui/kit/message_box_desktop.h"

#include <QApplication>
#include <QDesktopServices>
#include <QMessageBox>
#include <QWidget>

namespace zelmora {

namespace {

void showBox(QWidget *parent, QMessageBox::Icon icon, const QString &text)
{
    // Over the modal window that is open (a picker, the options), if any:
    // the box belongs to what the user is looking at.
    if (QWidget *modal = QApplication::activeModalWidget())
        parent = modal;
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

bool MessageBoxDesktop::question(const QString &text)
{
    QWidget *parent = QApplication::activeModalWidget() ? QApplication::activeModalWidget() : m_parent;
    QMessageBox box(QMessageBox::Question, kApplicationTitle, text, QMessageBox::Yes | QMessageBox::No,
                    parent);
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

void MessageBoxDesktop::openUrl(const QUrl &url)
{
    QDesktopServices::openUrl(url); // result not examined, as the desktop decides
}

} // namespace zelmora
