#pragma once

#include <string>
#include <string_view>

namespace lexorra {
class Settings;
}

namespace lexorra::openai {

// The API key the user saved, or the empty text: the shared settings' "apiKey" where it is
// set (a key saved where no Secret Service ran, not moved yet), else the Secret Service's.
// Read afresh on every call; never written to output or diagnostics.
std::string readSharedApiKey();
// Saves the key: into the Secret Service where one runs, the shared settings' "apiKey" then
// being removed; else into "apiKey". False when neither could take it.
bool saveSharedApiKey(Settings& settings, const std::string& key);
// Moves a key of the shared settings into the Secret Service where one runs now (the
// window does it at start); true when it moved.
bool moveSharedApiKeyToSecretService(Settings& settings);

// Why `key` cannot be sent, or the empty text. A control character (a line break pasted
// with the key, say) would end the Authorization header early and start another header of
// the text that follows, so such a key is refused wherever it comes from.
std::string apiKeyProblem(std::string_view key);
// True when text holds a byte below 0x20 or DEL.
bool hasControlCharacter(std::string_view text);

// The host the user chose for the service ("AIHost" in the shared settings): a host name or
// address with an optional port, always reached over HTTPS. The built-in host when the
// setting is empty or is not such a name (a scheme, a path, spaces...).
inline constexpr const char* defaultServiceHost = "api.openai.com";
std::string readSharedServiceHost();
// True for "name", "name:port", "1.2.3.4:8443", "[::1]:8443": what the setting may hold.
bool isServiceHostName(std::string_view host);
// The certificate-authority file chosen for that host ("AICABundle"), or the empty text.
std::string readSharedCABundle();

} // namespace lexorra::openai
