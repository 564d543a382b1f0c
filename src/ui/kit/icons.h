#pragma once

#include <QIcon>
#include <QPixmap>

namespace zelmora {

// The pictures of the main window's four picture buttons, 22 by 22 pixels
// (kButtonPictureSize), drawn here so that the program carries no image
// files. Each is painted at the size in device pixels that it is shown at,
// in the inks that suit the application palette's button face.
QIcon folderIcon();   // PLF_Open_btn: a folder
QIcon settingsIcon(); // Option_btn: the word 設定 in blue (a light blue on a dark face)
QIcon helpIcon();     // Help: a yellow question mark
QIcon publishIcon();  // Publish_btn: a green arrow up out of a tray

// The program's window icon: a green leaf on a small popup window.
QIcon applicationIcon();

inline constexpr int kButtonPictureSize = 22;

} // namespace zelmora
