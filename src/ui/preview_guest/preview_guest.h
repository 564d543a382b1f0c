#pragma once

namespace zelmora {

// The preview process (`zelmora --preview-guest`, see preview_protocol.h):
// shows the preview window for each request read from standard input until
// the input closes or the warm period after a closed window runs out. Runs
// the application's event loop and returns the process's exit code.
int runPreviewGuest();

} // namespace zelmora
