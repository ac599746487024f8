#pragma once

#include <cstdint>
#include <string_view>

namespace lexorra::data {

// YAML 1.1 implicit typing of a plain scalar. The first rule that matches the whole text wins:
//   null       ~ null Null NULL and the empty text
//   boolean    yes/no, true/false, on/off in lower, capitalised or upper case
//   integer    0b binary, 0o or leading-0 octal, decimal, 0x hex, and base 60 (1:30 is 90);
//              underscores are ignored
//   float      decimal with fraction or exponent, .inf/-.inf, .nan, base 60 with a fraction
//   timestamp  2024-01-02 or a date with a time (and optional zone)
//   string     anything else
//
//   auto r = data::resolvePlainScalar("010");   // r.kind == ScalarKind::integer, r.integer == 8
enum class ScalarKind { null, boolean, integer, floating, timestamp, string };

struct ResolvedScalar {
    ScalarKind kind = ScalarKind::string;
    bool boolean = false;
    std::int64_t integer = 0;
    // For floats; also for integers too large for 64 bits (then `integerOverflow` is set).
    double floating = 0;
    bool integerOverflow = false;
};

ResolvedScalar resolvePlainScalar(std::string_view text);

// True when the text, written as a plain scalar, would read back as something other than a
// string, so a writer must quote it.
inline bool resolvesToNonString(std::string_view text) {
    return resolvePlainScalar(text).kind != ScalarKind::string;
}

} // namespace lexorra::data
