#include "actions/lines/TextActionShuffle.h"

#include "text/ClusterWalker.h"
#include "text/Lines.h"
#include "text/SecureRandom.h"
#include "text/Utf.h"

namespace lexorra {
namespace {

using Walker = text::ClusterWalker;
using Random = text::SecureRandom;

std::vector<std::string_view> splitAtSpaces(std::string_view s) {
    std::vector<std::string_view> pieces;
    size_t start = 0;
    for (size_t at = s.find(' '); at != std::string_view::npos; at = s.find(' ', start)) {
        pieces.push_back(s.substr(start, at - start));
        start = at + 1;
    }
    pieces.push_back(s.substr(start));
    return pieces;
}

std::string shuffledWords(std::string_view s, Random& random) {
    auto words = splitAtSpaces(s);
    random.shuffle(words);
    return text::join(words, " ");
}

// Draws the next character from those not yet drawn, each equally likely; the drawn
// slot is refilled from the end so that a draw costs O(1).
void appendDrawnClusters(std::string& out, std::string_view s, const std::vector<size_t>& bounds, size_t from,
                         size_t to, Random& random) {
    std::vector<std::string_view> remaining;
    remaining.reserve(to - from);
    for (size_t i = from; i < to; ++i) remaining.push_back(s.substr(bounds[i], bounds[i + 1] - bounds[i]));
    while (!remaining.empty()) {
        const size_t pick = static_cast<size_t>(random.below(remaining.size()));
        out += remaining[pick];
        remaining[pick] = remaining.back();
        remaining.pop_back();
    }
}

std::string shuffledCharacters(std::string_view s, Walker& walker, Random& random) {
    std::string out;
    out.reserve(s.size());
    const auto& bounds = walker.boundaries(s);
    appendDrawnClusters(out, s, bounds, 0, bounds.size() - 1, random);
    return out;
}

// Readable scramble: the letters of each word change places, but short words stay and
// the last letter keeps its place.
std::string scrambledWords(std::string_view s, Walker& walker, Random& random) {
    std::string out;
    out.reserve(s.size() + 1);
    for (auto word : splitAtSpaces(s)) {
        const auto& bounds = walker.boundaries(word);
        const size_t clusters = bounds.size() - 1;
        if (clusters < 3) {
            out += word;
        } else {
            appendDrawnClusters(out, word, bounds, 0, clusters - 1, random);
            out += word.substr(bounds[clusters - 1]);
        }
        out += ' ';
    }
    return std::string(text::trimCodePoints(out, text::isWhitespace));
}

} // namespace

const OptionList& TextActionShuffle::options() const {
    using A = TextActionShuffle;
    static const OptionList decls = {
        bind({.key = "ShuffleType",
              .label = "Shuffle:",
              .kind = OptionKind::menu,
              .cases = {{0, "characters", "characters"}, {1, "words", "words"}, {2, "lines", "lines"}}},
             &A::shuffleType),
        bind({.key = "SeparatedLines",
              .label = "Separated lines",
              .visible = [](const TextAction& a) {
                  return static_cast<const A&>(a).shuffleType != TextActionShuffleType::lines;
              }},
             &A::separatedLines),
        bind({.key = "KeepWords",
              .label = "Keep words",
              .visible = [](const TextAction& a) {
                  return static_cast<const A&>(a).shuffleType == TextActionShuffleType::characters;
              }},
             &A::keepWords),
    };
    return decls;
}

std::string TextActionShuffle::transform(std::string_view text) const {
    Random random;
    Walker walker;
    if (shuffleType == TextActionShuffleType::lines) {
        auto lines = text::splitLines(text);
        random.shuffle(lines);
        return text::join(lines);
    }
    auto shuffle = [&](std::string_view s) {
        if (shuffleType == TextActionShuffleType::words) return shuffledWords(s, random);
        return keepWords ? scrambledWords(s, walker, random) : shuffledCharacters(s, walker, random);
    };
    if (!separatedLines) return shuffle(text);

    std::string out;
    out.reserve(text.size());
    for (auto line : text::splitLines(text)) {
        const std::string result = shuffle(line);
        // A line feed only between written results: leading lines that come out
        // empty leave no trace.
        if (!out.empty()) out += '\n';
        out += result;
    }
    return out;
}

LEXORRA_ACTION_FACTORY(TextActionShuffle)

} // namespace lexorra
