#include "core/places/file_places.h"

#include "build_config.h"
#include "core/files/file_descriptor.h"
#include "core/files/file_error.h"
#include "core/model/texts.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zelmora {

FilePlaces currentFilePlaces()
{
    FilePlaces places;
    places.programFolder = QCoreApplication::applicationDirPath();
    places.systemLayout = ZELMORA_SYSTEM_LAYOUT != 0;
    places.programFolderWritable
        = ::access(QFile::encodeName(places.programFolder).constData(), W_OK) == 0;
    // Read only when needed: the portable start-up skips the user-dirs file.
    if (places.systemLayout || !places.programFolderWritable)
        findUserFolders(QProcessEnvironment::systemEnvironment(), places);
    return places;
}

namespace {

// A user-dirs.dirs file holds a few lines; a larger file is not read.
constexpr qint64 kMaxUserDirsBytes = 64 * 1024;

// The bytes of a small regular file; nothing for anything else, which is
// never waited on (a FIFO in its place).
QByteArray smallFile(const QString &path)
{
    FileDescriptor fd(
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    struct stat st {};
    if (fd.get() < 0 || ::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)
        || st.st_size > kMaxUserDirsBytes)
        return {};
    QFile file;
    if (!file.open(fd.get(), QIODevice::ReadOnly))
        return {};
    return file.read(kMaxUserDirsBytes);
}

} // namespace

void findUserFolders(const QProcessEnvironment &env, FilePlaces &places)
{
    QString home = QDir::cleanPath(env.value(QStringLiteral("HOME")));
    if (home.isEmpty())
        home = QDir::rootPath();
    const QString config = env.value(QStringLiteral("XDG_CONFIG_HOME"));
    places.configFolder = config.startsWith(u'/') ? config : home + QStringLiteral("/.config");

    places.documentsFolder = QDir::cleanPath(home + QStringLiteral("/Documents"));
    const QByteArray key = "XDG_DOCUMENTS_DIR=";
    for (const QByteArray &line :
         smallFile(places.configFolder + QStringLiteral("/user-dirs.dirs")).split('\n')) {
        const QByteArray setting = line.trimmed();
        if (!setting.startsWith(key))
            continue;
        QString value = QFile::decodeName(setting.mid(key.size()));
        if (value.size() >= 2 && value.startsWith(u'"') && value.endsWith(u'"'))
            value = value.mid(1, value.size() - 2);
        if (value == u"$HOME" || value.startsWith(QStringLiteral("$HOME/")))
            value = home + value.mid(5);
        // "$HOME/" or a doubled separator would give the files' paths a "//".
        if (value.startsWith(u'/'))
            places.documentsFolder = QDir::cleanPath(value);
    }
}

ProgramPaths chooseProgramPaths(const FilePlaces &places)
{
    if (!places.systemLayout && places.programFolderWritable)
        return portablePaths(places.programFolder);
    const QString home = joinProgramPath(places.documentsFolder, QStringLiteral("Zelmora/"));
    ProgramPaths paths;
    paths.outputFolder = home + QStringLiteral("Popleaf/");
    paths.previewFolder = home + QStringLiteral("TEMP/");
    paths.helpFile = helpFileOf(places.programFolder);
    paths.settingsFile
        = joinProgramPath(places.configFolder, QStringLiteral("zelmora/Zelmora.ini"));
    return paths;
}

namespace {

bool isFolder(const QByteArray &path)
{
    struct stat st;
    return ::stat(path.constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

// mkdir -p, keeping the system's reason of the step that failed (QDir's
// mkpath only says that it failed).
std::optional<FolderProblem> createFolder(const QString &folder)
{
    const QString clean = QDir::cleanPath(folder);
    const QByteArray path = QFile::encodeName(clean);
    if (isFolder(path))
        return std::nullopt;
    for (qsizetype slash = path.indexOf('/', 1);; slash = path.indexOf('/', slash + 1)) {
        const QByteArray step = slash < 0 ? path : path.left(slash);
        if (::mkdir(step.constData(), 0777) != 0) {
            const int error = errno;
            // Something that is not a folder in the way: mkdir says EEXIST.
            if (error != EEXIST || !isFolder(step))
                return FolderProblem{QDir::toNativeSeparators(clean), systemErrorText(error)};
        }
        if (slash < 0)
            return std::nullopt;
    }
}

} // namespace

QList<FolderProblem> createFolders(const ProgramPaths &paths)
{
    QList<FolderProblem> problems;
    for (const QString &folder : {paths.outputFolder, QFileInfo(paths.settingsFile).path()}) {
        if (auto problem = createFolder(folder))
            problems.append(*problem);
    }
    return problems;
}

QString folderProblemMessage(const QList<FolderProblem> &problems)
{
    QString text = Texts::tr("フォルダを作成できませんでした。");
    for (const FolderProblem &p : problems)
        text += Texts::tr("\n%1\n理由: %2").arg(p.folder, p.reason);
    return text;
}

} // namespace zelmora
