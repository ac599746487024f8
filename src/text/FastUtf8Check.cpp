#include "text/FastUtf8Check.h"

#include <simdjson.h>

namespace lexorra::text {

bool isValidUtf8Fast(std::string_view bytes) {
    return simdjson::validate_utf8(bytes.data(), bytes.size());
}

} // namespace lexorra::text
