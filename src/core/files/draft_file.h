#pragma once

#include "core/model/page_set.h"
#include "core/files/atomic_file.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace zelmora {

// The editor's whole page set as a draft file: JSON with a marker of its own,
// so that a file of another program is never taken for a draft.
QByteArray draftBytes(const PageSet &set);

// The page set of a draft, or nothing when the bytes are not a draft this
// program wrote (damaged, truncated, foreign, a value out of range).
std::optional<PageSet> parseDraft(const QByteArray &bytes);

// The draft file beside the settings file.
QString draftPathBeside(const QString &settingsFile);

// What is found at the draft's place.
struct DraftOnDisk {
    enum class State { None, Found, Damaged } state = State::None;
    PageSet set;
    QString setAsidePath; // where a damaged draft was moved to
};

// Reads the draft. A damaged or foreign file is renamed aside (name +
// ".damaged", replacing an older one) so it is reported once and never read
// again; one that cannot be moved is left and reported as damaged.
DraftOnDisk takeDraft(const QString &path);

// Replaces the draft atomically (a reader sees the old or the new draft).
std::optional<FileError> saveDraft(const QString &path, const PageSet &set);

// Removes the draft; a missing draft is not an error.
void removeDraft(const QString &path);

} // namespace zelmora
