#pragma once

#include <QString>

namespace zelmora {

// The system's own text for an errno value, in the language of the user's
// locale where the system has it (glibc's translations: "許可がありません"
// for EACCES under ja_JP.UTF-8). Every reason the user reads comes from here:
// Qt's own file error strings are fixed English for some errors.
QString systemErrorText(int errorNumber);

// A file that could not be written or read: which one and the system's reason.
struct FileError {
    QString path;
    QString reason;
    int errorNumber = 0; // the errno the reason comes from, 0 when none

    // The file and the reason of an errno value.
    static FileError fromErrno(const QString &path, int errorNumber)
    {
        return FileError{path, systemErrorText(errorNumber), errorNumber};
    }

    // The one message the user sees for a file that could not be written,
    // in the interface's language.
    QString writeMessage() const;
};

} // namespace zelmora
