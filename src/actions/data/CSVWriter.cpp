#include "actions/data/CSVWriter.h"

#include "text/Utf.h"

#include <unicode/uchar.h>

namespace lexorra {

bool containsDecimalDigit(std::string_view text) {
    bool nonAscii = false;
    for (char c : text) {
        if (c >= '0' && c <= '9') return true;
        if (static_cast<unsigned char>(c) >= 0x80) nonAscii = true;
    }
    if (!nonAscii) return false;
    for (size_t i = 0; i < text.size();) {
        if (u_charType(static_cast<UChar32>(text::nextCodePoint(text, i))) == U_DECIMAL_DIGIT_NUMBER) return true;
    }
    return false;
}

void CSVWriter::beginNewRow() {
    if (!isFirstRow) m_stream += "\n";
    isFirstRow = false;
    isFirstField = true;
}

void CSVWriter::write(std::string_view field, bool quoted) {
    if (isFirstRow) beginNewRow(); // a field before any record starts the first one
    if (!isFirstField) m_stream += m_configuration.delimiter;
    isFirstField = false;

    const bool special = field.find_first_of("\"\r\n") != std::string_view::npos ||
                         (!m_configuration.delimiter.empty() && field.find(m_configuration.delimiter) != std::string_view::npos);
    if (!quoted && !special && (field.empty() || containsDecimalDigit(field))) {
        m_stream += field;
        return;
    }
    m_stream += '"';
    for (char c : field) {
        if (c == '"') m_stream += '"';
        m_stream += c;
    }
    m_stream += '"';
}

void CSVWriter::write(const std::vector<std::string>& row) {
    beginNewRow();
    for (const auto& field : row) write(field);
}

} // namespace lexorra
