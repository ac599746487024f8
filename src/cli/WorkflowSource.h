#pragma once

#include "core/TextActionSeq.h"

#include <memory>
#include <string_view>

namespace lexorra::cli {

// The stored workflow with this id, else the first one with this name; nullptr if none.
std::shared_ptr<TextActionSeq> findStoredWorkflow(std::string_view nameOrId);

} // namespace lexorra::cli
