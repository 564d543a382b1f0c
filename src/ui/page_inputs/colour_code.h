#pragma once

#include <QColor>
#include <QString>

namespace zelmora {

// A colour as the colour dialog reports it: red in the lowest byte, green in
// the next, blue in the third.
quint32 colorRef(const QColor &colour);

// The background value written for a colour, "#RRGGBB": the number in
// upper-case hexadecimal, padded to six digits (which then read blue, green,
// red), with its three digit pairs swapped end for end.
QString htmlColour(quint32 colorRef);

} // namespace zelmora
