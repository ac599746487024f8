#include "actions/data/openai/SharedApiKey.h"

#include "core/Json.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace lexorra::openai {

namespace {

std::filesystem::path sharedSettingsFile() {
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && *config)
        return std::filesystem::path(config) / "lexorra" / "group.json";
    const char* home = std::getenv("HOME");
    return std::filesystem::path(home ? home : ".") / ".config" / "lexorra" / "group.json";
}

} // namespace

// Reads the shared store's file directly until the settings component offers the store itself.
std::string readSharedApiKey() {
    std::ifstream in(sharedSettingsFile(), std::ios::binary);
    if (!in) return {};
    std::stringstream content;
    content << in.rdbuf();
    const auto settings = json::parse(content.str());
    if (!settings) return {};
    const Value* key = settings->get("apiKey");
    return key && key->isString() ? key->asString() : std::string();
}

} // namespace lexorra::openai
