#pragma once

#include "core/ResultMarkers.h"
#include "core/TextAction.h"

#include <atomic>
#include <string>

namespace lexorra {

// Find and replace, literal (canonically equivalent, optionally case-insensitive) or with
// an ICU regular expression and a $n substitution template.
class TextActionReplaceString : public TextAction {
public:
    TextActionReplaceString() : TextAction(TextActionType::replaceString) {}

    std::string replaceString;
    std::string withString;
    bool caseSensitive = false;
    bool isRegEx = false;
    // Outcome of the last transform: the pattern did not compile.
    mutable std::atomic<bool> notValidRegEx{false};

    std::string transform(std::string_view text) const override;
    const OptionList& options() const override;

    static constexpr std::string_view invalidRegExMarker = markers::notValidRegEx;
    static constexpr std::string_view timedOutMarker = markers::regExTimedOut;
    static constexpr std::string_view tooComplexMarker = markers::regExTooComplex;
};

// "\\n" (backslash, backslash, n) present: each becomes backslash-n and nothing else
// changes; otherwise each backslash-n becomes a line feed.
std::string processLineFeedEscapes(std::string_view text);

} // namespace lexorra
