#pragma once

#include <string>

namespace lexorra::openai {

// The API key the user saved in the application group's shared settings ("apiKey"), or the
// empty text. Read afresh on every call; never written to output or diagnostics.
std::string readSharedApiKey();

} // namespace lexorra::openai
