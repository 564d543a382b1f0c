#include "text/system_error.h"

#include <cerrno>
#include <cstring>

namespace zelmora {

QString systemErrorText(int errorNumber)
{
    char buffer[256];
    // The GNU strerror_r: returns the text, in buffer or a static string.
    const char *text = strerror_r(errorNumber, buffer, sizeof buffer);
    return QString::fromLocal8Bit(text);
}

QString localFileErrorText(const QString &qtErrorString)
{
    // qt_error_string (qtbase/src/corelib/global/qglobal.cpp) in Qt 6.
    static constexpr struct {
        const char *qtText;
        int errorNumber;
    } kQtWorded[] = {
        {"Permission denied", EACCES},
        {"Too many open files", EMFILE},
        {"No such file or directory", ENOENT},
        {"No space left on device", ENOSPC},
    };
    for (const auto &worded : kQtWorded) {
        if (qtErrorString == QLatin1StringView(worded.qtText))
            return systemErrorText(worded.errorNumber);
    }
    return qtErrorString;
}

} // namespace zelmora
