#pragma once

#include <optional>
#include <string>

namespace lexorra {

// The desktop's Secret Service (GNOME Keyring, KWallet) over libsecret, for the AI key. The
// library is opened on first use, so that programs that never touch the key do not load GLib,
// and only where a session bus is named: without one libsecret would try to launch a bus.
// Entries are told apart by the settings file they stand in for, so a second configuration
// folder (tests, a second profile) has its own.
//
//   if (auto key = SecretService::lookup(file)) use(*key);   // nullopt: no service, or no entry
//   if (!SecretService::store(file, key, &error)) keepInTheFile(key);
class SecretService {
public:
    // The stored secret; nullopt when no Secret Service answers or it holds none.
    static std::optional<std::string> lookup(const std::string& storeFile);
    // Stores secret (an empty one removes the entry). False, with a reason, when no Secret
    // Service could take it.
    static bool store(const std::string& storeFile, const std::string& secret, std::string* error = nullptr);
};

} // namespace lexorra
