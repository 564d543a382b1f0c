// Arbitrary file names (UTF-8) through the set name rules, checked against
// an independent regular expression: a name matches exactly when it ends in
// "_<digit>" or "_data" and then ".htm" or ".html", and the title and the
// suffix then rebuild the name.

#include "core/reopen/set_name.h"

#include <QRegularExpression>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

using namespace zelmora;

namespace {

void check(bool condition, const char *what)
{
    if (!condition) {
        fprintf(stderr, "set_name_fuzz: %s\n", what);
        abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString name = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    const std::optional<SetName> set = matchSetName(name);

    static const QRegularExpression pattern(QStringLiteral("\\A(.*)_([0-9]|data)(\\.html?)\\z"),
                                            QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpressionMatch match = pattern.match(name);

    check(set.has_value() == match.hasMatch(), "match differs from the pattern");
    if (!set)
        return 0;
    check(set->title == match.captured(1), "wrong title");
    check(set->ext == match.captured(3), "wrong extension");
    check(set->title + u'_' + match.captured(2) + set->ext == name,
          "title and suffix do not rebuild the name");
    return 0;
}
