#include "cli/MappedInput.h"

#include <sys/mman.h>
#include <sys/stat.h>

namespace lexorra::cli {

MappedInput::~MappedInput() {
    if (m_mapped) munmap(const_cast<char*>(m_data), m_size);
}

bool MappedInput::map(int fd) {
    struct stat info {};
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) return false;
    // Nothing to map; and files such as those under /proc say 0 yet have content.
    if (info.st_size == 0) return false;
    const auto size = static_cast<std::size_t>(info.st_size);
    void* data = mmap(nullptr, size, PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd, 0);
    if (data == MAP_FAILED) return false;
    m_data = static_cast<const char*>(data);
    m_size = size;
    m_mapped = true;
    return true;
}

} // namespace lexorra::cli
