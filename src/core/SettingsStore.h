#pragma once

#include "core/Value.h"

#include <cstddef>
#include <filesystem>
#include <functional>
#include <iterator>
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

enum class SettingKeyId {
#define LEXORRA_SETTING(id, text, store, type, defaultValue) id,
#include "core/SettingKeys.def"
#undef LEXORRA_SETTING
};

// The stored text of every key, in SettingKeyId order.
inline constexpr std::string_view settingKeyTexts[] = {
#define LEXORRA_SETTING(id, text, store, type, defaultValue) text,
#include "core/SettingKeys.def"
#undef LEXORRA_SETTING
};

namespace detail {
// Not constexpr on purpose: reaching it while a SettingName is built at compile time stops
// the build, which is how a misspelt key fails to compile.
void unknownSettingKey();
} // namespace detail

// A key of the table, named by id or by its stored text; the text is checked against the
// table at compile time, so settings.boolean("LiveResult") does not build.
class SettingName {
public:
    constexpr SettingName(SettingKeyId id) : m_id(id) {}          // NOLINT(google-explicit-constructor)
    consteval SettingName(const char* text) : m_id(idOf(text)) {} // NOLINT(google-explicit-constructor)

    constexpr SettingKeyId id() const { return m_id; }
    constexpr std::string_view text() const { return settingKeyTexts[static_cast<std::size_t>(m_id)]; }
    friend constexpr bool operator==(SettingName, SettingName) = default;

private:
    static consteval SettingKeyId idOf(std::string_view text) {
        for (std::size_t i = 0; i < std::size(settingKeyTexts); ++i)
            if (settingKeyTexts[i] == text) return static_cast<SettingKeyId>(i);
        detail::unknownSettingKey();
        return {};
    }

    SettingKeyId m_id;
};

struct SettingKey {
    std::string_view key;
    StoreKind store;
    SettingType type;
    // Produces the default; nullptr when the key has none (it is then simply absent).
    Value (*defaultValue)();
    // Only read once to move old data; never written by the engine.
    bool legacy = false;
};

// Every key the engine reads or writes, with its store, type and default: the rows of
// SettingKeys.def in SettingKeyId order, then the legacy rows.
const std::vector<SettingKey>& settingKeys();
const SettingKey& settingKey(SettingName key);
// The entry for a stored text; the legacy entry only when legacy is asked for.
const SettingKey* findSettingKey(std::string_view key, bool legacy = false);
bool hasSettingType(const Value& value, SettingType type);

// Both stores behind the key table: values are read from the key's store, a value of the
// wrong type counts as absent, and an absent value gives the key's default.
//
//   Settings settings;                    // the stores under $XDG_CONFIG_HOME/lexorra
//   if (settings.boolean(SettingKeyId::iCloudSyncEnabled)) ...
//   settings.setValue("LiveResults", false);   // checked against the table when compiled
class Settings {
public:
    Settings();
    Settings(std::filesystem::path standardFile, std::filesystem::path groupFile);

    SettingsStore& store(StoreKind kind) { return kind == StoreKind::standard ? m_standard : m_group; }
    const SettingsStore& store(StoreKind kind) const { return kind == StoreKind::standard ? m_standard : m_group; }
    void reload();

    std::optional<Value> value(SettingName key) const;
    std::string string(SettingName key) const;
    bool boolean(SettingName key) const;
    // False for a value of the wrong type or a store that cannot be written.
    bool setValue(SettingName key, Value value);
    bool removeValue(SettingName key);

    // The folder the workflow records are mirrored into.
    std::filesystem::path syncFolder() const;

private:
    SettingsStore m_standard;
    SettingsStore m_group;
};

} // namespace lexorra
