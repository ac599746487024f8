#pragma once

#include "core/TextActionSeq.h"

#include <memory>
#include <string>
#include <string_view>

namespace lexorra::cli {

// The stored workflow with this id, else the first one with this name; nullptr if none.
// A first start loads the default workflows. When the store cannot be read, problem says
// which file and why.
std::shared_ptr<TextActionSeq> findStoredWorkflow(std::string_view nameOrId, std::string* problem = nullptr);

} // namespace lexorra::cli
