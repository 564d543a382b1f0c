#pragma once

#include <QString>

namespace zelmora {

// The system's own text for an errno value, in the language of the user's
// locale where the system has it (glibc's translations: "許可がありません"
// for EACCES under ja_JP.UTF-8).
QString systemErrorText(int errorNumber);

// Qt words four file errors itself, in fixed English (EACCES, EMFILE,
// ENOENT, ENOSPC), and passes every other one on from the system. This
// gives the system's text for those four too, so that every reason the
// user reads is in the same language; any other text comes back unchanged.
QString localFileErrorText(const QString &qtErrorString);

} // namespace zelmora
