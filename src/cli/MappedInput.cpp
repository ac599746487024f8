#include "cli/MappedInput.h"

#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lexorra::cli {

MappedInput::~MappedInput() {
    if (m_mapping) munmap(const_cast<char*>(m_mapping), m_mappedSize);
}

bool MappedInput::map(int fd) {
    struct stat info {};
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) return false;
    // Nothing to map; and files such as those under /proc say 0 yet have content.
    if (info.st_size == 0) return false;
    // Standard input may be a file that something before us has partly read: the text starts
    // where it was left, and is consumed as a read would consume it.
    const off_t start = lseek(fd, 0, SEEK_CUR);
    if (start < 0 || start >= info.st_size) return false;
    const auto size = static_cast<std::size_t>(info.st_size);
    void* data = mmap(nullptr, size, PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd, 0);
    if (data == MAP_FAILED) return false;
    lseek(fd, info.st_size, SEEK_SET);
    m_mapping = static_cast<const char*>(data);
    m_mappedSize = size;
    m_data = m_mapping + start;
    m_size = size - static_cast<std::size_t>(start);
    return true;
}

} // namespace lexorra::cli
