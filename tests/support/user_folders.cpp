#include "support/user_folders.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace zelmora::test {

QProcessEnvironment userFoldersIn(const QString &folder)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    const char *const places[][2] = {{"HOME", "home"},
                                     {"XDG_CONFIG_HOME", "home/.config"},
                                     {"XDG_DATA_HOME", "home/.local/share"},
                                     {"XDG_CACHE_HOME", "home/.cache"},
                                     {"XDG_DOCUMENTS_DIR", "home/Documents"},
                                     {"XDG_RUNTIME_DIR", "runtime"}};
    for (const auto &[name, place] : places) {
        const QString path = QDir(folder).filePath(QLatin1String(place));
        EXPECT_TRUE(QDir().mkpath(path)) << path.toStdString();
        env.insert(QLatin1String(name), path);
    }
    EXPECT_TRUE(QFile::setPermissions(env.value(QStringLiteral("XDG_RUNTIME_DIR")),
                                      QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), QStringLiteral("disabled:"));
    return env;
}

} // namespace zelmora::test
