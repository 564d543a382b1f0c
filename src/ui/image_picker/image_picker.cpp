#include "ui/image_picker/image_picker.h"

#include "core/files/file_listing.h"
#include "core/files/picture_import.h"
#include "core/model/desktop.h"
#include "core/model/page_set.h"
#include "core/model/texts.h"
#include "ui/kit/form_layout.h"

#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QGroupBox>
#include <QImageReader>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>

#include <algorithm>
#include <sys/stat.h>

namespace zelmora {

namespace {

// Image1's corner inside Frame1: the frame has no caption, so the picture
// starts as far from the top as from the left, and a 115 x 150 picture (the
// size the pages ask for) shows whole.
QPoint imageOrigin()
{
    return twipsPoint(120, 120);
}

// Keeps the preview inside the frame's drawn border.
constexpr int kFrameBorder = 2;

} // namespace

QStringList pictureFileNames(const QString &folder)
{
    // Matched without regard to letter case, as the pattern of a Windows
    // file list is.
    return filesWithSuffixes(folder,
                             {QLatin1StringView(".gif"), QLatin1StringView(".jpg"),
                              QLatin1StringView(".png"), QLatin1StringView(".bmp")});
}

std::optional<QString> unusablePictureReason(const QString &folder, const QString &name)
{
    const std::optional<QString> why = pictureNameFault(folder, name);
    if (!why)
        return std::nullopt;
    return Texts::tr(
               "この画像は選べません。\n%1\n理由: %2\nファイル名を変えてから選び直してください。")
        .arg(withControlCodes(name), *why);
}

ImagePicker::ImagePicker(Desktop &desktop, const QString &outFolder, QWidget *parent) :
    QDialog(parent), m_desktop(desktop), m_outFolder(outFolder)
{
    setObjectName(QStringLiteral("Form5"));
    setWindowTitle(tr("画像選択"));
    setFont(formFont());
    setFixedSize(twipsSize(7110, 3195));

    m_files = placeControl(new QListWidget(this), QStringLiteral("File1"), 120, 240, 2775, 2250);
    m_files->setSelectionMode(QAbstractItemView::SingleSelection);
    // A folder of thousands of pictures lists without laying out every name
    // to measure it; all rows have the one font's height.
    m_files->setUniformItemSizes(true);
    m_files->setToolTip(tr("画像ファイル（gif・jpg・png・bmp）をここにドロップすると、"
                           "ポップリーフフォルダにコピーして選択します"));
    setAcceptDrops(true);
    m_files->setAccessibleName(windowTitle());
    m_frame = placeControl(new QGroupBox(this), QStringLiteral("Frame1"), 3000, 120, 4000, 2415);
    m_image = new QLabel(m_frame);
    m_image->setObjectName(QStringLiteral("Image1"));
    m_image->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_image->setGeometry(QRect(imageOrigin(), QSize(0, 0)));
    m_emptyHint
        = placeControl(new QLabel(tr("ポップリーフフォルダに\n画像がありません。\n\n"
                                     "「ほかの場所から追加…」で\n選ぶか、画像ファイル\n"
                                     "（gif・jpg・png・bmp）を\nここにドロップしてください。"),
                                  this),
                       QStringLiteral("EmptyHint"), 240, 360, 2535, 2010);
    m_emptyHint->setWordWrap(true);
    m_emptyHint->setAlignment(Qt::AlignCenter);
    m_emptyHint->setForegroundRole(QPalette::PlaceholderText);
    m_emptyHint->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_emptyHint->setBuddy(m_files); // it tells of the list it lies on
    // The mnemonic before the ellipsis, in the Japanese way.
    m_import = placeControl(new QPushButton(tr("ほかの場所から追加(&A)…"), this),
                            QStringLiteral("Com_import"), 120, 2640, 2775, 375);
    m_import->setAccessibleName(tr("ほかの場所から追加…"));
    m_import->setToolTip(tr("ほかのフォルダの画像を選んで、ポップリーフフォルダにコピーします"));
    m_ok = placeControl(new QPushButton(tr("ＯＫ"), this), QStringLiteral("Command1"), 5280, 2640,
                        1600, 375);
    m_ok->setDefault(true);

    // Nothing picked yet, the list showing the output folder.
    m_pickedName.clear();
    listPictures();

    // The selection, not the current item, marks a pick: the list makes its
    // first row current when it takes the focus, which is no choice.
    connect(m_files, &QListWidget::itemSelectionChanged, this, &ImagePicker::takeSelection);
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_import, &QPushButton::clicked, this, [this] {
        const QStringList files = m_desktop.choosePictureFiles();
        if (!files.isEmpty())
            importPictures(files);
    });
}

void ImagePicker::listPictures()
{
    m_files->clear();
    m_files->addItems(pictureFileNames(m_outFolder));
    m_emptyHint->setVisible(m_files->count() == 0);
    m_files->setAccessibleDescription(m_files->count() == 0 ? m_emptyHint->text() : QString());
}

void ImagePicker::dragEnterEvent(QDragEnterEvent *event)
{
    if (!droppedPictureFiles(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void ImagePicker::dragMoveEvent(QDragMoveEvent *event)
{
    if (!droppedPictureFiles(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void ImagePicker::dropEvent(QDropEvent *event)
{
    const QStringList files = droppedPictureFiles(event->mimeData());
    if (files.isEmpty())
        return;
    event->acceptProposedAction();
    importPictures(files);
}

void ImagePicker::importPictures(const QStringList &files)
{
    setCursor(Qt::BusyCursor);
    importPicturesInBackground(this, files, m_outFolder,
                               [this](const QStringList &names, const QStringList &problems) {
                                   unsetCursor();
                                   if (!names.isEmpty()) {
                                       listPictures();
                                       const QList<QListWidgetItem *> found
                                           = m_files->findItems(names.first(), Qt::MatchExactly);
                                       if (!found.isEmpty()) {
                                           m_files->setCurrentItem(found.first());
                                           found.first()->setSelected(true);
                                           m_files->scrollToItem(found.first());
                                       }
                                   }
                                   if (!problems.isEmpty())
                                       m_desktop.warning(pictureImportMessage(problems));
                               });
}

void ImagePicker::takeSelection()
{
    const QList<QListWidgetItem *> selected = m_files->selectedItems();
    if (selected.isEmpty())
        return;
    const QString name = selected.first()->text();
    if (name.isEmpty())
        return;
    if (const auto reason = unusablePictureReason(m_outFolder, name)) {
        reselectPick();
        m_desktop.warning(*reason);
        return;
    }
    // The pick is recorded first, so it stands even when no preview can be shown.
    m_pickedName = name;
    showPicture(QDir(m_outFolder).filePath(name));
}

void ImagePicker::reselectPick()
{
    // The current row stays on the refused name, so that the arrow keys go
    // on from there instead of back to it.
    const QSignalBlocker blocker(m_files);
    m_files->clearSelection();
    if (m_pickedName.isEmpty())
        return;
    const auto rows = m_files->findItems(m_pickedName, Qt::MatchExactly);
    if (!rows.isEmpty())
        rows.first()->setSelected(true);
}

void ImagePicker::showPicture(const QString &path)
{
    const QRect inside
        = m_frame->rect().adjusted(kFrameBorder, kFrameBorder, -kFrameBorder, -kFrameBorder);
    const QSize room(std::max(0, inside.right() + 1 - imageOrigin().x()),
                     std::max(0, inside.bottom() + 1 - imageOrigin().y()));

    QImageReader reader(path);
    const QSize full = reader.size();
    if (full.isValid())
        reader.setClipRect(QRect(QPoint(0, 0), full.boundedTo(room)));
    QImage image = reader.read();
    if (!full.isValid() && !image.isNull())
        image = image.copy(QRect(QPoint(0, 0), image.size().boundedTo(room)));

    if (image.isNull()) {
        // Undecodable (or beyond the reader's memory limit): the pick stands,
        // the preview shows no stale picture.
        m_image->clear();
        m_image->resize(0, 0);
        return;
    }
    m_image->setPixmap(QPixmap::fromImage(image));
    m_image->resize(image.size());
}

QString pickImage(QWidget *mainWindow, Desktop &desktop, const QString &outFolder, int leftTwips,
                  int topTwips)
{
    ImagePicker picker(desktop, outFolder, mainWindow);
    placeAt(&picker, mainWindow, leftTwips, topTwips);
    picker.exec();
    return picker.pickedName();
}

} // namespace zelmora
