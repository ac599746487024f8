#include "core/ActionFactory.h"
#include "core/TextActionType.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace lexorra;

TEST(Catalogue, RawValuesRoundTripAndStopAtTheEnds) {
    for (auto type : allTextActionTypes()) EXPECT_EQ(textActionTypeFromRaw(rawValue(type)), type);
    EXPECT_FALSE(textActionTypeFromRaw(-1));
    EXPECT_FALSE(textActionTypeFromRaw(34));
    EXPECT_EQ(allTextActionTypes().size(), 34u);
}

TEST(Catalogue, TitlesKeepTheirTrailingSpaces) {
    EXPECT_EQ(title(TextActionType::JSON), "Beautify JSON ");
    EXPECT_EQ(title(TextActionType::XML), "Beautify XML ");
    EXPECT_EQ(keywords(TextActionType::textGenerator), "Random Dummy Text Generator  ");
    EXPECT_EQ(title(TextActionType::deleteRows), "Delete Lines");
    EXPECT_EQ(caseName(TextActionType::deleteRows), "deleteRows");
    EXPECT_EQ(icon(TextActionType::chatGPT), "openai");
}

TEST(Catalogue, SortingByTitle) {
    auto all = allTextActionTypes();
    std::vector<TextActionType> sorted(all.begin(), all.end());
    std::sort(sorted.begin(), sorted.end(), titleLess);
    std::vector<std::string_view> firstTitles;
    for (size_t i = 0; i < 5; ++i) firstTitles.push_back(title(sorted[i]));
    EXPECT_EQ(firstTitles,
              (std::vector<std::string_view>{"AI Conversion", "Add Prefix", "Add Suffix", "Beautify JSON ",
                                             "Beautify XML "}));
    EXPECT_EQ(title(sorted.back()), "XML -> JSON");
}

TEST(Catalogue, SearchLooksAtTitleAndKeywordsIgnoringCase) {
    EXPECT_TRUE(matchesSearch(TextActionType::removeEmptyLines, "DELETE"));
    EXPECT_TRUE(matchesSearch(TextActionType::chatGPT, "chatgpt"));
    EXPECT_TRUE(matchesSearch(TextActionType::specialTransformations, "upside"));
    EXPECT_FALSE(matchesSearch(TextActionType::trimLines, "delete"));
    EXPECT_TRUE(matchesSearch(TextActionType::trimLines, ""));
}

TEST(Catalogue, NamesOnTheCommandLine) {
    EXPECT_EQ(textActionTypeFromName("3"), TextActionType::convertCase);
    EXPECT_EQ(textActionTypeFromName("convertCase"), TextActionType::convertCase);
    EXPECT_EQ(textActionTypeFromName("Convert Case"), TextActionType::convertCase);
    EXPECT_EQ(textActionTypeFromName("beautify json"), TextActionType::JSON);
    EXPECT_FALSE(textActionTypeFromName("34"));
    EXPECT_FALSE(textActionTypeFromName("nothing"));
}

TEST(Catalogue, DefaultFlagsFollowHasOptions) {
    for (auto type : allTextActionTypes()) {
        auto action = makeDefault(type);
        EXPECT_EQ(action->type, type);
        EXPECT_EQ(action->name(), title(type));
        EXPECT_EQ(action->hasOptions(), defaultHasOptions(type)) << title(type);
        EXPECT_EQ(action->showDetails(), defaultHasOptions(type)) << title(type);
        EXPECT_TRUE(action->enabled());
        EXPECT_FALSE(action->isNew());
    }
    EXPECT_TRUE(makeDefault(TextActionType::XMLtoJSON)->hasOptions());
}
