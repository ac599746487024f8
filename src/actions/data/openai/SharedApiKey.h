#pragma once

#include <string>
#include <string_view>

namespace lexorra::openai {

// The API key the user saved in the application group's shared settings ("apiKey"), or the
// empty text. Read afresh on every call; never written to output or diagnostics.
std::string readSharedApiKey();

// The host the user chose for the service ("AIHost" in the shared settings): a host name or
// address with an optional port, always reached over HTTPS. The built-in host when the
// setting is empty or is not such a name (a scheme, a path, spaces...).
inline constexpr const char* defaultServiceHost = "api.openai.com";
std::string readSharedServiceHost();
// True for "name", "name:port", "1.2.3.4:8443", "[::1]:8443": what the setting may hold.
bool isServiceHostName(std::string_view host);

} // namespace lexorra::openai
