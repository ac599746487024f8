#include "core/ActionFactory.h"
#include "core/TextActionType.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace lexorra;

TEST(Catalogue, RawValuesRoundTrip) {
    for (auto type : allTextActionTypes()) EXPECT_EQ(textActionTypeFromRaw(rawValue(type)), type);
    EXPECT_FALSE(textActionTypeFromRaw(-1));
    EXPECT_FALSE(textActionTypeFromRaw(34));
}
