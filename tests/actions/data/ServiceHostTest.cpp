#include "actions/data/TextActionChatGPT.h"
#include "actions/data/openai/SharedApiKey.h"
#include "core/SettingsStore.h"
#include "support/TemporaryXdgHome.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace lexorra {
namespace {

TEST(ServiceHost, OnlyPlainHostNamesWithAnOptionalPortAreAccepted) {
    struct Case {
        const char* host;
        bool accepted;
    };
    const Case cases[] = {
        {"api.openai.com", true},
        {"llm.example.org:8443", true},
        {"localhost", true},
        {"10.0.0.7:443", true},
        {"[::1]:8443", true},
        {"[fd00::7]", true},
        {"my-host", true},
        {"", false},
        {"https://api.example.com", false},  // a scheme could downgrade to plain http
        {"http://evil.example", false},
        {"api.example.com/v1", false},       // a path
        {"api.example.com:", false},
        {"api.example.com:99999", false},
        {"api.example.com:80a", false},
        {"user@api.example.com", false},     // credentials in the authority
        {"api example.com", false},
        {"-api.example.com", false},
        {".example.com", false},
        {"[::1", false},
        {"[]:80", false},
        {"[::1]x", false},
    };
    for (const auto& c : cases) EXPECT_EQ(openai::isServiceHostName(c.host), c.accepted) << c.host;
}

TEST(ServiceHost, TheChosenHostIsUsedAndABadOneFallsBackToTheBuiltInHost) {
    testing::TemporaryXdgHome home;
    unsetenv("LEXORRA_OPENAI_ADDRESS");
    EXPECT_EQ(TextActionChatGPT::serviceHost(), openai::defaultServiceHost);

    Settings settings;
    ASSERT_TRUE(settings.setValue("AIHost", Value("llm.example.org:8443")));
    EXPECT_EQ(TextActionChatGPT::serviceHost(), "llm.example.org:8443");

    ASSERT_TRUE(settings.setValue("AIHost", Value("http://llm.example.org")));
    EXPECT_EQ(TextActionChatGPT::serviceHost(), openai::defaultServiceHost);

    ASSERT_TRUE(settings.setValue("AIHost", Value("")));
    EXPECT_EQ(TextActionChatGPT::serviceHost(), openai::defaultServiceHost);
}

} // namespace
} // namespace lexorra
