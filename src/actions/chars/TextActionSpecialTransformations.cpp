#include "actions/chars/TextActionSpecialTransformations.h"

#include "actions/chars/StyledAlphabets.h"
#include "text/Utf.h"

#include <array>

namespace lexorra {
namespace {

using CharacterMap = std::unordered_map<char32_t, char32_t>;

CharacterMap styleMap(const styled::Alphabet& target) {
    std::vector<std::pair<char32_t, char32_t>> passes;
    for (size_t i = 0; i < styled::alphabetSize; ++i) passes.emplace_back(styled::plainAlphabet()[i], target[i]);
    return styled::composePasses(passes);
}

CharacterMap unstyleMap() {
    std::vector<std::pair<char32_t, char32_t>> passes;
    for (const auto& alphabet : styled::styledAlphabets())
        for (size_t i = 0; i < styled::alphabetSize; ++i) passes.emplace_back(alphabet[i], styled::plainAlphabet()[i]);
    return styled::composePasses(passes);
}

// One map per style, built on first use.
const CharacterMap& mapFor(SpecialTransformationsType type) {
    static const std::array<CharacterMap, 9> maps = [] {
        std::array<CharacterMap, 9> m;
        m[0] = unstyleMap();
        for (int style = 1; style <= 7; ++style) m[static_cast<size_t>(style)] = styleMap(styled::styledAlphabets()[static_cast<size_t>(style - 1)]);
        m[8] = styleMap(styled::upsideDownAlphabet());
        return m;
    }();
    return maps[static_cast<size_t>(type)];
}

} // namespace

const OptionList& TextActionSpecialTransformations::options() const {
    static const OptionList decls = {
        bind({.key = "TransformationType",
              .label = "Style:",
              .kind = OptionKind::menu,
              .cases = {{0, "unstyle", "Unstyled"},
                        {1, "circleLetters", "Circle"},
                        {2, "circleLettersFilled", "Circle Filled"},
                        {3, "squareLetters", "Square"},
                        {4, "squareLettersFilled", "Square Filled"},
                        {5, "bold", "Bold"},
                        {6, "italic", "Italic"},
                        {7, "boldItalic", "Bold/Italic"},
                        {8, "upsideDown", "Upside Down"}}},
             &TextActionSpecialTransformations::transformationType),
    };
    return decls;
}

std::string TextActionSpecialTransformations::transform(std::string_view input) const {
    const auto raw = static_cast<int>(transformationType);
    if (raw < 0 || raw > 8) return std::string(input);
    const CharacterMap& map = mapFor(transformationType);
    std::string out;
    out.reserve(input.size() * 2);
    for (size_t i = 0; i < input.size();) {
        const size_t at = i;
        const char32_t c = text::nextCodePoint(input, i);
        if (auto it = map.find(c); it != map.end()) text::appendCodePoint(out, it->second);
        else if (c == U'\uFFFD') text::appendCodePoint(out, c);
        else out.append(input.substr(at, i - at));
    }
    return out;
}

LEXORRA_ACTION_FACTORY(TextActionSpecialTransformations)

} // namespace lexorra
