#include "actions/data/TextActionCSVtoMarkdown.h"

#include "actions/data/CSVReader.h"
#include "text/Cancellation.h"
#include "text/Graphemes.h"
#include "text/Lines.h"
#include "text/Utf.h"

#include <algorithm>
#include <vector>

namespace lexorra {

namespace {

bool isPlainAscii(std::string_view s) {
    for (char c : s)
        if (static_cast<unsigned char>(c) >= 0x80 || c == '\r') return false;
    return true;
}

// Width of a cell in user-perceived characters, and its first `width` of them.
size_t characterCount(std::string_view cell) {
    return isPlainAscii(cell) ? cell.size() : text::graphemeCount(cell);
}

std::string_view firstCharacters(std::string_view cell, size_t count) {
    if (isPlainAscii(cell)) return cell.substr(0, count);
    const auto bounds = text::graphemeBoundaries(cell);
    if (bounds.size() <= count + 1) return cell;
    return cell.substr(0, bounds[count]);
}

void appendCell(std::string& line, std::string_view field, size_t width) {
    const std::string_view cut = firstCharacters(field, width);
    line += cut;
    const size_t shown = characterCount(cut);
    if (shown < width) line.append(width - shown, ' ');
}

} // namespace

char32_t delimiterCharacter(std::string_view option) {
    if (option == "\\t") return U'\t';
    if (option.empty()) return U' ';
    size_t at = 0;
    return text::nextCodePoint(option, at);
}

const OptionList& TextActionCSVtoMarkdown::options() const {
    using A = TextActionCSVtoMarkdown;
    static const OptionList decls = {
        bind({.key = "FirstAsHeader", .label = "First row as header"}, &A::firstAsHeader),
        bind({.key = "Delimiter", .label = "Delimiter:", .hint = "(for tab set \\t)"}, &A::delimiter),
    };
    return decls;
}

std::string TextActionCSVtoMarkdown::transform(std::string_view text) const {
    try {
        const char32_t separator = delimiterCharacter(delimiter);
        CSVReader reader(text, {.hasHeaderRow = false, .delimiter = separator});
        std::vector<std::vector<std::string>> records;
        while (auto record = reader.next()) records.push_back(std::move(*record));

        size_t columns = 0;
        for (const auto& record : records) columns = std::max(columns, record.size());
        if (columns == 0) return {};

        std::vector<size_t> widths(columns, 0);
        for (const auto& record : records) {
            if (runIsStale()) return {};
            for (size_t c = 0; c < record.size(); ++c)
                widths[c] = std::max(widths[c], std::min(characterCount(record[c]), maximumColumnWidth));
        }
        // Without a header the table gets an empty first line, so that every record is a row.
        if (!firstAsHeader) records.insert(records.begin(), std::vector<std::string>{" "});

        std::string out;
        for (size_t r = 0; r < records.size(); ++r) {
            if (r == 1) {
                out += '|';
                for (size_t c = 0; c < columns; ++c) {
                    if (c > 0) out += '|';
                    out.append(widths[c], '-');
                }
                out += "|\n";
            }
            out += '|';
            for (size_t c = 0; c < columns; ++c) {
                if (c > 0) out += '|';
                appendCell(out, c < records[r].size() ? std::string_view(records[r][c]) : std::string_view(), widths[c]);
            }
            out += "|\n";
        }
        return out;
    } catch (const std::exception&) {
        return {};
    }
}

LEXORRA_ACTION_FACTORY(TextActionCSVtoMarkdown)

} // namespace lexorra
