#pragma once

#include "core/ActionFactory.h"
#include "core/TextAction.h"
#include "core/Value.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace lexorra::testing {

// Options as they would be stored: key and value, in any order.
using Options = ValueMap;

// Restores the action from a stored dictionary holding the options, as a workflow
// document would, and runs it.
inline std::shared_ptr<TextAction> restore(TextActionType type, const Options& options) {
    Dictionary d = makeDictionary();
    d.set("Type", rawValue(type));
    for (const auto& [key, value] : options) d.set(key, value);
    return fromDictionary(type, d);
}

inline std::string runWith(TextActionType type, const Options& options, std::string_view input) {
    auto action = restore(type, options);
    if (!action) {
        ADD_FAILURE() << "the action could not be restored";
        return {};
    }
    return action->transform(input);
}

inline std::vector<std::string> dictionaryKeys(const TextAction& action) {
    std::vector<std::string> keys;
    const Dictionary dictionary = action.toDictionary();
    for (const auto& [key, value] : dictionary.asMap()) keys.push_back(key);
    return keys;
}

// Pieces of s between the separator, empty ones kept, sorted: the multiset of the pieces.
inline std::vector<std::string> sortedPieces(std::string_view s, char separator) {
    std::vector<std::string> pieces;
    size_t start = 0;
    for (size_t at = s.find(separator); at != std::string_view::npos; at = s.find(separator, start)) {
        pieces.emplace_back(s.substr(start, at - start));
        start = at + 1;
    }
    pieces.emplace_back(s.substr(start));
    std::sort(pieces.begin(), pieces.end());
    return pieces;
}

} // namespace lexorra::testing
