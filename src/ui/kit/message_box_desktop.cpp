#include "ui/kit/message_box_desktop.h"

#include "core/model/texts.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QStandardPaths>
#include <QWidget>

namespace zelmora {

namespace {

int showBox(QWidget *parent, QMessageBox::Icon icon, const QString &text,
            QMessageBox::StandardButtons buttons = QMessageBox::Ok,
            QMessageBox::StandardButton defaultButton = QMessageBox::NoButton)
{
    // Over the modal window that is open (a picker, the options), if any:
    // the box belongs to what the user is looking at.
    if (QWidget *modal = QApplication::activeModalWidget())
        parent = modal;
    QMessageBox box(icon, kApplicationTitle, text, buttons, parent);
    // Messages quote titles, file names and settings as the user typed them;
    // as rich text, markup in them would be rendered (a box taller than the
    // screen, its button out of reach).
    box.setTextFormat(Qt::PlainText);
    if (defaultButton != QMessageBox::NoButton)
        box.setDefaultButton(defaultButton);
    // The normal cursor over the box, even in the middle of a busy command:
    // the command now waits for the user.
    QApplication::setOverrideCursor(Qt::ArrowCursor);
    const int answer = box.exec();
    QApplication::restoreOverrideCursor();
    return answer;
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
    return showBox(m_parent, QMessageBox::Question, text, QMessageBox::Yes | QMessageBox::No,
                   QMessageBox::No)
        == QMessageBox::Yes;
}

QStringList MessageBoxDesktop::choosePictureFiles()
{
    QWidget *parent = QApplication::activeModalWidget();
    if (!parent)
        parent = m_parent;
    QString start = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    if (start.isEmpty() || !QDir(start).exists())
        start = QDir::homePath();
    // Qt's default: the desktop's own dialog (through the portal where there
    // is one), which is what the user knows and reaches every folder.
    return QFileDialog::getOpenFileNames(parent, Texts::tr("ほかの場所から画像を追加"), start,
                                         Texts::tr("画像ファイル (*.gif *.jpg *.png *.bmp)"));
}

void MessageBoxDesktop::setBusy(bool busy)
{
    if (busy && m_busy++ == 0)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else if (!busy && --m_busy == 0)
        QApplication::restoreOverrideCursor();
}

void MessageBoxDesktop::openUrl(const QUrl &url)
{
    QDesktopServices::openUrl(url); // result not examined, as the desktop decides
}

} // namespace zelmora
