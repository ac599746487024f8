#include "core/SharedApiKey.h"

#include "core/SecretService.h"
#include "core/SettingsStore.h"

#include <cctype>
#include <string>

namespace lexorra::openai {

namespace {

std::string secretStoreName() {
    return (configFolder() / "group.json").string();
}

} // namespace

// Read on every run, so a key entered in the preferences takes effect at once. Spaces and
// line breaks around a key (a hand-edited file) are not part of it; inside it they are
// refused before sending (apiKeyProblem).
std::string readSharedApiKey() {
    Settings settings;
    std::string key = settings.string("apiKey");
    if (key.empty()) key = SecretService::lookup(secretStoreName()).value_or("");
    const size_t first = key.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return {};
    return key.substr(first, key.find_last_not_of(" \t\r\n") - first + 1);
}

bool moveSharedApiKeyToSecretService(Settings& settings) {
    const std::string key = settings.string("apiKey");
    return !key.empty() && SecretService::store(secretStoreName(), key) && settings.removeValue("apiKey");
}

bool saveSharedApiKey(Settings& settings, const std::string& key) {
    if (SecretService::store(secretStoreName(), key)) return settings.removeValue("apiKey");
    return settings.setValue("apiKey", Value(key));
}

bool hasControlCharacter(std::string_view text) {
    for (unsigned char c : text)
        if (c < 0x20 || c == 0x7f) return true;
    return false;
}

std::string apiKeyProblem(std::string_view key) {
    if (!hasControlCharacter(key)) return {};
    return "The API key holds a line break or another control character; enter the key alone in the preferences.";
}

bool isServiceHostName(std::string_view host) {
    if (host.empty() || host.size() > 253) return false;
    std::string_view name = host;
    std::string_view port;
    if (host.front() == '[') {
        const size_t close = host.find(']');
        if (close == std::string_view::npos || close == 1) return false;
        for (char c : host.substr(1, close - 1))
            if (!std::isxdigit(static_cast<unsigned char>(c)) && c != ':' && c != '.') return false;
        const std::string_view rest = host.substr(close + 1);
        if (!rest.empty() && (rest.front() != ':' || rest.size() == 1)) return false;
        port = rest.empty() ? rest : rest.substr(1);
        name = {};
    } else if (const size_t colon = host.rfind(':'); colon != std::string_view::npos) {
        name = host.substr(0, colon);
        port = host.substr(colon + 1);
        if (port.empty()) return false;
    }
    if (port.size() > 5) return false;
    for (char c : port)
        if (c < '0' || c > '9') return false;
    if (!port.empty() && std::stoi(std::string(port)) > 65535) return false;
    if (host.front() == '[') return true;
    if (name.empty() || name.front() == '.' || name.front() == '-' || name.back() == '-') return false;
    for (char c : name)
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '.' && c != '-') return false;
    return true;
}

std::string readSharedCABundle() {
    Settings settings;
    return settings.string("AICABundle");
}

std::string readSharedServiceHost() {
    Settings settings;
    const std::string host = settings.string("AIHost");
    return isServiceHostName(host) ? host : defaultServiceHost;
}

} // namespace lexorra::openai
