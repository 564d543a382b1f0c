#pragma once

#include <QCoreApplication>

namespace zelmora {

// The interface's texts outside the windows' own classes: Texts::tr("…"),
// with the Japanese text as the source, so that Qt's translation machinery
// and lupdate find every one (translations/zelmora.ts). Windows use their
// own tr(). Bytes written into files are not interface texts and stay
// literal.
struct Texts {
    Q_DECLARE_TR_FUNCTIONS(Zelmora)
};

} // namespace zelmora
