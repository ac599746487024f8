#include "text/StandardOrder.h"

#include <unicode/coll.h>
#include <unicode/locid.h>
#include <unicode/ustring.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <numeric>
#include <string>

namespace lexorra::text {
namespace {

std::unique_ptr<icu::Collator> makeCollator() {
    icu::Locale locale = icu::Locale::getDefault();
    // ICU reads the C and POSIX locales as en_US_POSIX, whose collation is byte order
    // (every capital before every small letter). A user of those locales has not asked
    // for any order, so they get the language-neutral one.
    if (std::strcmp(locale.getVariant(), "POSIX") == 0) locale = icu::Locale::getRoot();
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::Collator> collator(icu::Collator::createInstance(locale, status));
    if (U_FAILURE(status) || !collator) {
        status = U_ZERO_ERROR;
        collator.reset(icu::Collator::createInstance(icu::Locale::getRoot(), status));
        if (U_FAILURE(status)) return nullptr;
    }
    collator->setAttribute(UCOL_NUMERIC_COLLATION, UCOL_ON, status);
    collator->setAttribute(UCOL_STRENGTH, UCOL_TERTIARY, status);
    return collator;
}

// One entry per text: the first eight key bytes as a number decide most comparisons
// without touching the key buffer.
struct Entry {
    std::uint64_t prefix;
    size_t offset;
    std::uint32_t length;
    std::uint32_t index;
};

std::uint64_t bigEndianPrefix(const std::uint8_t* key, size_t length) {
    std::uint64_t p = 0;
    for (size_t i = 0; i < 8; ++i) p = (p << 8) | (i < length ? key[i] : 0);
    return p;
}

} // namespace

std::vector<std::uint32_t> standardOrder(const std::vector<std::string_view>& texts) {
    std::vector<std::uint32_t> order(texts.size());
    std::iota(order.begin(), order.end(), 0u);
    if (texts.size() < 2) return order;
    auto collator = makeCollator();
    if (!collator) return order;

    // Sort keys once per text: n key computations instead of n log n comparisons.
    std::vector<std::uint8_t> keys;
    std::vector<Entry> entries;
    entries.reserve(texts.size());
    std::u16string utf16;
    for (std::uint32_t i = 0; i < texts.size(); ++i) {
        const std::string_view text = texts[i];
        utf16.resize(text.size() + 1);
        int32_t length = 0;
        UErrorCode status = U_ZERO_ERROR;
        u_strFromUTF8WithSub(utf16.data(), static_cast<int32_t>(utf16.size()), &length, text.data(),
                             static_cast<int32_t>(text.size()), 0xFFFD, nullptr, &status);
        if (U_FAILURE(status)) length = 0;
        const size_t offset = keys.size();
        size_t room = std::max<size_t>(64, static_cast<size_t>(length) * 4 + 16);
        keys.resize(offset + room);
        int32_t needed = collator->getSortKey(utf16.data(), length, keys.data() + offset, static_cast<int32_t>(room));
        if (static_cast<size_t>(needed) > room) {
            keys.resize(offset + static_cast<size_t>(needed));
            needed = collator->getSortKey(utf16.data(), length, keys.data() + offset, needed);
        }
        keys.resize(offset + static_cast<size_t>(needed));
        entries.push_back({0, offset, static_cast<std::uint32_t>(needed), i});
    }
    for (auto& e : entries) e.prefix = bigEndianPrefix(keys.data() + e.offset, e.length);

    const std::uint8_t* base = keys.data();
    std::stable_sort(entries.begin(), entries.end(), [base](const Entry& a, const Entry& b) {
        if (a.prefix != b.prefix) return a.prefix < b.prefix;
        const int c = std::memcmp(base + a.offset, base + b.offset, std::min(a.length, b.length));
        return c != 0 ? c < 0 : a.length < b.length;
    });
    for (size_t i = 0; i < entries.size(); ++i) order[i] = entries[i].index;
    return order;
}

} // namespace lexorra::text
