#include "actions/chars/TextActionTextGenerator.h"

#include "actions/chars/Lorem.h"
#include "text/Cancellation.h"
#include "text/SecureRandom.h"


#include <algorithm>
#include <array>
#include <cstring>
#include <memory>

namespace lexorra {
namespace {

constexpr std::string_view characterSet = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";

// Buffers the secure source: one call per drawn word would dominate long texts.
class SecureSource {
public:
    std::uint32_t next() {
        if (m_used == m_buffer.size()) refill();
        return m_buffer[m_used++];
    }

    std::uint32_t below(std::uint32_t bound) {
        if (bound <= 1) return 0;
        // Rejection keeps the draw uniform: values past the last whole multiple of bound are redrawn.
        const std::uint32_t limit = static_cast<std::uint32_t>(-bound) % bound;
        while (true) {
            const std::uint32_t value = next();
            if (value >= limit) return value % bound;
        }
    }

private:
    void refill() {
        text::fillSecureRandom(m_buffer.data(), m_buffer.size() * sizeof(std::uint32_t));
        m_used = 0;
    }

    std::array<std::uint32_t, 256> m_buffer{};
    size_t m_used = 256;
};

std::int64_t inRange(const RandomBelow& random, std::int64_t low, std::int64_t high) {
    low = std::clamp<std::int64_t>(low, 1, TextActionTextGenerator::maxPerUnit);
    high = std::clamp<std::int64_t>(high, 1, TextActionTextGenerator::maxPerUnit);
    if (low > high) std::swap(low, high);
    return low + random(static_cast<std::uint32_t>(high - low + 1));
}

std::string_view randomWord(const RandomBelow& random) {
    const auto words = Lorem::words();
    return words[random(static_cast<std::uint32_t>(words.size()))];
}

} // namespace

RandomBelow secureRandomBelow() {
    auto source = std::make_shared<SecureSource>();
    return [source](std::uint32_t bound) { return source->below(bound); };
}

std::string loremSentence(const RandomBelow& random, std::int64_t minWords, std::int64_t maxWords) {
    const std::int64_t count = inRange(random, minWords, maxWords);
    std::string sentence;
    for (std::int64_t i = 0; i < count; ++i) {
        if (i > 0) sentence += ' ';
        sentence += randomWord(random);
    }
    sentence += '.';
    sentence[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(sentence[0])));
    return sentence;
}

std::string loremParagraph(const RandomBelow& random, std::int64_t minSentences, std::int64_t maxSentences,
                           std::int64_t minWords, std::int64_t maxWords) {
    const std::int64_t count = inRange(random, minSentences, maxSentences);
    std::string paragraph;
    for (std::int64_t i = 0; i < count; ++i) {
        if (i > 0) paragraph += ' ';
        paragraph += loremSentence(random, minWords, maxWords);
    }
    return paragraph;
}

std::string loremCharacters(const RandomBelow& random, std::int64_t length, bool breakIntoWords) {
    if (length <= 0) return {};
    std::string out(static_cast<size_t>(length), ' ');
    for (auto& c : out)
        c = characterSet[random(static_cast<std::uint32_t>(characterSet.size()))];
    if (breakIntoWords) {
        // Runs as long as list words, one space between; the last character never becomes
        // a space, so the text does not end in blank.
        for (size_t at = randomWord(random).size(); at + 1 < out.size(); at += randomWord(random).size() + 1)
            out[at] = ' ';
    }
    return out;
}

const OptionList& TextActionTextGenerator::options() const {
    using A = TextActionTextGenerator;
    auto counter = [](const char* key, const char* label) {
        return OptionDecl{.key = key, .label = label, .kind = OptionKind::stepper, .minimum = 1, .maximum = maxPerUnit};
    };
    static const OptionList decls = {
        bind({.key = "NumberOfElements",
              .label = "Number:",
              .kind = OptionKind::integer,
              .hint = "how many items; less than 1 leaves the input as it is",
              .maximum = maxElements},
             &A::numberOfElements),
        bind({.key = "GeneratorType",
              .label = "Generate:",
              .kind = OptionKind::menu,
              .cases = {{0, "paragraph", "paragraphs"},
                        {1, "sentence", "sentences"},
                        {2, "words", "words"},
                        {3, "characters", "characters"}}},
             &A::generatorType),
        bind({.key = "PositionType",
              .label = "Position:",
              .kind = OptionKind::menu,
              .cases = {{0, "asNewLine", "After last line"},
                        {1, "onLastLine", "Append to last line"},
                        {2, "firstLine", "Insert to first line"},
                        {3, "replace", "Replace input"},
                        {4, "everyLine", "Append to every line"}}},
             &A::positionType),
        bind(counter("MinWordPerSentence", "Min words per sentence:"), &A::minWordPerSentence),
        bind(counter("MaxWordPerSentence", "Max words per sentence:"), &A::maxWordPerSentence),
        bind(counter("MinSentencesPerParagraph", "Min sentences per paragraph:"), &A::minSentencesPerParagraph),
        bind(counter("MaxSentencesPerParagraph", "Max sentences per paragraph:"), &A::maxSentencesPerParagraph),
        bind({.key = "NewLine", .label = "New line after every item"}, &A::newLineAfterEveryItem),
        bind({.key = "BreakCharactersInWords", .label = "Break Characters In Words"}, &A::breakCharactersInWords),
    };
    return decls;
}

std::string TextActionTextGenerator::transform(std::string_view text) const {
    if (numberOfElements < 1) return std::string(text);
    const std::int64_t count = std::min(numberOfElements, maxElements);
    const RandomBelow random = secureRandomBelow();

    if (positionType == TextGeneratorPositionType::everyLine &&
        (generatorType == TextGeneratorType::words || generatorType == TextGeneratorType::characters)) {
        std::string out;
        size_t start = 0;
        while (true) {
            if (runIsStale()) return std::string(text);
            const size_t end = text.find('\n', start);
            if (generatorType == TextGeneratorType::characters) {
                out.append(text, start, end == std::string_view::npos ? std::string_view::npos : end - start);
                out += loremCharacters(random, count, breakCharactersInWords);
            } else {
                for (std::int64_t i = 0; i < count; ++i)
                    (out += randomWord(random)) += ' ';
            }
            if (end == std::string_view::npos) break;
            out += '\n';
            start = end + 1;
        }
        return out;
    }

    std::string block;
    if (generatorType == TextGeneratorType::characters) {
        block = loremCharacters(random, count, breakCharactersInWords);
    } else {
        for (std::int64_t i = 0; i < count; ++i) {
            if (runIsStale()) return std::string(text);
            switch (generatorType) {
            case TextGeneratorType::paragraph:
                block += loremParagraph(random, minSentencesPerParagraph, maxSentencesPerParagraph, minWordPerSentence,
                                        maxWordPerSentence);
                block += '\n';
                break;
            case TextGeneratorType::sentence:
                block += loremSentence(random, minWordPerSentence, maxWordPerSentence);
                block += ' ';
                break;
            default:
                block += randomWord(random);
                block += ' ';
                break;
            }
            if (newLineAfterEveryItem) block += '\n';
        }
    }

    switch (positionType) {
    case TextGeneratorPositionType::asNewLine:
        return std::string(text) + "\n" + block;
    case TextGeneratorPositionType::onLastLine:
        return std::string(text) + block;
    case TextGeneratorPositionType::firstLine:
        return block + "\n" + std::string(text);
    default:
        return block; // replace, and every line for paragraphs and sentences
    }
}

} // namespace lexorra
