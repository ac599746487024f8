#include "actions/lines/TextActionReorderLines.h"

#include "text/ClusterWalker.h"
#include "text/Lines.h"
#include "text/SecureRandom.h"
#include "text/StandardOrder.h"

#include <algorithm>
#include <numeric>

namespace lexorra {
namespace {

std::string joinInOrder(const std::vector<std::string_view>& lines, const std::vector<std::uint32_t>& order) {
    std::vector<std::string_view> sorted;
    sorted.reserve(lines.size());
    for (auto i : order) sorted.push_back(lines[i]);
    return text::join(sorted);
}

std::vector<std::uint32_t> byLength(const std::vector<std::string_view>& lines) {
    text::ClusterWalker walker;
    std::vector<size_t> lengths;
    lengths.reserve(lines.size());
    for (auto line : lines) lengths.push_back(walker.count(line));
    std::vector<std::uint32_t> order(lines.size());
    std::iota(order.begin(), order.end(), 0u);
    std::stable_sort(order.begin(), order.end(), [&](auto a, auto b) { return lengths[a] < lengths[b]; });
    return order;
}

} // namespace

const OptionList& TextActionReorderLines::options() const {
    using A = TextActionReorderLines;
    static const OptionList decls = {
        bind({.key = "ReorderType",
              .label = "Sort Lines:",
              .kind = OptionKind::menu,
              .cases = {{0, "original", "Original"},
                        {1, "reverse", "Reverse"},
                        {2, "alphabetical", "Alphabetical"},
                        {3, "random", "Shuffle"},
                        {4, "length", "By Length"}}},
             &A::reorderType),
    };
    return decls;
}

std::string TextActionReorderLines::transform(std::string_view text) const {
    auto lines = text::splitLines(text);
    switch (reorderType) {
    case ReorderLinesType::original: return std::string(text);
    case ReorderLinesType::reverse: std::reverse(lines.begin(), lines.end()); return text::join(lines);
    case ReorderLinesType::alphabetical: return joinInOrder(lines, text::standardOrder(lines));
    case ReorderLinesType::random: {
        text::SecureRandom random;
        random.shuffle(lines);
        return text::join(lines);
    }
    case ReorderLinesType::length: return joinInOrder(lines, byLength(lines));
    }
    return std::string(text);
}

LEXORRA_ACTION_FACTORY(TextActionReorderLines)

} // namespace lexorra
