#pragma once

#include <cstddef>
#include <memory>
#include <string_view>

namespace lexorra::text {

// Walks the grapheme-cluster boundaries of one text after another with a single ICU
// iterator, so that line-by-line work does not pay for creating an iterator per line.
// ASCII texts never reach ICU (one cluster per byte, except CR LF).
//
//   GraphemeCursor cursor;
//   for (auto line : lines) {
//       cursor.reset(line);
//       size_t third = cursor.advance(2); // byte offset of the third cluster
//   }
class GraphemeCursor {
public:
    static constexpr size_t npos = std::string_view::npos;

    GraphemeCursor();
    ~GraphemeCursor();
    GraphemeCursor(const GraphemeCursor&) = delete;
    GraphemeCursor& operator=(const GraphemeCursor&) = delete;

    // Starts over on a text, which must outlive the walk.
    void reset(std::string_view s);
    // The boundary after the current one (the text's end included); npos once at the end.
    size_t next();
    // Moves over up to `count` clusters and returns the byte offset reached (the end at most).
    size_t advance(size_t count);
    size_t position() const { return m_position; }

private:
    struct Icu;
    std::string_view m_text;
    size_t m_position = 0;
    enum class Mode { ascii, icu, codePoints };
    Mode m_mode = Mode::ascii;
    std::unique_ptr<Icu> m_icu; // created on the first non-ASCII text
};

} // namespace lexorra::text
