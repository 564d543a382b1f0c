#include "ui/kit/keyboard.h"

#include <QAbstractButton>
#include <QButtonGroup>

namespace zelmora {

void setMnemonicCaption(QAbstractButton *button, const QString &caption, char letter)
{
    button->setText(caption + QStringLiteral("(&") + QLatin1Char(letter) + u')');
    button->setAccessibleName(caption);
}

namespace {

void takeTabOnChecked(const QButtonGroup *group)
{
    const QAbstractButton *checked = group->checkedButton();
    for (QAbstractButton *button : group->buttons()) {
        const Qt::FocusPolicy policy = button->focusPolicy();
        button->setFocusPolicy(!checked || button == checked
                                   ? Qt::FocusPolicy(policy | Qt::TabFocus)
                                   : Qt::FocusPolicy(policy & ~Qt::TabFocus));
    }
}

} // namespace

void tabIntoCheckedButton(QButtonGroup *group)
{
    // Qt moves the Tab stop only when a button of the group takes the focus;
    // a choice made by the program (a set read, the stored settings) would
    // leave it on a button that is not checked.
    takeTabOnChecked(group);
    QObject::connect(group, &QButtonGroup::buttonToggled, group,
                     [group](QAbstractButton *, bool checked) {
                         if (checked)
                             takeTabOnChecked(group);
                     });
}

} // namespace zelmora
