#pragma once

#include "core/TextAction.h"

#include <cstdint>

namespace lexorra {

enum class TextActionShuffleType : std::int64_t {
    characters = 0,
    words = 1,
    lines = 2,
};

// Puts characters, space-separated words or lines into a random order. With keepWords
// the characters move only inside their word and the last letter of a word stays last.
class TextActionShuffle : public TextAction {
public:
    TextActionShuffle() : TextAction(TextActionType::shuffle) {}

    TextActionShuffleType shuffleType = TextActionShuffleType::characters;
    bool separatedLines = true; // shuffle inside each line rather than across the text
    bool keepWords = true;

    std::string transform(std::string_view text) const override;
    const OptionList& options() const override;
};

} // namespace lexorra
