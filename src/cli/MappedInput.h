#pragma once

#include <string_view>

namespace lexorra::cli {

// A regular file mapped read-only with its pages populated up front. Reading a large
// input this way shares the kernel's cached pages instead of copying them into fresh
// memory, which is most of the cost of a quick transformation of a big file.
class MappedInput {
public:
    MappedInput() = default;
    MappedInput(const MappedInput&) = delete;
    MappedInput& operator=(const MappedInput&) = delete;
    ~MappedInput();

    // False when `fd` is not a regular file with something left to read from its position,
    // or cannot be mapped; read it as a stream then.
    bool map(int fd);
    std::string_view bytes() const { return {m_data, m_size}; }

private:
    const char* m_mapping = nullptr; // the whole file
    std::size_t m_mappedSize = 0;
    const char* m_data = nullptr; // from where the reading position was
    std::size_t m_size = 0;
};

} // namespace lexorra::cli
