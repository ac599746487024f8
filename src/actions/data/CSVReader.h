#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lexorra {

// Reads delimiter-separated records. A field that starts with a double quote runs to the next
// undoubled quote and may hold delimiters and line breaks; a record ends at LF, CR or CR LF.
//
//   CSVReader reader("name,age\nAnn,30\n", {.hasHeaderRow = true});
//   while (auto row = reader.next()) use(*row); // {"Ann", "30"}
class CSVReader {
public:
    struct Configuration {
        bool hasHeaderRow = false;
        char32_t delimiter = U',';
    };

    enum class Error { none, cannotReadHeaderRow };

    // Reads the header line at once when the configuration asks for one.
    CSVReader(std::string_view text, Configuration configuration);

    // The next record, or nothing at the end of the text.
    std::optional<std::vector<std::string>> next();

    std::optional<std::vector<std::string>> headerRow;
    std::optional<std::vector<std::string>> currentRow;
    Error error = Error::none;

private:
    std::optional<std::vector<std::string>> readRecord();
    void readQuoted(std::string& field);
    bool atDelimiter() const;

    std::string m_text; // valid UTF-8
    std::string m_delimiter;
    Configuration m_configuration;
    size_t m_position = 0;
};

} // namespace lexorra
