#pragma once

#include <string>

namespace lexorra {

// A fresh random (version 4) UUID from the system's secure random source, in upper-case
// 8-4-4-4-12 form: "E621E1F8-C36C-495A-93FC-0C247A3E6E5F".
std::string makeUuid();

} // namespace lexorra
