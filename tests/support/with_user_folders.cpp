// Runs a command as the tests start the program (user_folders.h): with the
// user's places inside the given folder, no display and no session bus. For
// the tests written as scripts.
//
//   with_user_folders <folder> <command> [arguments]

#include "support/user_folders.h"

#include <cstdio>
#include <vector>

#include <unistd.h>

int main(int argc, char **argv)
{
    if (argc < 3) {
        std::fputs("usage: with_user_folders <folder> <command> [arguments]\n", stderr);
        return 2;
    }
    std::vector<QByteArray> variables;
    for (const QString &variable : zelmora::test::userFoldersIn(QString::fromLocal8Bit(argv[1])).toStringList())
        variables.push_back(variable.toLocal8Bit());
    std::vector<char *> environment;
    for (QByteArray &variable : variables)
        environment.push_back(variable.data());
    environment.push_back(nullptr);
    ::execvpe(argv[2], argv + 2, environment.data());
    std::perror(argv[2]);
    return 127;
}
