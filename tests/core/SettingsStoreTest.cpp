#include "core/SettingsStore.h"
#include "core/Json.h"
#include "support/TemporaryXdgHome.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

using namespace lexorra;
using namespace lexorra::testing;

TEST(SettingsPaths, FollowXdgVariablesAndIgnoreRelativeOnes) {
    TemporaryXdgHome home;
    EXPECT_EQ(configFolder(), home.config() / "lexorra");
    EXPECT_EQ(dataFolder(), home.data() / "lexorra");
    const std::string oldHome = std::getenv("HOME") ? std::getenv("HOME") : "";
    ::setenv("XDG_CONFIG_HOME", "relative/path", 1);
    ::setenv("HOME", home.root.c_str(), 1);
    EXPECT_EQ(configFolder(), home.root / ".config" / "lexorra");
    ::setenv("XDG_DATA_HOME", "", 1);
    EXPECT_EQ(dataFolder(), home.root / ".local/share" / "lexorra");
    ::setenv("HOME", oldHome.c_str(), 1);
}

TEST(SettingsKeys, ValuesGoToTheirStoreAndWrongTypesAreRefused) {
    TemporaryXdgHome home;
    Settings settings;
    EXPECT_TRUE(settings.setValue("LiveResults", false));
    EXPECT_TRUE(settings.setValue("apiKey", "sk-123"));
    EXPECT_FALSE(settings.setValue("LiveResults", "no"));

    auto standard = json::parse(readFile(home.standardFile()));
    auto group = json::parse(readFile(home.groupFile()));
    ASSERT_TRUE(standard && group);
    EXPECT_EQ(*standard->get("LiveResults"), Value(false));
    EXPECT_EQ(standard->get("apiKey"), nullptr);
    EXPECT_EQ(*group->get("apiKey"), Value("sk-123"));

    Settings reread;
    EXPECT_FALSE(reread.boolean("LiveResults"));
    EXPECT_EQ(reread.string("apiKey"), "sk-123");
    EXPECT_TRUE(reread.removeValue("LiveResults"));
    EXPECT_TRUE(reread.boolean("LiveResults"));
}

TEST(SettingsKeys, StoredValueOfAnotherTypeCountsAsAbsent) {
    TemporaryXdgHome home;
    writeFile(home.standardFile(), R"({"LiveResults": "yes", "ViewTextInfo": true, "SyncFolder": 5})");
    Settings settings;
    EXPECT_EQ(settings.value("LiveResults"), Value(true));
    EXPECT_EQ(settings.value("ViewTextInfo"), Value(true));
    EXPECT_EQ(settings.syncFolder(), home.data() / "lexorra" / "sync");
}

TEST(SettingsStore, KeepsTypedValuesAndOtherKeysAcrossWrites) {
    TemporaryXdgHome home;
    SettingsStore store(home.groupFile());
    EXPECT_EQ(store.reload(), SettingsStore::State::missing);
    Dictionary map = makeDictionary();
    map.set("a", 1);
    const std::pair<const char*, Value> values[] = {
        {"s", Value("text")}, {"i", Value(42)}, {"b", Value(true)}, {"l", Value(ValueList{Value(1), Value("x")})},
        {"m", map},
    };
    for (const auto& [key, value] : values)
        ASSERT_TRUE(store.setValue(key, value));
    SettingsStore reread(home.groupFile());
    EXPECT_EQ(reread.reload(), SettingsStore::State::loaded);
    for (const auto& [key, value] : values) {
        ASSERT_NE(reread.value(key), nullptr) << key;
        EXPECT_EQ(*reread.value(key), value) << key;
    }
}

TEST(SettingsStore, CorruptOrUnreadableFileIsReportedAndNeverOverwritten) {
    const struct {
        const char* name;
        const char* contents; // nullptr: a folder where the file should be, which nobody can read, root included
    } cases[] = {
        {"truncated", R"({"SavedWorkFlows": [{"Id": "A")"},
        {"not json", "hello"},
        {"top-level list", "[1, 2]"},
        {"empty file", ""},
        {"folder", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TemporaryXdgHome home;
        if (c.contents)
            writeFile(home.groupFile(), c.contents);
        else
            std::filesystem::create_directories(home.groupFile() / "inside");
        SettingsStore store(home.groupFile());
        EXPECT_EQ(store.reload(), SettingsStore::State::unreadable);
        EXPECT_NE(store.problem().find(home.groupFile().string()), std::string::npos) << store.problem();
        EXPECT_FALSE(store.setValue("Version", "1"));
        EXPECT_NE(store.problem().find(home.groupFile().string()), std::string::npos);
        if (c.contents) {
            EXPECT_EQ(readFile(home.groupFile()), c.contents);
        } else {
            EXPECT_TRUE(std::filesystem::is_directory(home.groupFile() / "inside"));
        }
    }
}

// Two processes adding to the same store: with the lock no increment is lost.
TEST(SettingsStore, ConcurrentReadModifyWriteLosesNoUpdate) {
    TemporaryXdgHome home;
    const auto file = home.groupFile();
    auto incrementMany = [&](const char* key) {
        SettingsStore store(file);
        for (int i = 0; i < 40; ++i)
            store.update([&](Dictionary& d) {
                const Value* n = d.get("count");
                d.set("count", Value((n ? n->asInteger() : 0) + 1));
                d.set(key, Value(i));
            });
    };
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        incrementMany("child");
        ::_exit(0);
    }
    incrementMany("parent");
    int status = 0;
    ::waitpid(child, &status, 0);
    SettingsStore store(file);
    store.reload();
    ASSERT_NE(store.value("count"), nullptr);
    EXPECT_EQ(store.value("count")->asInteger(), 80);
    EXPECT_EQ(*store.value("child"), Value(39));
    EXPECT_EQ(*store.value("parent"), Value(39));
}
