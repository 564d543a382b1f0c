#include "core/settings/settings_file.h"

#include "core/model/texts.h"
#include "core/settings/ini_text.h"
#include "core/files/file_descriptor.h"

#include <QFile>

#include <array>
#include <cerrno>
#include <fcntl.h>
#include <functional>
#include <sys/stat.h>
#include <unistd.h>

namespace zelmora {
namespace {

struct LoadedFile {
    QByteArray bytes;
    bool missing = false;
    bool readOnly = false;
    std::optional<QString> error; // the file is there but cannot be used
};

LoadedFile loadFile(const QString &path)
{
    LoadedFile file;
    // O_NONBLOCK keeps open() from waiting on a FIFO put in the file's place;
    // the type is then checked on the opened descriptor. A symbolic link in
    // its place is no settings file of this program (O_NOFOLLOW): read as
    // missing, so that a save neither copies what it points to into the new
    // file nor writes there.
    FileDescriptor fd(::open(QFile::encodeName(path).constData(),
                             O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC));
    if (fd.get() < 0) {
        if (errno == ENOENT || errno == ELOOP)
            file.missing = true;
        else
            file.error = systemErrorText(errno);
        return file;
    }
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0) {
        file.error = systemErrorText(errno);
        return file;
    }
    if (S_ISDIR(st.st_mode)) {
        file.error = systemErrorText(EISDIR);
        return file;
    }
    if (!S_ISREG(st.st_mode)) {
        file.error = Texts::tr("通常のファイルではありません");
        return file;
    }
    if (st.st_size > kMaxSettingsFileBytes) {
        file.error = Texts::tr("設定ファイルとしては大きすぎます");
        return file;
    }
    // The read-only attribute of a Windows file: honoured even where the
    // system would let this user (root) replace the file.
    file.readOnly = (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;

    file.bytes.resize(qsizetype(st.st_size));
    if (const int error = readAll(fd.get(), file.bytes))
        file.error = systemErrorText(error);
    return file;
}

// Cuts a value to its first maxBytes bytes of UTF-8 without splitting a
// character.
QStringView cutToUtf8Bytes(QStringView value, qsizetype maxBytes)
{
    qsizetype bytes = 0;
    qsizetype i = 0;
    while (i < value.size()) {
        const char16_t c = value[i].unicode();
        qsizetype units = 1;
        qsizetype length = 3;
        if (c < 0x80)
            length = 1;
        else if (c < 0x800)
            length = 2;
        else if (QChar::isHighSurrogate(c) && i + 1 < value.size()
                 && value[i + 1].isLowSurrogate()) {
            length = 4;
            units = 2;
        }
        if (bytes + length > maxBytes)
            break;
        bytes += length;
        i += units;
    }
    return value.first(i);
}

QString valueOr(QStringView text, const QString &section, const QString &key,
                const QString &defaultValue)
{
    const std::optional<QString> found = ini::findValue(text, section, key);
    if (!found)
        return defaultValue;
    QStringView value = ini::trimBlanks(*found);
    if (value.isEmpty())
        return defaultValue;
    // The cut may leave a blank at the end; it is trimmed like any other.
    return ini::trimBlanks(cutToUtf8Bytes(value, kMaxValueBytes)).toString();
}

QString readText(const QString &path)
{
    const LoadedFile file = loadFile(path);
    if (file.missing || file.error)
        return {};
    return ini::decode(file.bytes);
}

// Reads the file, lets edit change its text and writes it back only when the
// text changed. Everything the edit did not touch stays as it was; a file
// that was not UTF-8 comes back as UTF-8.
std::optional<FileError> editFile(const QString &path, const std::function<void(QString &)> &edit)
{
    const LoadedFile file = loadFile(path);
    if (file.error)
        return FileError{path, *file.error};
    const QString old = file.missing ? QString() : ini::decode(file.bytes);
    QString text = old;
    edit(text);
    if (text == old)
        return std::nullopt;
    if (file.readOnly)
        return FileError{path, systemErrorText(EACCES)};
    return writeWholeFile(path, ini::encode(text));
}

std::optional<FileError> checkNames(const QString &section, const QString &key, const QString &path)
{
    if (ini::isValidSectionName(section) && ini::isValidKeyName(key))
        return std::nullopt;
    return FileError{path, Texts::tr("設定の名前 [%1] %2 は書き込めません").arg(section, key)};
}

} // namespace

QString readIniString(const QString &section, const QString &key, const QString &defaultValue,
                      const QString &path)
{
    return valueOr(readText(path), section, key, defaultValue);
}

std::optional<FileError> writeIniString(const QString &section, const QString &key,
                                        const QString &value, const QString &path)
{
    if (auto error = checkNames(section, key, path))
        return error;
    return editFile(path, [&](QString &text) { ini::setValue(text, section, key, value); });
}

std::optional<FileError> writeIniStrings(const QString &section,
                                         const QList<std::pair<QString, QString>> &values,
                                         const QString &path)
{
    for (const auto &[key, value] : values) {
        if (auto error = checkNames(section, key, path))
            return error;
    }
    return editFile(path, [&](QString &text) {
        for (const auto &[key, value] : values)
            ini::setValue(text, section, key, value);
    });
}

StoredSettings readStoredSettings(const QString &path)
{
    // One read of the file answers all seven keys.
    const QString text = readText(path);
    const StoredSettings defaults;
    StoredSettings s;
    s.DousaSettei = valueOr(text, kSettingsSection, kKeyDousa, defaults.DousaSettei);
    s.KensakuSettei = valueOr(text, kSettingsSection, kKeyKensaku, defaults.KensakuSettei);
    s.HomeName = valueOr(text, kSettingsSection, kKeyHomeName, defaults.HomeName);
    s.HomeURL = valueOr(text, kSettingsSection, kKeyHomeURL, defaults.HomeURL);
    s.KakucyosiSettei = valueOr(text, kSettingsSection, kKeyKakucyosi, defaults.KakucyosiSettei);
    s.MojiCodeSettei = valueOr(text, kSettingsSection, kKeyMojiCode, defaults.MojiCodeSettei);
    s.KeishikiSettei = valueOr(text, kSettingsSection, kKeyKeishiki, defaults.KeishikiSettei);
    return s;
}

std::optional<FileError> writeStoredSettings(const StoredSettings &s, const QString &path)
{
    const std::array<std::pair<const QString &, const QString &>, 7> keys{{
        {kKeyDousa, s.DousaSettei},
        {kKeyKensaku, s.KensakuSettei},
        {kKeyHomeName, s.HomeName},
        {kKeyHomeURL, s.HomeURL},
        {kKeyKakucyosi, s.KakucyosiSettei},
        {kKeyMojiCode, s.MojiCodeSettei},
        {kKeyKeishiki, s.KeishikiSettei},
    }};
    return editFile(path, [&](QString &text) {
        for (const auto &[key, value] : keys)
            ini::setValue(text, kSettingsSection, key, value);
    });
}

} // namespace zelmora
