#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace lexorra {

// Writes whole files so that a reader, or the next start after a crash or power loss, sees
// either the old contents or the new ones, never a mix or a truncated file. Settings,
// workflow lists and sync records are replaced many times a minute while the intents
// service and other machines read them; a half-written file would lose every workflow.
//
// The bytes go to a temporary file in the same folder (rename is atomic only within one
// file system), are flushed and fsync'ed, get mode 0600 (the files hold the user's data
// and an API key), and the temporary file is then renamed over the target. The folder is
// fsync'ed too so that the rename itself survives a power loss.
//
//   std::string error;
//   if (!AtomicFile::write(path, json::write(doc), &error)) report(error);
class AtomicFile {
public:
    enum class Mode {
        ownerOnly, // 0600, missing parent folders created (0700): the application's own files
        // A file the user named: an existing file keeps its mode, a new one gets 0666 less the
        // umask, as any editor would give it; the folder must exist.
        usual,
    };
    // False, with a reason, when any step fails; the target is then untouched.
    static bool write(const std::filesystem::path& target, std::string_view bytes, std::string* error = nullptr,
                      Mode mode = Mode::ownerOnly);

    // The prefix of the temporary files that write() creates next to target, so that the
    // owner of a folder can remove the leftovers of a writer that was killed.
    static std::string temporaryPrefix(const std::filesystem::path& target);
    // Removes such leftovers. Only safe while no other writer of target can be running.
    static void removeLeftovers(const std::filesystem::path& target);
};

// An exclusive advisory lock (flock) on a lock file, held for the lifetime of the object.
// Read-modify-write cycles of a settings file hold it so that two processes (the app, the
// command line, the intents service) never lose each other's updates. The lock is
// released by the kernel when the process dies, so a crash never leaves it stuck.
class FileLock {
public:
    explicit FileLock(const std::filesystem::path& lockFile);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    bool locked() const { return m_fd >= 0; }
    const std::string& error() const { return m_error; }

private:
    int m_fd = -1;
    std::string m_error;
};

// Reads a whole file; nullopt when it does not exist or cannot be read (error says which).
std::optional<std::string> readWholeFile(const std::filesystem::path& file, std::string* error = nullptr,
                                         bool* missing = nullptr);

} // namespace lexorra
