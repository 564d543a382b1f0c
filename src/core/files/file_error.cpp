#include "core/files/file_error.h"

#include "core/model/texts.h"

#include <QDir>

#include <cstring>

namespace zelmora {

QString systemErrorText(int errorNumber)
{
    char buffer[256];
    // The GNU strerror_r: returns the text, in buffer or a static string.
    const char *text = strerror_r(errorNumber, buffer, sizeof buffer);
    return QString::fromLocal8Bit(text);
}

QString FileError::writeMessage() const
{
    return Texts::tr("ファイルを書き込めませんでした。\n%1\n理由: %2")
        .arg(QDir::toNativeSeparators(path), reason);
}

} // namespace zelmora
