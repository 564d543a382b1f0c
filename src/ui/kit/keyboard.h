#pragma once

#include <QString>

class QAbstractButton;
class QButtonGroup;

namespace zelmora {

// Gives a button its caption with a mnemonic in the Japanese way, the letter
// in brackets after the caption ("作成(&S)" shows "作成(S)", Alt+S presses
// it). A screen reader keeps reading the caption alone.
void setMnemonicCaption(QAbstractButton *button, const QString &caption, char letter);

// Tab and Shift+Tab enter the group on its checked button, whichever button
// comes first in the focus chain; the arrow keys move within the group.
void tabIntoCheckedButton(QButtonGroup *group);

} // namespace zelmora
