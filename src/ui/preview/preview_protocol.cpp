#include "ui/preview/preview_protocol.h"

#include <QJsonDocument>
#include <QJsonObject>

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
    return line({{QStringLiteral("type"), QStringLiteral("show")},
                 {QStringLiteral("folder"), folder},
                 {QStringLiteral("title"), title},
                 {QStringLiteral("extension"), extension},
                 {QStringLiteral("last"), lastPage},
                 {QStringLiteral("encoding"), encoding},
                 {QStringLiteral("x"), position.x()},
                 {QStringLiteral("y"), position.y()},
                 // A JSON number holds an X11 window id (32 bits) exactly.
                 {QStringLiteral("parent"), double(parentWindow)}});
}

std::optional<PreviewRequest> PreviewRequest::fromLine(const QByteArray &text)
{
    const auto o = object(text);
    if (!o || o->value(QStringLiteral("type")).toString() != QLatin1String("show"))
        return std::nullopt;
    PreviewRequest r;
    r.folder = o->value(QStringLiteral("folder")).toString();
    r.title = o->value(QStringLiteral("title")).toString();
    r.extension = o->value(QStringLiteral("extension")).toString();
    r.lastPage = std::max(1, o->value(QStringLiteral("last")).toInt(1));
    r.encoding = o->value(QStringLiteral("encoding")).toString();
    r.position
        = QPoint(o->value(QStringLiteral("x")).toInt(), o->value(QStringLiteral("y")).toInt());
    r.parentWindow = quint64(o->value(QStringLiteral("parent")).toDouble());
    if (r.folder.isEmpty() || r.title.isEmpty())
        return std::nullopt;
    return r;
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
