#pragma once

#include <QDialog>

class QAbstractButton;

namespace zelmora {

// バージョン情報: which program this is, its version and licence, and the
// project's page, where problems are reported.
class AboutBox : public QDialog {
    Q_OBJECT
public:
    explicit AboutBox(QWidget *parent = nullptr);
};

// Gives the button a context menu with バージョン情報, opened by a right
// click, Shift+F10 or the Menu key; the box belongs to the button's window.
void addAboutMenu(QAbstractButton *button);

} // namespace zelmora
