#pragma once

#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>
#include <QObject>

namespace zelmora::bench {

// Runs the event loop until done() holds, blocking between events instead
// of polling, so no sleep adds to what is timed.
template <class Done>
void waitFor(Done done)
{
    while (!done())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

// Installed as an event filter: notes that the watched widget was painted.
class PaintSpy : public QObject {
public:
    bool painted = false;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            painted = true;
        return false;
    }
};

} // namespace zelmora::bench
