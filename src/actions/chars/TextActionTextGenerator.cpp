#include "actions/chars/TextActionTextGenerator.h"

#include "actions/chars/Lorem.h"
#include "text/Cancellation.h"
#include "text/SecureRandom.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstring>
#include <limits>
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

// Several uniform picks out of one draw: the base-`base` digits of a uniform value below
// base^digits are themselves uniform and independent. Long texts make a draw per
// character or word the main cost.
class DigitPool {
public:
    DigitPool(const RandomBelow& random, std::uint32_t base) : m_random(random), m_base(base) {
        std::uint64_t span = base;
        while (span * base <= std::numeric_limits<std::uint32_t>::max()) {
            span *= base;
            ++m_digits;
        }
        m_span = static_cast<std::uint32_t>(span);
    }

    std::uint32_t next() {
        if (m_left == 0) {
            m_value = m_random(m_span);
            m_left = m_digits;
        }
        --m_left;
        const std::uint32_t digit = m_value % m_base;
        m_value /= m_base;
        return digit;
    }

private:
    const RandomBelow& m_random;
    std::uint32_t m_base;
    std::uint32_t m_span = 0;
    int m_digits = 1;
    int m_left = 0;
    std::uint32_t m_value = 0;
};

} // namespace

RandomBelow secureRandomBelow() {
    auto source = std::make_shared<SecureSource>();
    return [source](std::uint32_t bound) { return source->below(bound); };
}

namespace {

// Appends generated words to one text and says when to stop: the run became stale (asked
// every few thousand words, so even one paragraph of a million words ends promptly) or the
// text grew past its limit. The caller then drops the unit it was writing.
class WordWriter {
public:
    WordWriter(const RandomBelow& random, size_t limit)
        : m_random(random), m_pick(random, static_cast<std::uint32_t>(Lorem::words().size())), m_limit(limit) {}

    bool stale() const { return m_stale; }

    bool word(std::string& out) {
        out += Lorem::words()[m_pick.next()];
        if ((++m_words & 2047) == 0 && runIsStale()) m_stale = true;
        return !m_stale && out.size() <= m_limit;
    }

    bool sentence(std::string& out, std::int64_t minWords, std::int64_t maxWords) {
        const std::int64_t count = inRange(m_random, minWords, maxWords);
        const size_t first = out.size();
        for (std::int64_t i = 0; i < count; ++i) {
            if (i > 0) out += ' ';
            if (!word(out)) return false;
        }
        out += '.';
        out[first] = static_cast<char>(std::toupper(static_cast<unsigned char>(out[first])));
        return out.size() <= m_limit;
    }

    bool paragraph(std::string& out, std::int64_t minSentences, std::int64_t maxSentences, std::int64_t minWords,
                   std::int64_t maxWords) {
        const std::int64_t count = inRange(m_random, minSentences, maxSentences);
        for (std::int64_t i = 0; i < count; ++i) {
            if (i > 0) out += ' ';
            if (!sentence(out, minWords, maxWords)) return false;
        }
        return true;
    }

private:
    const RandomBelow& m_random;
    DigitPool m_pick;
    size_t m_limit;
    std::uint64_t m_words = 0;
    bool m_stale = false;
};

constexpr size_t unlimited = std::numeric_limits<size_t>::max();

} // namespace

std::string loremSentence(const RandomBelow& random, std::int64_t minWords, std::int64_t maxWords) {
    std::string sentence;
    WordWriter(random, unlimited).sentence(sentence, minWords, maxWords);
    return sentence;
}

std::string loremParagraph(const RandomBelow& random, std::int64_t minSentences, std::int64_t maxSentences,
                           std::int64_t minWords, std::int64_t maxWords) {
    std::string paragraph;
    WordWriter(random, unlimited).paragraph(paragraph, minSentences, maxSentences, minWords, maxWords);
    return paragraph;
}

std::string loremCharacters(const RandomBelow& random, std::int64_t length, bool breakIntoWords) {
    if (length <= 0) return {};
    std::string out(static_cast<size_t>(length), ' ');
    DigitPool pick(random, static_cast<std::uint32_t>(characterSet.size()));
    for (auto& c : out)
        c = characterSet[pick.next()];
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
              .hint = "how many items; less than 1 leaves the input as it is"},
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
    const std::int64_t count = numberOfElements;
    const RandomBelow random = secureRandomBelow();

    if (positionType == TextGeneratorPositionType::everyLine &&
        (generatorType == TextGeneratorType::words || generatorType == TextGeneratorType::characters)) {
        // One line's run is the unit: once the runs reach the limit, the remaining lines get
        // none (a line of characters keeps its text, a line of words stays empty).
        WordWriter writer(random, unlimited);
        std::string out;
        size_t generated = 0;
        bool full = false;
        size_t start = 0;
        while (true) {
            if (runIsStale()) return std::string(text);
            const size_t end = text.find('\n', start);
            if (generatorType == TextGeneratorType::characters) {
                out.append(text, start, end == std::string_view::npos ? std::string_view::npos : end - start);
                if (!full && generated + static_cast<size_t>(count) <= maxGeneratedBytes) {
                    out += loremCharacters(random, count, breakCharactersInWords);
                    generated += static_cast<size_t>(count);
                } else {
                    full = true;
                }
            } else if (!full) {
                const size_t mark = out.size();
                for (std::int64_t i = 0; i < count && !full; ++i) {
                    writer.word(out);
                    out += ' ';
                    if (writer.stale()) return std::string(text);
                    full = generated + (out.size() - mark) > maxGeneratedBytes;
                }
                if (full)
                    out.resize(mark);
                else
                    generated += out.size() - mark;
            }
            if (end == std::string_view::npos) break;
            out += '\n';
            start = end + 1;
        }
        return out;
    }

    std::string block;
    if (generatorType == TextGeneratorType::characters) {
        block = loremCharacters(random, std::min<std::int64_t>(count, maxGeneratedBytes), breakCharactersInWords);
    } else {
        // An item (with its separator and line feed) is the unit: the one that would pass the
        // limit is dropped and generation ends there.
        WordWriter writer(random, maxGeneratedBytes);
        for (std::int64_t i = 0; i < count; ++i) {
            if (runIsStale()) return std::string(text);
            const size_t mark = block.size();
            bool fits = true;
            switch (generatorType) {
            case TextGeneratorType::paragraph:
                fits = writer.paragraph(block, minSentencesPerParagraph, maxSentencesPerParagraph, minWordPerSentence,
                                        maxWordPerSentence);
                block += '\n';
                break;
            case TextGeneratorType::sentence:
                fits = writer.sentence(block, minWordPerSentence, maxWordPerSentence);
                block += ' ';
                break;
            default:
                fits = writer.word(block);
                block += ' ';
                break;
            }
            if (writer.stale()) return std::string(text);
            if (newLineAfterEveryItem) block += '\n';
            if (!fits || block.size() > maxGeneratedBytes) {
                block.resize(mark);
                break;
            }
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

LEXORRA_ACTION_FACTORY(TextActionTextGenerator)

} // namespace lexorra
