#include "ui/page_inputs/colour_code.h"

namespace zelmora {

quint32 colorRef(const QColor &colour)
{
    const QColor rgb = colour.toRgb();
    return quint32(rgb.red()) | quint32(rgb.green()) << 8 | quint32(rgb.blue()) << 16;
}

QString htmlColour(quint32 colorRef)
{
    const QString digits = QString::number(colorRef, 16).toUpper().rightJustified(6, u'0');
    // A value above 0xFFFFFF cannot come from a colour; keeping the last six
    // digits still gives a well-formed colour should one ever appear.
    const QString bgr = digits.right(6);
    return u'#' + bgr.mid(4, 2) + bgr.mid(2, 2) + bgr.mid(0, 2);
}

} // namespace zelmora
