#include "core/files/file_listing.h"

#include <QFile>

#include <algorithm>
#include <cstring>
#include <dirent.h>
#include <memory>
#include <sys/stat.h>
#include <vector>

namespace zelmora {
namespace {

struct DirCloser {
    void operator()(DIR *dir) const { ::closedir(dir); }
};

char asciiLower(char c)
{
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

// The suffixes are ASCII, and in UTF-8 file names an ASCII byte is always
// that character, so the name's last bytes decide.
bool endsWithIgnoringCase(const char *name, std::size_t length, QLatin1StringView suffix)
{
    const auto n = std::size_t(suffix.size());
    if (length < n)
        return false;
    const char *tail = name + length - n;
    for (std::size_t i = 0; i < n; ++i) {
        if (asciiLower(tail[i]) != asciiLower(suffix[qsizetype(i)].toLatin1()))
            return false;
    }
    return true;
}

// A plain file, or a link that leads to one; anything else is no file.
bool isPlainFile(int dirFd, const dirent *entry)
{
    if (entry->d_type == DT_REG)
        return true;
    if (entry->d_type != DT_LNK && entry->d_type != DT_UNKNOWN)
        return false;
    struct stat st {};
    return ::fstatat(dirFd, entry->d_name, &st, 0) == 0 && S_ISREG(st.st_mode);
}

} // namespace

QStringList filesWithSuffixes(const QString &folder,
                              std::initializer_list<QLatin1StringView> suffixes, HiddenFiles hidden)
{
    if (folder.isEmpty())
        return {};
    std::unique_ptr<DIR, DirCloser> dir(::opendir(QFile::encodeName(folder).constData()));
    if (!dir)
        return {};

    struct Entry {
        QString key; // the name in lower case, as QDir sorts
        QString name;
    };
    std::vector<Entry> entries;
    while (const dirent *entry = ::readdir(dir.get())) {
        const char *name = entry->d_name;
        // Hidden names; "." and ".." never end in a suffix.
        if (name[0] == '.' && hidden == HiddenFiles::Skip)
            continue;
        const std::size_t length = std::strlen(name);
        const bool wanted = std::any_of(suffixes.begin(), suffixes.end(), [&](QLatin1StringView s) {
            return endsWithIgnoringCase(name, length, s);
        });
        if (!wanted || !isPlainFile(::dirfd(dir.get()), entry))
            continue;
        QString decoded = QFile::decodeName(QByteArray(name, qsizetype(length)));
        entries.push_back({decoded.toLower(), std::move(decoded)});
    }
    // Names equal but for case keep the folder's order.
    std::stable_sort(entries.begin(), entries.end(),
                     [](const Entry &a, const Entry &b) { return a.key < b.key; });
    QStringList names;
    names.reserve(qsizetype(entries.size()));
    for (Entry &e : entries)
        names.push_back(std::move(e.name));
    return names;
}

} // namespace zelmora
