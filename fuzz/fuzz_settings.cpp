// Settings files as found on disk, read through the key table.
#include "core/SettingsStore.h"

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

using namespace lexorra;

namespace {

// One scratch folder per process, removed at exit so test runs leave nothing in /tmp.
struct ScratchFolder {
    std::filesystem::path path;
    ScratchFolder()
        : path(std::filesystem::temp_directory_path() / ("lexorra-fuzz-settings-" + std::to_string(getpid()))) {
        std::filesystem::create_directories(path);
    }
    ~ScratchFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path, ec);
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const ScratchFolder scratch;
    const std::filesystem::path& folder = scratch.path;
    const auto standard = folder / "standard.json";
    const auto group = folder / "group.json";
    for (const auto& file : {standard, group}) {
        // A new file rather than a truncated one: ext4 flushes a truncated-and-rewritten file to
        // disk on close, which made each run wait on the disk.
        std::error_code ec;
        std::filesystem::remove(file, ec);
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    Settings settings(standard, group);
    settings.reload();
    // The table lists the keys in SettingKeyId order, the legacy rows after them.
    std::size_t id = 0;
    for (const SettingKey& key : settingKeys()) {
        if (key.legacy) continue;
        const SettingName name(static_cast<SettingKeyId>(id++));
        auto value = settings.value(name);
        if (value && !hasSettingType(*value, key.type)) __builtin_trap();
        (void)settings.string(name);
        (void)settings.boolean(name);
    }
    (void)settings.syncFolder();
    return 0;
}
