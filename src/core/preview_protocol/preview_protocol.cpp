#include "core/preview_protocol/preview_protocol.h"

#include "core/model/texts.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>

namespace zelmora {
namespace {

QByteArray line(const QJsonObject &object)
{
    return QJsonDocument(object).toJson(QJsonDocument::Compact) + '\n';
}

std::optional<QJsonObject> object(const QByteArray &line)
{
    const QJsonDocument document = QJsonDocument::fromJson(line.trimmed());
    if (!document.isObject())
        return std::nullopt;
    return document.object();
}

} // namespace

QByteArray PreviewRequest::toLine() const
{
    if (kind == Kind::Close)
        return line({{QStringLiteral("type"), QStringLiteral("close")}});
    return line({{QStringLiteral("type"), QStringLiteral("show")},
                 {QStringLiteral("folder"), folder},
                 {QStringLiteral("title"), title},
                 {QStringLiteral("extension"), extension},
                 {QStringLiteral("last"), lastPage},
                 {QStringLiteral("x"), position.x()},
                 {QStringLiteral("y"), position.y()},
                 // A JSON number holds an X11 window id (32 bits) exactly.
                 {QStringLiteral("parent"), double(parentWindow)}});
}

std::optional<PreviewRequest> PreviewRequest::fromLine(const QByteArray &text)
{
    const auto o = object(text);
    if (!o)
        return std::nullopt;
    const QString type = o->value(QStringLiteral("type")).toString();
    PreviewRequest r;
    if (type == QLatin1String("close")) {
        r.kind = Kind::Close;
        return r;
    }
    if (type != QLatin1String("show"))
        return std::nullopt;
    r.folder = o->value(QStringLiteral("folder")).toString();
    r.title = o->value(QStringLiteral("title")).toString();
    r.extension = o->value(QStringLiteral("extension")).toString();
    // Out of range on purpose when missing: fault() names it.
    r.lastPage = o->value(QStringLiteral("last")).toInt(0);
    r.position
        = QPoint(o->value(QStringLiteral("x")).toInt(), o->value(QStringLiteral("y")).toInt());
    // Missing: no parent. Anything but a whole number an X11 window id can
    // be is kept out of range, so that fault() names it; cast as it came, a
    // negative or huge number would be undefined.
    const QJsonValue parent = o->value(QStringLiteral("parent"));
    if (parent.isDouble()) {
        const double id = parent.toDouble();
        r.parentWindow = id >= 0 && id <= double(kLargestWindowId) && id == std::floor(id)
            ? quint64(id)
            : kLargestWindowId + 1;
    } else if (!parent.isUndefined()) {
        r.parentWindow = kLargestWindowId + 1;
    }
    return r;
}

bool isPreviewFolder(const QString &folder)
{
    // <folder>/TEMP/ beside <folder>/Popleaf/, in both of the program's
    // layouts; named without "." or "..", and not a link.
    if (!QDir::isAbsolutePath(folder) || !folder.endsWith(QLatin1String("/TEMP/")))
        return false;
    const QString path = folder.chopped(1);
    const QFileInfo temp(path);
    return QDir::cleanPath(path) == path && temp.isDir() && !temp.isSymLink()
        && QFileInfo(temp.path() + QStringLiteral("/Popleaf")).isDir();
}

std::optional<QString> PreviewRequest::fault() const
{
    // The guest shows files by the path it is given: only in a preview
    // folder, and only a name inside it.
    if (!isPreviewFolder(folder))
        return Texts::tr("プレビュー用の一時フォルダではありません: %1").arg(folder);
    if (title.contains(u'/') || title.contains(QChar(0)))
        return Texts::tr("タイトルにフォルダの区切りがあります: %1").arg(title);
    if (extension != QLatin1String(".htm"))
        return Texts::tr("拡張子が .htm ではありません: %1").arg(extension);
    if (parentWindow > kLargestWindowId)
        return Texts::tr("親ウィンドウの番号が正しくありません。");
    if (lastPage < 1 || lastPage > 6)
        return Texts::tr("ページ数が 1 から 6 の範囲にありません: %1").arg(lastPage);
    return std::nullopt;
}

QByteArray PreviewAnswer::toLine() const
{
    switch (kind) {
    case Kind::Shown:
        return line({{QStringLiteral("type"), QStringLiteral("shown")}});
    case Kind::Closed:
        return line({{QStringLiteral("type"), QStringLiteral("closed")}});
    case Kind::Failed:
        return line({{QStringLiteral("type"), QStringLiteral("failed")},
                     {QStringLiteral("reason"), reason}});
    }
    Q_ASSERT(false); // a kind is missing above
    return {};
}

std::optional<PreviewAnswer> PreviewAnswer::fromLine(const QByteArray &text)
{
    const auto o = object(text);
    if (!o)
        return std::nullopt;
    const QString type = o->value(QStringLiteral("type")).toString();
    if (type == QLatin1String("shown"))
        return PreviewAnswer{Kind::Shown, {}};
    if (type == QLatin1String("closed"))
        return PreviewAnswer{Kind::Closed, {}};
    if (type == QLatin1String("failed"))
        return PreviewAnswer{Kind::Failed, o->value(QStringLiteral("reason")).toString()};
    return std::nullopt;
}

} // namespace zelmora
