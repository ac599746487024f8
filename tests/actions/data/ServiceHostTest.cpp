#include "actions/data/CompletionServer.h"
#include "actions/data/TextActionChatGPT.h"
#include "core/SettingsStore.h"
#include "core/SharedApiKey.h"
#include "support/TemporaryXdgHome.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace lexorra {
namespace {

TEST(ServiceHost, OnlyPlainHostNamesWithAnOptionalPortAreAccepted) {
    for (const char* host :
         {"api.openai.com", "llm.example.org:8443", "localhost", "10.0.0.7:443", "[::1]:8443", "[fd00::7]", "my-host"})
        EXPECT_TRUE(openai::isServiceHostName(host)) << host;
    // A scheme could downgrade to plain http; a path, credentials or a bad port are not a host.
    for (const char* host : {"", "https://api.example.com", "http://evil.example", "api.example.com/v1",
                             "api.example.com:", "api.example.com:99999", "api.example.com:80a", "user@api.example.com",
                             "api example.com", "-api.example.com", ".example.com", "[::1", "[]:80", "[::1]x"})
        EXPECT_FALSE(openai::isServiceHostName(host)) << host;
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

// A self-hosted service with a certificate from a private authority: trusted through the
// setting and not without it; checking stays on (another authority, another name: refused).
TEST(ServiceHost, PrivateCertificateAuthority) {
    testing::TemporaryXdgHome home;
    unsetenv("LEXORRA_OPENAI_ADDRESS");
    const std::string key = "-newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -days 1 ";
    const std::string make = "cd " + home.root.string() + " && echo subjectAltName=DNS:localhost > ext && " +
                             "openssl req -x509 " + key + "-keyout ca.key -out ca.pem -subj /CN=CA && " +
                             "openssl req -x509 " + key + "-keyout other.key -out other.pem -subj /CN=Other && " +
                             "openssl req " + key + "-keyout server.key -out server.csr -subj /CN=localhost && " +
                             "openssl x509 -req -in server.csr -CA ca.pem -CAkey ca.key -CAcreateserial -days 1 "
                             "-out server.pem -extfile ext > /dev/null 2>&1";
    ASSERT_EQ(std::system(make.c_str()), 0);
    testing::CompletionServer server((home.root / "server.pem").string(), (home.root / "server.key").string());
    server.reply(200, R"({"id":"c","object":"o","created":1,"model":"m","choices":[{"text":"over https","index":0}]})");
    const std::string port = std::to_string(server.port);
    Settings settings;
    ASSERT_TRUE(settings.setValue("apiKey", Value("sk-test")));
    TextActionChatGPT action;
    action.prompt = "Answer";
    const struct {
        std::string host, bundle, expected;
    } cases[] = {
        {"localhost:" + port, "", " -- ERROR:"},
        {"localhost:" + port, (home.root / "other.pem").string(), " -- ERROR:"},
        {"localhost:" + port, (home.root / "missing.pem").string(), " -- ERROR:The certificate authority file"},
        {"127.0.0.1:" + port, (home.root / "ca.pem").string(), " -- ERROR:"},
        {"localhost:" + port, (home.root / "ca.pem").string(), "over https"},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(settings.setValue("AIHost", Value(c.host)));
        ASSERT_TRUE(settings.setValue("AICABundle", Value(c.bundle)));
        const std::string result = action.transform("Hello");
        EXPECT_TRUE(result.starts_with(c.expected)) << c.host << " " << c.bundle << ": " << result;
        EXPECT_EQ(server.hasRequest(), c.expected == "over https") << c.host << " " << c.bundle;
    }
}

} // namespace
} // namespace lexorra
