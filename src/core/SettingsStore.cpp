#include "core/SettingsStore.h"

#include "core/AtomicFile.h"
#include "core/Json.h"

#include <cstdlib>

namespace lexorra {
namespace {

std::filesystem::path xdgHome(const char* variable, const char* fallback) {
    if (const char* value = std::getenv(variable); value && *value && value[0] == '/')
        return std::filesystem::path(value);
    const char* home = std::getenv("HOME");
    return std::filesystem::path(home && *home ? home : "/tmp") / fallback;
}

std::filesystem::path lockFileFor(const std::filesystem::path& file) {
    return file.parent_path() / ("." + file.filename().string() + ".lock");
}

} // namespace

std::filesystem::path configFolder() {
    return xdgHome("XDG_CONFIG_HOME", ".config") / "lexorra";
}
std::filesystem::path dataFolder() {
    return xdgHome("XDG_DATA_HOME", ".local/share") / "lexorra";
}

SettingsStore::SettingsStore(std::filesystem::path file) : m_file(std::move(file)) {}

SettingsStore::State SettingsStore::readLocked() {
    std::string error;
    bool missing = false;
    auto bytes = readWholeFile(m_file, &error, &missing);
    if (!bytes) {
        m_values = makeDictionary();
        m_state = missing ? State::missing : State::unreadable;
        m_problem = missing ? "" : "the settings file \"" + m_file.string() + "\" cannot be read: " + error;
        return m_state;
    }
    auto parsed = json::parse(*bytes, &error);
    if (!parsed || !parsed->isMap()) {
        m_values = makeDictionary();
        m_state = State::unreadable;
        m_problem = "the settings file \"" + m_file.string() + "\" is not a JSON object" +
                    (parsed ? std::string() : " (" + error + ")") + "; it is left as it is";
        return m_state;
    }
    m_values = std::move(*parsed);
    m_state = State::loaded;
    m_problem.clear();
    return m_state;
}

// Readers need no lock: writers replace the file by rename, so a read sees a whole file.
SettingsStore::State SettingsStore::reload() {
    return readLocked();
}

bool SettingsStore::update(const std::function<void(Dictionary&)>& change, const std::function<void()>& whileLocked) {
    FileLock lock(lockFileFor(m_file));
    if (!lock.locked()) {
        m_problem = lock.error();
        return false;
    }
    if (readLocked() == State::unreadable) return false;
    // Leftovers of a writer killed half-way: no writer can be running while we hold the lock.
    AtomicFile::removeLeftovers(m_file);
    Dictionary values = m_values;
    change(values);
    if (m_state == State::loaded && values == m_values) {
        if (whileLocked) whileLocked();
        return true;
    }
    std::string error;
    if (!AtomicFile::write(m_file, json::write(values, {.pretty = true}) + "\n", &error)) {
        m_problem = "the settings file \"" + m_file.string() + "\" cannot be written: " + error;
        return false;
    }
    m_values = std::move(values);
    m_state = State::loaded;
    if (whileLocked) whileLocked();
    return true;
}

bool SettingsStore::setValue(std::string_view key, Value value) {
    return update([&](Dictionary& values) { values.set(key, std::move(value)); });
}

bool SettingsStore::removeValue(std::string_view key) {
    return update([&](Dictionary& values) { values.remove(key); });
}

const std::vector<SettingKey>& settingKeys() {
    using enum StoreKind;
    using enum SettingType;
    static const std::vector<SettingKey> keys = {
#define LEXORRA_SETTING(id, text, store, type, defaultValue) {text, store, type, defaultValue},
#include "core/SettingKeys.def"
#undef LEXORRA_SETTING
        {"SavedWorkFlows", standard, list, nullptr, true},
    };
    return keys;
}

const SettingKey& settingKey(SettingName key) {
    return settingKeys()[static_cast<std::size_t>(key.id())];
}

namespace detail {
void unknownSettingKey() {}
} // namespace detail

const SettingKey* findSettingKey(std::string_view key, bool legacy) {
    for (const auto& entry : settingKeys())
        if (entry.key == key && entry.legacy == legacy) return &entry;
    return nullptr;
}

bool hasSettingType(const Value& value, SettingType type) {
    switch (type) {
    case SettingType::string:
        return value.isString();
    case SettingType::integer:
        return value.isInteger();
    case SettingType::boolean:
        return value.isBool();
    case SettingType::list:
        return value.isList();
    case SettingType::map:
        return value.isMap();
    }
    return false;
}

Settings::Settings() : Settings(configFolder() / "settings.json", configFolder() / "group.json") {}

Settings::Settings(std::filesystem::path standardFile, std::filesystem::path groupFile)
    : m_standard(std::move(standardFile)), m_group(std::move(groupFile)) {
    reload();
}

void Settings::reload() {
    m_standard.reload();
    m_group.reload();
}

std::optional<Value> Settings::value(SettingName key) const {
    const SettingKey& entry = settingKey(key);
    if (const Value* stored = store(entry.store).value(entry.key); stored && hasSettingType(*stored, entry.type))
        return *stored;
    if (entry.defaultValue) return entry.defaultValue();
    return std::nullopt;
}

std::string Settings::string(SettingName key) const {
    auto v = value(key);
    return v && v->isString() ? v->asString() : std::string();
}

bool Settings::boolean(SettingName key) const {
    auto v = value(key);
    return v && v->isBool() && v->asBool();
}

bool Settings::setValue(SettingName key, Value value) {
    const SettingKey& entry = settingKey(key);
    if (!hasSettingType(value, entry.type)) return false;
    return store(entry.store).setValue(entry.key, std::move(value));
}

bool Settings::removeValue(SettingName key) {
    const SettingKey& entry = settingKey(key);
    return store(entry.store).removeValue(entry.key);
}

std::filesystem::path Settings::syncFolder() const {
    return std::filesystem::path(string(SettingKeyId::syncFolder));
}

} // namespace lexorra
