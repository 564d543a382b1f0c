#pragma once

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <functional>

namespace zelmora::test {

// Runs act on the modal window that the next command shows, from inside its
// event loop; a command that shows none leaves act unrun.
inline void onModal(std::function<void(QWidget *)> act)
{
    QTimer::singleShot(0, [act = std::move(act)] {
        if (QWidget *modal = QApplication::activeModalWidget())
            act(modal);
    });
}

} // namespace zelmora::test
