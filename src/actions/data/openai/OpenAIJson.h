#pragma once

#include "actions/data/openai/OpenAITypes.h"

#include <string>
#include <string_view>

namespace lexorra::openai::json {

// {"model":..,"prompt":..,[optionals present],"stream":..} in the service's key order.
std::string encode(const CompletionsQuery& query);

// Strict readers: a missing required key or a value of the wrong type is a decoding failure
// whose description names the key. Optional keys may be absent or null.
Result<CompletionsResult> decodeCompletionsResult(std::string_view body);
Result<APIErrorResponse> decodeAPIErrorResponse(std::string_view body);

} // namespace lexorra::openai::json
