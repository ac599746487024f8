#include "core/AtomicFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lexorra {
namespace {

std::string systemError(std::string_view what, const std::filesystem::path& path, int code) {
    return std::string(what) + " \"" + path.string() + "\": " + std::strerror(code);
}

bool writeAll(int fd, std::string_view bytes) {
    const char* p = bytes.data();
    size_t left = bytes.size();
    while (left > 0) {
        ssize_t n = ::write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        p += n;
        left -= static_cast<size_t>(n);
    }
    return true;
}

void syncFolder(const std::filesystem::path& folder) {
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

bool ensureFolder(const std::filesystem::path& folder, std::string* error) {
    if (folder.empty()) return true;
    std::error_code ec;
    if (std::filesystem::is_directory(folder, ec)) return true;
    std::filesystem::create_directories(folder, ec);
    if (ec) {
        if (error) *error = "cannot create the folder \"" + folder.string() + "\": " + ec.message();
        return false;
    }
    std::filesystem::permissions(folder, std::filesystem::perms::owner_all, ec);
    return true;
}

// The process's umask, read without changing it (threads may be creating files meanwhile).
mode_t currentUmask() {
    std::FILE* status = std::fopen("/proc/self/status", "re");
    unsigned mask = 022;
    if (status) {
        char line[256];
        while (std::fgets(line, sizeof line, status))
            if (std::sscanf(line, "Umask: %o", &mask) == 1) break;
        std::fclose(status);
    }
    return static_cast<mode_t>(mask);
}

mode_t modeFor(const std::filesystem::path& target, AtomicFile::Mode mode) {
    if (mode == AtomicFile::Mode::ownerOnly) return S_IRUSR | S_IWUSR;
    struct stat st {};
    if (::stat(target.c_str(), &st) == 0) return st.st_mode & 07777;
    return 0666 & ~currentUmask();
}

} // namespace

std::string AtomicFile::temporaryPrefix(const std::filesystem::path& target) {
    return "." + target.filename().string() + ".tmp-";
}

bool AtomicFile::write(const std::filesystem::path& target, std::string_view bytes, std::string* error, Mode mode) {
    const auto folder = target.parent_path();
    if (mode == Mode::ownerOnly && !ensureFolder(folder, error)) return false;
    const mode_t permissions = modeFor(target, mode);

    std::string pattern = (folder / (temporaryPrefix(target) + "XXXXXX")).string();
    int fd = ::mkstemp(pattern.data());
    if (fd < 0) {
        if (error) *error = systemError("cannot create a temporary file next to", target, errno);
        return false;
    }
    const std::filesystem::path temporary(pattern);
    auto failWith = [&](std::string_view what, int code) {
        ::close(fd);
        ::unlink(temporary.c_str());
        if (error) *error = systemError(what, target, code);
        return false;
    };
    if (::fchmod(fd, permissions) != 0) return failWith("cannot set the mode of", errno);
    if (!writeAll(fd, bytes)) return failWith("cannot write", errno);
    if (::fsync(fd) != 0) return failWith("cannot flush", errno);
    if (::close(fd) != 0) {
        int code = errno;
        ::unlink(temporary.c_str());
        if (error) *error = systemError("cannot close", target, code);
        return false;
    }
    if (::rename(temporary.c_str(), target.c_str()) != 0) {
        int code = errno;
        ::unlink(temporary.c_str());
        if (error) *error = systemError("cannot replace", target, code);
        return false;
    }
    syncFolder(folder.empty() ? std::filesystem::path(".") : folder);
    return true;
}

void AtomicFile::removeLeftovers(const std::filesystem::path& target) {
    const auto folder = target.parent_path().empty() ? std::filesystem::path(".") : target.parent_path();
    const std::string prefix = temporaryPrefix(target);
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
        const std::string name = entry.path().filename().string();
        if (name.size() > prefix.size() && name.compare(0, prefix.size(), prefix) == 0)
            std::filesystem::remove(entry.path(), ec);
    }
}

FileLock::FileLock(const std::filesystem::path& lockFile) {
    if (!ensureFolder(lockFile.parent_path(), &m_error)) return;
    m_fd = ::open(lockFile.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, S_IRUSR | S_IWUSR);
    if (m_fd < 0) {
        m_error = systemError("cannot open the lock file", lockFile, errno);
        return;
    }
    while (::flock(m_fd, LOCK_EX) != 0) {
        if (errno == EINTR) continue;
        m_error = systemError("cannot lock", lockFile, errno);
        ::close(m_fd);
        m_fd = -1;
        return;
    }
}

FileLock::~FileLock() {
    if (m_fd >= 0) {
        ::flock(m_fd, LOCK_UN);
        ::close(m_fd);
    }
}

std::optional<std::string> readWholeFile(const std::filesystem::path& file, std::string* error, bool* missing) {
    if (missing) *missing = false;
    // Plain descriptors: the stream library throws on some read errors (a folder in place
    // of the file), and a reader of user-chosen paths must never throw.
    int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        const int code = errno;
        if (code == ENOENT && missing) *missing = true;
        if (error)
            *error =
                code == ENOENT ? "\"" + file.string() + "\" does not exist" : systemError("cannot read", file, code);
        return std::nullopt;
    }
    std::string bytes;
    char buffer[65536];
    for (;;) {
        ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n == 0) break;
        if (n < 0) {
            if (errno == EINTR) continue;
            const int code = errno;
            ::close(fd);
            if (error) *error = systemError("cannot read", file, code);
            return std::nullopt;
        }
        bytes.append(buffer, static_cast<size_t>(n));
    }
    ::close(fd);
    return bytes;
}

} // namespace lexorra
