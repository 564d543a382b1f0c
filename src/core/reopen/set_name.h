#pragma once

#include <QString>

#include <optional>

namespace zelmora {

// The set a picked file belongs to: the title (stem of every file name of the
// set) and the extension its popup pages were written with.
struct SetName {
    QString title;
    QString ext;

    bool operator==(const SetName &) const = default;
};

// Derives the set from the name of one of its files (a popup page
// "<title>_<digit>.htm[l]" or the data page "<title>_data.htm[l]"), letter
// case included; nullopt for any other name, the empty one among them.
std::optional<SetName> matchSetName(const QString &fileName);

} // namespace zelmora
