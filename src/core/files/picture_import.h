#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class QMimeData;
class QObject;

namespace zelmora {

// Why a picture in folder cannot be named by a page, or nullopt when it can.
// Its name goes into a page line as src="name": a control character (a line
// break among them) would split the line, a double quote would end the
// value, and a name that is not valid UTF-8 (read with U+FFFD in its place)
// names no file the page could link to.
std::optional<QString> pictureNameFault(const QString &folder, const QString &name);

// One dropped file brought into the output folder.
struct PictureImport {
    QString name;    // the name in the output folder; empty when not copied
    QString problem; // why not, for the user
};

// Copies a picture file into the output folder under its own name, or the
// first free "name_2.png", "name_3.png"... when a different file holds it;
// a file with the same content under one of those names is reused instead of
// copied again. A file already in the folder is taken as it is. Never
// replaces an existing file, never follows a link at the destination.
PictureImport importPicture(const QString &source, const QString &outFolder);

// The local picture files (gif, jpg, png, bmp in any letter case) of a drag.
QStringList droppedPictureFiles(const QMimeData *mime);

// Copies the files on a worker thread, so a large file does not freeze the
// window, and calls done on context's thread with the names copied (in the
// order given) and one line per file refused. done is dropped if context is
// destroyed first.
void importPicturesInBackground(QObject *context, const QStringList &sources,
                                const QString &outFolder,
                                std::function<void(QStringList names, QStringList problems)> done);

// The message for refused files, one line each.
QString pictureImportMessage(const QStringList &problems);

} // namespace zelmora
