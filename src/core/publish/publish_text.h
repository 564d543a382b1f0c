#pragma once

#include <QCoreApplication>

namespace zelmora {

// The publish texts, translatable with the Japanese text as the source.
inline QString publishText(const char *source)
{
    return QCoreApplication::translate("zelmora::Publish", source);
}

} // namespace zelmora
