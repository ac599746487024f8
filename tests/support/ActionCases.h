#pragma once

#include "core/ActionFactory.h"
#include "core/Json.h"

#include <gtest/gtest.h>
#include <unicode/locid.h>

#include <algorithm>
#include <initializer_list>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace lexorra {
inline void PrintTo(const Value& value, std::ostream* os) {
    *os << json::write(value);
}
} // namespace lexorra

namespace lexorra::testing {

// Options as a workflow document stores them: key and value, in any order.
using Options = ValueMap;

// Restores the action from a stored document holding the options, as a workflow document
// would. Without a "Type" among the options every key must name an option and every value
// must be one its declaration accepts, so a misspelt table row fails instead of running the
// defaults; with "Type" the options are a raw document, for rows about reading odd documents.
inline TextActionPtr restore(TextActionType type, const Options& options) {
    Dictionary d = makeDictionary();
    d.set("Type", rawValue(type));
    bool raw = false;
    for (const auto& [key, value] : options) {
        d.set(key, value);
        raw = raw || key == "Type";
    }
    auto action = fromDictionary(type, d);
    if (!action) {
        ADD_FAILURE() << "the action cannot be restored from " << json::write(d);
        return nullptr;
    }
    for (const auto& [key, value] : options)
        if (const OptionDecl* decl = action->option(key); !raw && (!decl || !decl->coerce(value)))
            ADD_FAILURE() << "not an accepted option value: " << key << " = " << json::write(value);
    return action;
}

inline std::string runWith(TextActionType type, const Options& options, std::string_view input) {
    auto action = restore(type, options);
    return action ? action->transform(input) : std::string();
}

// One row of an action's table.
struct Case {
    const char* name;
    std::string input;
    Options options;
    std::string expected;
};

// A row for a kind whose options a test sets itself.
struct Row {
    const char* name;
    std::string input;
    std::string expected;
};

inline void PrintTo(const Row& r, std::ostream* os) {
    *os << r.name;
}

inline void PrintTo(const Case& c, std::ostream* os) {
    *os << c.name << " with " << json::write(Value(c.options));
}

inline void expectCases(TextActionType type, std::initializer_list<Case> cases) {
    for (const auto& c : cases)
        EXPECT_EQ(runWith(type, c.options, c.input), c.expected) << ::testing::PrintToString(c);
}

// The piece, so many times over: inputs at and beyond a size limit.
inline std::string repeat(std::string_view piece, size_t times) {
    std::string out;
    out.reserve(piece.size() * times);
    for (size_t i = 0; i < times; ++i)
        out.append(piece);
    return out;
}

// Pieces of s between the separator, empty ones kept.
inline std::vector<std::string> pieces(std::string_view s, char separator) {
    std::vector<std::string> out;
    size_t start = 0;
    for (size_t at = s.find(separator); at != std::string_view::npos; at = s.find(separator, start)) {
        out.emplace_back(s.substr(start, at - start));
        start = at + 1;
    }
    out.emplace_back(s.substr(start));
    return out;
}

// The multiset of the pieces, for results whose order is random.
inline std::vector<std::string> sortedPieces(std::string_view s, char separator) {
    auto out = pieces(s, separator);
    std::sort(out.begin(), out.end());
    return out;
}

// Sets the default ICU locale for the life of the object: collation, spelled-out numbers and
// language names follow the user's locale, and a test must not leave its choice behind.
class ScopedLocale {
public:
    explicit ScopedLocale(const char* name) : m_saved(icu::Locale::getDefault()) { set(name); }
    ~ScopedLocale() {
        UErrorCode status = U_ZERO_ERROR;
        icu::Locale::setDefault(m_saved, status);
    }
    void set(const char* name) {
        UErrorCode status = U_ZERO_ERROR;
        icu::Locale::setDefault(icu::Locale(name), status);
    }

private:
    icu::Locale m_saved;
};

} // namespace lexorra::testing
