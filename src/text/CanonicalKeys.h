#pragma once

#include <unicode/normalizer2.h>

#include <deque>
#include <string>
#include <string_view>

namespace lexorra::text {

// Keys that make canonically equivalent texts equal: "é" precomposed and "e" + U+0301 give
// the same key (their NFC form). Texts already in NFC (all ASCII among them) are their own
// key, without a copy; the others are normalised into storage that lives as long as this
// object, so keys stay valid for maps and sets beside it.
//   CanonicalKeys keys;
//   std::unordered_set<std::string_view> seen;
//   seen.insert(keys.key(word));
class CanonicalKeys {
public:
    CanonicalKeys();
    std::string_view key(std::string_view text);

private:
    const icu::Normalizer2* m_nfc;
    std::deque<std::string> m_normalized;
};

} // namespace lexorra::text
