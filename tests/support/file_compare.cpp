#include "support/file_compare.h"

#include <QDir>
#include <QFile>

namespace zelmora::test {

QByteArray crlfJoin(const QList<QByteArray> &lines)
{
    QByteArray out;
    for (const QByteArray &line : lines)
        out += line + "\r\n";
    return out;
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        ADD_FAILURE() << "cannot read " << path.toStdString();
        return {};
    }
    return file.readAll();
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    ASSERT_EQ(file.write(bytes), bytes.size()) << path.toStdString();
}

QStringList entriesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                                  QDir::Name);
}

testing::AssertionResult sameBytes(const QByteArray &expected, const QByteArray &actual)
{
    if (expected == actual)
        return testing::AssertionSuccess();
    const QList<QByteArray> e = expected.split('\n');
    const QList<QByteArray> a = actual.split('\n');
    for (qsizetype i = 0; i < std::max(e.size(), a.size()); ++i) {
        const QByteArray el = i < e.size() ? e[i] : QByteArray("<missing>");
        const QByteArray al = i < a.size() ? a[i] : QByteArray("<missing>");
        if (el != al) {
            return testing::AssertionFailure()
                << "first difference at line " << (i + 1) << "\n  expected: "
                << el.toHex(' ').toStdString() << "\n    (" << el.toStdString() << ")"
                << "\n  actual:   " << al.toHex(' ').toStdString() << "\n    ("
                << al.toStdString() << ")";
        }
    }
    return testing::AssertionFailure() << "files differ";
}

} // namespace zelmora::test

#include <QStringEncoder>

namespace zelmora::test {

QByteArray sjis(const char *utf8)
{
    QStringEncoder encoder("Shift_JIS");
    if (!encoder.isValid()) {
        ADD_FAILURE() << "Qt has no Shift_JIS encoder";
        return {};
    }
    QByteArray out = encoder.encode(QString::fromUtf8(utf8));
    if (encoder.hasError())
        ADD_FAILURE() << "test text not encodable: " << utf8;
    return out;
}

QByteArray sjisFile(std::initializer_list<const char *> lines)
{
    QByteArray out;
    for (const char *line : lines)
        out += sjis(line) + "\r\n";
    return out;
}

} // namespace zelmora::test
