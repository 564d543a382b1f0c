// Runs a command as the tests start the program (user_folders.h): with the
// user's places inside the given folder, no display and no session bus. For
// the tests written as scripts.
//
//   with_user_folders <folder> <command> [arguments]

#include "support/user_folders.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <unistd.h>

int main(int argc, char **argv)
{
    if (argc < 3) {
        std::fputs("usage: with_user_folders <folder> <command> [arguments]\n", stderr);
        return 2;
    }
    const QStringList variables = zelmora::test::userFoldersIn(QString::fromLocal8Bit(argv[1])).toStringList();
    ::clearenv();
    for (const QString &variable : variables)
        ::putenv(::strdup(variable.toLocal8Bit().constData()));
    ::execvp(argv[2], argv + 2);
    std::perror(argv[2]);
    return 127;
}
