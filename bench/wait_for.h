#pragma once

#include <QCoreApplication>
#include <QEventLoop>

namespace zelmora::bench {

// Runs the event loop until done() holds, blocking between events instead
// of polling, so no sleep adds to what is timed.
template <class Done>
void waitFor(Done done)
{
    while (!done())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

} // namespace zelmora::bench
