#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <unistd.h>

namespace lexorra::testing {

// A fresh folder with config/ and data/ below it; while it lives, XDG_CONFIG_HOME and
// XDG_DATA_HOME point there, so stores never touch the real home folder.
class TemporaryXdgHome {
public:
    TemporaryXdgHome() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / ("lexorra-test-" + std::to_string(::getpid()) + "-XXXXXX"))
                .string();
        root = ::mkdtemp(pattern.data());
        remember("XDG_CONFIG_HOME", m_oldConfig);
        remember("XDG_DATA_HOME", m_oldData);
        use();
    }
    ~TemporaryXdgHome() {
        restore("XDG_CONFIG_HOME", m_oldConfig);
        restore("XDG_DATA_HOME", m_oldData);
        std::error_code ec;
        std::filesystem::remove_all(root, ec);
    }
    TemporaryXdgHome(const TemporaryXdgHome&) = delete;
    TemporaryXdgHome& operator=(const TemporaryXdgHome&) = delete;

    // Points the variables at this home (several homes stand for several machines).
    void use() const {
        ::setenv("XDG_CONFIG_HOME", config().c_str(), 1);
        ::setenv("XDG_DATA_HOME", data().c_str(), 1);
    }
    std::filesystem::path config() const { return root / "config"; }
    std::filesystem::path data() const { return root / "data"; }
    std::filesystem::path groupFile() const { return config() / "lexorra" / "group.json"; }
    std::filesystem::path standardFile() const { return config() / "lexorra" / "settings.json"; }

    std::filesystem::path root;

private:
    static void remember(const char* name, std::optional<std::string>& slot) {
        if (const char* v = std::getenv(name)) slot = v;
    }
    static void restore(const char* name, const std::optional<std::string>& slot) {
        if (slot)
            ::setenv(name, slot->c_str(), 1);
        else
            ::unsetenv(name);
    }
    std::optional<std::string> m_oldConfig;
    std::optional<std::string> m_oldData;
};

inline void writeFile(const std::filesystem::path& file, const std::string& bytes) {
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << bytes;
}

inline std::string readFile(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// How many entries of the folder have a name starting with the prefix: what a writer left behind.
inline int filesStartingWith(const std::filesystem::path& folder, const std::string& prefix) {
    int n = 0;
    for (const auto& e : std::filesystem::directory_iterator(folder))
        if (e.path().filename().string().rfind(prefix, 0) == 0) ++n;
    return n;
}

} // namespace lexorra::testing
