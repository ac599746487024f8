#include "actions/data/CSVReader.h"

#include "text/Utf.h"


namespace lexorra {

CSVReader::CSVReader(std::string_view text, Configuration configuration)
    : m_configuration(std::move(configuration)) {
    // Decoding once up front lets the scanner work on bytes: in valid UTF-8 an ASCII byte is
    // always a character of its own, and a multi-byte delimiter matches only whole characters.
    m_text = text::isValidUtf8(text) ? std::string(text) : text::toUtf8(text::toUnicode(text));
    text::appendCodePoint(m_delimiter, m_configuration.delimiter);
    if (m_configuration.hasHeaderRow) {
        headerRow = readRecord();
        if (!headerRow) error = Error::cannotReadHeaderRow;
    }
}

std::optional<std::vector<std::string>> CSVReader::next() {
    currentRow = readRecord();
    return currentRow;
}

bool CSVReader::atDelimiter() const {
    return m_text.compare(m_position, m_delimiter.size(), m_delimiter) == 0;
}

void CSVReader::readQuoted(std::string& field) {
    ++m_position; // the opening quote
    while (true) {
        const size_t quote = m_text.find('"', m_position);
        if (quote == std::string::npos) { // unterminated: the rest of the text is the field
            field.append(m_text, m_position, std::string::npos);
            m_position = m_text.size();
            return;
        }
        field.append(m_text, m_position, quote - m_position);
        m_position = quote + 1;
        if (m_position < m_text.size() && m_text[m_position] == '"') {
            field += '"';
            ++m_position;
            continue;
        }
        return;
    }
}

std::optional<std::vector<std::string>> CSVReader::readRecord() {
    if (m_position >= m_text.size()) return std::nullopt;
    const char first = m_delimiter[0];
    std::vector<std::string> fields;
    while (true) {
        std::string field;
        if (m_position < m_text.size() && m_text[m_position] == '"') readQuoted(field);
        // Unquoted text, or what follows a closing quote before the next delimiter, is taken
        // as it stands.
        const size_t start = m_position;
        while (m_position < m_text.size()) {
            const char c = m_text[m_position];
            if (c == first && atDelimiter()) break;
            if (c == '\n' || c == '\r') break;
            ++m_position;
        }
        field.append(m_text, start, m_position - start);
        fields.push_back(std::move(field));

        if (m_position >= m_text.size()) break;
        if (atDelimiter()) {
            m_position += m_delimiter.size();
            continue;
        }
        if (m_text[m_position] == '\r') {
            ++m_position;
            if (m_position < m_text.size() && m_text[m_position] == '\n') ++m_position;
        } else {
            ++m_position; // line feed
        }
        break;
    }
    return fields;
}

} // namespace lexorra
