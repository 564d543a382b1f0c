#pragma once

#include <QProcessEnvironment>
#include <QString>

namespace zelmora::test {

// The environment for a process that a test starts: this process's own, with
// the user's places (HOME, XDG_CONFIG_HOME, XDG_DATA_HOME, XDG_CACHE_HOME,
// XDG_DOCUMENTS_DIR and a private XDG_RUNTIME_DIR) made inside folder, no
// display and no session bus. The process can then write nothing into the
// home of whoever runs the tests, and cannot start a bus daemon of its own
// (as it would on an X display without a bus) that outlives it; a test that
// gives it a display or a bus adds them after this.
QProcessEnvironment userFoldersIn(const QString &folder);

} // namespace zelmora::test
