#include "core/SharedLibrary.h"

#include <gtest/gtest.h>

using namespace lexorra;

namespace {
int placeholder() {
    return 1;
}
} // namespace

TEST(SharedLibrary, ResolvesFunctionsOfAnInstalledLibraryAndNothingOfAMissingOne) {
    const SharedLibrary libc("libc.so.6");
    ASSERT_TRUE(libc.isOpen());
    size_t (*length)(const char*) = nullptr;
    ASSERT_TRUE(libc.resolve("strlen", length));
    EXPECT_EQ(length("lexorra"), 7u);

    // A failed lookup leaves nothing callable behind.
    int (*missing)() = &placeholder;
    EXPECT_FALSE(libc.resolve("no_such_function_in_libc", missing));
    EXPECT_EQ(missing, nullptr);

    const SharedLibrary absent("liblexorra-absent.so.9");
    EXPECT_FALSE(absent.isOpen());
    missing = &placeholder;
    EXPECT_FALSE(absent.resolve("strlen", missing));
    EXPECT_EQ(missing, nullptr);
}

TEST(SharedLibrary, FunctionTablesAreFilledOnceOrNotAtAll) {
    struct Strings {
        size_t (*length)(const char*);
    };
    int fills = 0;
    const auto load = [&] {
        return loadFunctions<Strings>("libc.so.6", [&](const SharedLibrary& library, Strings& table) {
            ++fills;
            return library.resolve("strlen", table.length);
        });
    };
    const Strings* first = load();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->length("abc"), 3u);
    EXPECT_EQ(load(), first);
    EXPECT_EQ(fills, 1);

    const auto* missing =
        loadFunctions<Strings>("liblexorra-absent.so.9", [](const SharedLibrary& library, Strings& table) {
            return library.resolve("strlen", table.length);
        });
    EXPECT_EQ(missing, nullptr);
}
