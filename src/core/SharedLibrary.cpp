#include "core/SharedLibrary.h"

#include <dlfcn.h>

namespace lexorra {

SharedLibrary::SharedLibrary(const char* soname) : m_handle(dlopen(soname, RTLD_NOW | RTLD_LOCAL)) {}

void* SharedLibrary::symbol(const char* name) const {
    return m_handle ? dlsym(m_handle, name) : nullptr;
}

} // namespace lexorra
