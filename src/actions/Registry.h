#pragma once

#include "core/TextAction.h"

#include <memory>

namespace lexorra::actions {

// Each subsystem creates the kinds it builds and answers nullptr for the others.
std::shared_ptr<TextAction> makeLineAction(TextActionType type); // actions/lines/LineActions.cpp
std::shared_ptr<TextAction> makeCharAction(TextActionType type); // actions/chars/CharActions.cpp
std::shared_ptr<TextAction> makeDataAction(TextActionType type); // actions/data/DataActions.cpp

} // namespace lexorra::actions
