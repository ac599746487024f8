#pragma once

#include "core/TextAction.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace lexorra {

enum class TextGeneratorType { paragraph = 0, sentence = 1, words = 2, characters = 3 };
enum class TextGeneratorPositionType { asNewLine = 0, onLastLine = 1, firstLine = 2, replace = 3, everyLine = 4 };

// Random placeholder text (paragraphs, sentences, words or characters) placed after, before,
// instead of, or on every line of the input.
//   TextActionTextGenerator a;  // three paragraphs after the input
//   a.transform("Title")        // "Title\nSed ut ... .\n..."
class TextActionTextGenerator : public TextAction {
public:
    TextActionTextGenerator() : TextAction(TextActionType::textGenerator) {}

    TextGeneratorType generatorType = TextGeneratorType::paragraph;
    std::int64_t numberOfElements = 3;
    std::int64_t maxWordPerSentence = 16;
    std::int64_t minWordPerSentence = 4;
    std::int64_t maxSentencesPerParagraph = 9;
    std::int64_t minSentencesPerParagraph = 3;
    bool newLineAfterEveryItem = false;
    bool breakCharactersInWords = false;
    TextGeneratorPositionType positionType = TextGeneratorPositionType::asNewLine;

    std::string transform(std::string_view text) const override;
    const OptionList& options() const override;

    // Any number of items may be asked for; word and sentence bounds are clamped to
    // 1..maxPerUnit when the text is generated (far more than fits under the byte limit
    // below, and small enough for one 32-bit draw). Generation ends at the last whole item
    // (paragraph, sentence, word, or one line's run for every line) that keeps the generated
    // text, the input not counted, within maxGeneratedBytes; random characters stop there.
    static constexpr std::int64_t maxPerUnit = std::int64_t{1} << 24;
    static constexpr size_t maxGeneratedBytes = size_t{64} << 20;
};

// A uniform draw from [0, bound) out of the system's secure random source.
using RandomBelow = std::function<std::uint32_t(std::uint32_t bound)>;
RandomBelow secureRandomBelow();

// The building blocks, with the random source passed in. Bounds given the wrong way round
// are swapped; bounds are clamped to 1..maxPerUnit.
std::string loremSentence(const RandomBelow& random, std::int64_t minWords, std::int64_t maxWords);
std::string loremParagraph(const RandomBelow& random, std::int64_t minSentences, std::int64_t maxSentences,
                           std::int64_t minWords, std::int64_t maxWords);
std::string loremCharacters(const RandomBelow& random, std::int64_t length, bool breakIntoWords);

} // namespace lexorra
