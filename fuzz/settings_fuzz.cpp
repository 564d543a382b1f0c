// Arbitrary bytes as Zelmora.ini: reading never fails, writing one key
// changes that key only, and saving the seven options as they were read
// (what the options dialog does when closed unchanged) reads back the same
// and keeps every other key of the file. Input: a control byte, one byte giving the value's
// length, the value (UTF-8), then the file. The control byte chooses the
// key (bits 0-2), a UTF-8 byte-order mark before the file (bit 3), the file
// as UTF-16 with its mark (bit 4) and a long value (bit 7); the branches of
// the decoders lie in Qt and ICU, where the fuzzer cannot see them.

#include "core/settings/ini_text.h"
#include "core/settings/settings_file.h"

#include <QFile>
#include <QMap>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

using namespace zelmora;

namespace {

const QString kAbsent = QStringLiteral("\x01"
                                       "absent");

const std::array<QString, 3> kSections
    = {kSettingsSection, QStringLiteral("A"), QStringLiteral("Other")};
const std::array<QString, 10> kKeys
    = {kKeyDousa,     kKeyKensaku,         kKeyHomeName,        kKeyHomeURL,
       kKeyKakucyosi, QStringLiteral("a"), QStringLiteral("k"), QStringLiteral("HomeName2"),
       kKeyMojiCode,  kKeyKeishiki};

using Snapshot = std::array<std::array<QString, kKeys.size()>, kSections.size()>;

Snapshot snapshot(const QString &path)
{
    Snapshot values;
    for (size_t s = 0; s < kSections.size(); ++s) {
        for (size_t k = 0; k < kKeys.size(); ++k)
            values[s][k] = readIniString(kSections[s], kKeys[k], kAbsent, path);
    }
    return values;
}

// Windows trims vertical tabs with spaces and tabs.
bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\v';
}

QString trimmed(QString text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;
    return text.sliced(begin, end - begin);
}

// What readIniString gives back for a written value, worked out independently
// of the reader: line breaks became spaces, blanks trimmed, cut to 255
// bytes of UTF-8 on a character boundary.
QString expectedReadBack(const QString &written)
{
    QString value = written;
    value.replace(u'\r', u' ').replace(u'\n', u' ');
    value = trimmed(value);
    if (value.isEmpty())
        return kAbsent;
    QString cut;
    for (qsizetype i = 0; i < value.size();) {
        const qsizetype units
            = value[i].isHighSurrogate() && i + 1 < value.size() && value[i + 1].isLowSurrogate()
            ? 2
            : 1;
        const QString character = value.sliced(i, units);
        if ((cut + character).toUtf8().size() > kMaxValueBytes)
            break;
        cut += character;
        i += units;
    }
    return trimmed(cut);
}

[[noreturn]] void fail(const char *what, const QString &detail);

QString fileText(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? ini::decode(file.readAll()) : QString();
}

// Section and key names the text could hold, gathered without the parser:
// what stands between "[" and "]" and before "=" on each line. A name that
// is no real section or key only reads as missing, before and after alike.
void gatherNames(const QString &text, QStringList &sections, QStringList &keys)
{
    static const QRegularExpression lineEnd(QStringLiteral("\\r\\n|\\r|\\n"));
    for (const QString &line : text.split(lineEnd)) {
        const qsizetype open = line.indexOf(u'[');
        const qsizetype close = open < 0 ? -1 : line.indexOf(u']', open + 1);
        if (close > open && sections.size() < 8)
            sections << trimmed(line.mid(open + 1, close - open - 1));
        const qsizetype eq = line.indexOf(u'=');
        if (eq > 0 && keys.size() < 16)
            keys << trimmed(line.left(eq));
    }
}

// Every value that either text holds is the same in both, except the keys
// of kSettingsSection named in written.
void checkOthersKept(const QString &before, const QString &after, const QStringList &written)
{
    QStringList sections{kSettingsSection};
    QStringList keys;
    gatherNames(before, sections, keys);
    gatherNames(after, sections, keys);
    for (const QString &section : sections) {
        for (const QString &key : keys) {
            if (section.compare(kSettingsSection, Qt::CaseInsensitive) == 0
                && written.contains(key, Qt::CaseInsensitive))
                continue;
            const QString was = ini::findValue(before, section, key).value_or(kAbsent);
            const QString now = ini::findValue(after, section, key).value_or(kAbsent);
            if (was != now) {
                fail("another key changed",
                     section + u'/' + key + QStringLiteral(": was [") + was
                         + QStringLiteral("] now [") + now + u']');
            }
        }
    }
}

[[noreturn]] void fail(const char *what, const QString &detail)
{
    std::fprintf(stderr, "%s: %s\n", what, detail.toUtf8().constData());
    std::abort();
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        fail("cannot prepare", path);
    file.write(bytes);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static QTemporaryDir dir;
    static const QString path = dir.filePath(QStringLiteral("Zelmora.ini"));
    if (size < 2)
        return 0;
    const uint8_t control = data[0];
    const size_t keyIndex = (control & 0x07) % 5;
    const size_t valueLength = std::min<size_t>(data[1], size - 2);
    // A long value now and then, to cross the 255-byte cut.
    QString value
        = QString::fromUtf8(reinterpret_cast<const char *>(data + 2), qsizetype(valueLength));
    if (control & 0x80)
        value = value.repeated(4);
    QByteArray file(reinterpret_cast<const char *>(data + 2 + valueLength),
                    qsizetype(size - 2 - valueLength));
    if (control & 0x10) {
        const QString text = QString::fromUtf8(file);
        file = QByteArray("\xFF\xFE")
            + QByteArray(reinterpret_cast<const char *>(text.utf16()), text.size() * 2);
    }
    if (control & 0x08)
        file.prepend("\xEF\xBB\xBF");
    writeFile(path, file);

    const Snapshot before = snapshot(path);
    const QString textBefore = fileText(path);
    (void)readStoredSettings(path);

    if (writeIniString(kSettingsSection, kKeys[keyIndex], value, path))
        fail("write failed", path);
    const QByteArray written = [&] {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }();

    Snapshot expected = before;
    expected[0][keyIndex] = value.isEmpty() ? kAbsent : expectedReadBack(value);
    const Snapshot after = snapshot(path);
    for (size_t s = 0; s < kSections.size(); ++s) {
        for (size_t k = 0; k < kKeys.size(); ++k) {
            if (after[s][k] != expected[s][k]) {
                fail("value changed",
                     kSections[s] + u'/' + kKeys[k] + QStringLiteral(": expected [")
                         + expected[s][k] + QStringLiteral("] got [") + after[s][k] + u']');
            }
        }
    }

    checkOthersKept(textBefore, fileText(path), {kKeys[keyIndex]});

    // Writing the same value again finds nothing to change.
    if (writeIniString(kSettingsSection, kKeys[keyIndex], value, path))
        fail("second write failed", path);
    QFile again(path);
    if (again.open(QIODevice::ReadOnly) && again.readAll() != written)
        fail("second write changed the file", kKeys[keyIndex]);

    // Parse, write, parse again: the seven options as read, saved in one
    // replacement, read back the same; nothing else in the file changes, and
    // a second save finds nothing to change.
    const QString textRead = fileText(path);
    const StoredSettings read = readStoredSettings(path);
    if (writeStoredSettings(read, path))
        fail("saving the options failed", path);
    const QByteArray saved = [&] {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }();
    if (!(readStoredSettings(path) == read))
        fail("saved options read back differently", path);
    checkOthersKept(textRead, fileText(path),
                    {kKeyDousa, kKeyKensaku, kKeyHomeName, kKeyHomeURL, kKeyKakucyosi, kKeyMojiCode,
                     kKeyKeishiki});
    if (writeStoredSettings(read, path))
        fail("second save failed", path);
    QFile savedAgain(path);
    if (savedAgain.open(QIODevice::ReadOnly) && savedAgain.readAll() != saved)
        fail("second save changed the file", path);
    return 0;
}
