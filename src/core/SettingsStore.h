#pragma once

#include "core/Value.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lexorra {

// $XDG_CONFIG_HOME and $XDG_DATA_HOME (relative values are ignored, as the XDG rules say),
// else ~/.config and ~/.local/share; the "lexorra" folder inside each.
std::filesystem::path configFolder();
std::filesystem::path dataFolder();

// One key-value store kept as a JSON object in one file. Every write goes through a
// read-modify-write cycle under a lock file, so the app, the command line and the intents
// service can all write it without losing each other's keys.
//
// A file that exists but is not a JSON object is never overwritten: it may be the user's
// only copy of their workflows, damaged by hand-editing or a foreign tool. The store then
// counts as unreadable, every write fails, and problem() names the file.
//
//   SettingsStore store(configFolder() / "group.json");
//   store.reload();
//   store.setValue("Version", "0.1.0(1)");
class SettingsStore {
public:
    enum class State { missing, loaded, unreadable };

    explicit SettingsStore(std::filesystem::path file);

    const std::filesystem::path& file() const { return m_file; }
    State reload();
    State state() const { return m_state; }
    bool isUnreadable() const { return m_state == State::unreadable; }
    // Empty unless the file could not be read or written.
    const std::string& problem() const { return m_problem; }

    // The values as last read or written.
    const Dictionary& values() const { return m_values; }
    const Value* value(std::string_view key) const { return m_values.get(key); }

    // Rereads the file under the lock, applies change and writes the result atomically
    // (not at all when change left the values as they were). whileLocked runs after the
    // write, still under the lock. False when the file is unreadable or cannot be written;
    // the file is then unchanged.
    bool update(const std::function<void(Dictionary&)>& change, const std::function<void()>& whileLocked = {});
    bool setValue(std::string_view key, Value value);
    bool removeValue(std::string_view key);

private:
    State readLocked();

    std::filesystem::path m_file;
    Dictionary m_values = makeDictionary();
    State m_state = State::missing;
    std::string m_problem;
};

// The two stores of the engine: the user's own preferences and the store shared with the
// intents service.
enum class StoreKind { standard, group };
enum class SettingType { string, integer, boolean, list, map };

struct SettingKey {
    std::string_view key;
    StoreKind store;
    SettingType type;
    // Produces the default; nullptr when the key has none (it is then simply absent).
    Value (*defaultValue)();
    // Only read once to move old data; never written by the engine.
    bool legacy = false;
};

// Every key the engine reads or writes, with its store, type and default.
const std::vector<SettingKey>& settingKeys();
// The entry for key; the legacy entry only when legacy is asked for.
const SettingKey* findSettingKey(std::string_view key, bool legacy = false);
bool hasSettingType(const Value& value, SettingType type);

// Both stores behind the key table: values are read from the key's store, a value of the
// wrong type counts as absent, and an absent value gives the key's default.
//
//   Settings settings;                    // the stores under $XDG_CONFIG_HOME/lexorra
//   if (settings.boolean("iCloudSyncEnabled")) ...
//   settings.setValue("LiveResults", false);
class Settings {
public:
    Settings();
    Settings(std::filesystem::path standardFile, std::filesystem::path groupFile);

    SettingsStore& store(StoreKind kind) { return kind == StoreKind::standard ? m_standard : m_group; }
    const SettingsStore& store(StoreKind kind) const { return kind == StoreKind::standard ? m_standard : m_group; }
    void reload();

    std::optional<Value> value(std::string_view key) const;
    std::string string(std::string_view key) const;
    bool boolean(std::string_view key) const;
    // False for an unknown key, a value of the wrong type or a store that cannot be written.
    bool setValue(std::string_view key, Value value);
    bool removeValue(std::string_view key);

    // The folder the workflow records are mirrored into.
    std::filesystem::path syncFolder() const;

private:
    SettingsStore m_standard;
    SettingsStore m_group;
};

} // namespace lexorra
