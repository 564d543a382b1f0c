#pragma once

#include <QString>

#include <optional>

namespace zelmora {

// The desktop's Secret Service keyring, through QtKeychain, for the
// passwords and passphrases the user asked to be remembered. Nothing falls
// back to a file: without a keyring a secret is simply not kept.
class Keyring {
public:
    // The secret stored under key; nullopt when there is none or no keyring.
    static std::optional<QString> read(const QString &key);
    // Stores it; the keyring's reason on failure.
    static std::optional<QString> store(const QString &key, const QString &secret);
    static void forget(const QString &key);
};

} // namespace zelmora
