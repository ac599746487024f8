// Settings files as found on disk, read through the key table.
#include "core/SettingsStore.h"

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

using namespace lexorra;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::filesystem::path folder = [] {
        auto dir = std::filesystem::temp_directory_path() / ("lexorra-fuzz-settings-" + std::to_string(getpid()));
        std::filesystem::create_directories(dir);
        return dir;
    }();
    const auto standard = folder / "standard.json";
    const auto group = folder / "group.json";
    for (const auto& file : {standard, group}) {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    Settings settings(standard, group);
    settings.reload();
    for (const SettingKey& key : settingKeys()) {
        auto value = settings.value(key.key);
        if (value && !hasSettingType(*value, key.type)) __builtin_trap();
        (void)settings.string(key.key);
        (void)settings.boolean(key.key);
    }
    (void)settings.syncFolder();
    return 0;
}
