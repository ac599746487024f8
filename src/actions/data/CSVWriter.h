#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace lexorra {

// Writes records as delimiter-separated text. Text cells are quoted and numeric cells are
// not: a field is quoted when it holds a quote, the delimiter or a line break, or when it is
// non-empty and has no decimal digit.
//
//   CSVWriter writer;
//   writer.write(std::vector<std::string>{"x", "30"});
//   std::move(writer).data() == "\"x\",30";
class CSVWriter {
public:
    struct Configuration {
        std::string delimiter = ",";
    };

    CSVWriter() : CSVWriter(Configuration{}) {}
    explicit CSVWriter(Configuration configuration) : m_configuration(std::move(configuration)) {}

    // Starts a record; records are separated by a line feed, none follows the last one.
    void beginNewRow();
    // Writes one field of the current record; `quoted` forces the quotes.
    void write(std::string_view field, bool quoted = false);
    // Starts a new record and writes its fields.
    void write(const std::vector<std::string>& row);

    std::string data() && { return std::move(m_stream); }
    const std::string& data() const& { return m_stream; }

    bool isFirstRow = true;
    bool isFirstField = true;

private:
    Configuration m_configuration;
    std::string m_stream;
};

// Whether the text holds a decimal digit of any script.
bool containsDecimalDigit(std::string_view text);

} // namespace lexorra
