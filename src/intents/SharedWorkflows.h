#pragma once

#include "core/TextActionSeq.h"

#include <optional>
#include <string>
#include <vector>

namespace lexorra::intents {

// The workflow list of the shared group store, read afresh; nullopt with an error text when
// the store cannot be read. A store that does not exist yet holds the default workflows.
std::optional<std::vector<TextActionSeqPtr>> loadSharedWorkflows(std::string& error);

} // namespace lexorra::intents
