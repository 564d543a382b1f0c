#pragma once

#include "core/model/page_set.h"

namespace zelmora {

// The editor as the commands see it: a snapshot of its inputs, and the two
// ways they change it. The main window implements it on its controls (the
// input rules then run as clicks would); the tests' RecordEditor holds a
// plain PageSet.
class Editor {
public:
    virtual ~Editor() = default;

    virtual PageSet pageSet() const = 0;
    // Shows a whole page set, selecting each option as a click would.
    virtual void showPageSet(const PageSet &set) = 0;
    virtual void setTitle(const QString &title) = 0;
    // Every field back to its initial value, the title kept, the first tab shown.
    virtual void resetEditor() = 0;
};

} // namespace zelmora
