#pragma once

#include <string_view>

namespace lexorra::text {

// Strict UTF-8 validation at memory speed, for decoders whose output may be megabytes:
// overlong forms, surrogates and code points above U+10FFFF are rejected.
//   isValidUtf8Fast("caf\xC3\xA9") == true; isValidUtf8Fast("\xC3") == false
bool isValidUtf8Fast(std::string_view bytes);

} // namespace lexorra::text
