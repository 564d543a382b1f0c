#pragma once

#include <QIcon>
#include <QPixmap>

namespace zelmora {

// The pictures of the main window's three picture buttons, 22 by 22 pixels,
// drawn here so that the program carries no image files.
QPixmap folderPicture();   // PLF_Open_btn: a folder
QPixmap settingsPicture(); // Option_btn: the word 設定 in blue
QPixmap helpPicture();     // Help: a yellow question mark

// The program's window icon: a green leaf on a small popup window.
QIcon applicationIcon();

inline constexpr int kButtonPictureSize = 22;

} // namespace zelmora
