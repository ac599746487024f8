#include "core/AtomicFile.h"
#include "core/Json.h"
#include "core/SettingsStore.h"
#include "support/TemporaryXdgHome.h"

#include <gtest/gtest.h>

#include <chrono>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace lexorra;
using namespace lexorra::testing;

TEST(AtomicFile, WritesBytesWithOwnerOnlyModeCreatesFoldersAndReplacesWhole) {
    TemporaryXdgHome home;
    const auto target = home.root / "a" / "b" / "file.json";
    std::string error;
    ASSERT_TRUE(AtomicFile::write(target, std::string(10000, 'o'), &error)) << error;
    ASSERT_TRUE(AtomicFile::write(target, "{\"x\":1}", &error)) << error;
    EXPECT_EQ(readFile(target), "{\"x\":1}");
    struct stat st {};
    ASSERT_EQ(::stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    EXPECT_EQ(filesStartingWith(target.parent_path(), AtomicFile::temporaryPrefix(target)), 0);
}

TEST(AtomicFile, FailureLeavesTargetUntouchedAndNoTemporaryFile) {
    TemporaryXdgHome home;
    // A non-empty folder cannot be replaced by a file: the last step fails.
    const auto target = home.root / "taken.json";
    writeFile(target / "keep", "old");
    std::string error;
    EXPECT_FALSE(AtomicFile::write(target, "new", &error));
    EXPECT_NE(error.find(target.string()), std::string::npos) << error;
    EXPECT_EQ(readFile(target / "keep"), "old");
    EXPECT_EQ(filesStartingWith(target.parent_path(), AtomicFile::temporaryPrefix(target)), 0);
    // Nor can a file be written below one.
    EXPECT_FALSE(AtomicFile::write(target / "keep" / "inner.json", "{}", &error));
    EXPECT_FALSE(error.empty());
}

TEST(AtomicFile, RemovesLeftoversOfKilledWriters) {
    TemporaryXdgHome home;
    const auto target = home.root / "group.json";
    writeFile(home.root / (AtomicFile::temporaryPrefix(target) + "abc123"), "half");
    writeFile(home.root / "other.json", "keep");
    AtomicFile::removeLeftovers(target);
    EXPECT_EQ(filesStartingWith(target.parent_path(), AtomicFile::temporaryPrefix(target)), 0);
    EXPECT_TRUE(std::filesystem::exists(home.root / "other.json"));
}

TEST(FileLock, SecondLockInAnotherProcessWaitsForTheFirst) {
    TemporaryXdgHome home;
    const auto lockFile = home.root / ".lock";
    const auto marker = home.root / "order";
    auto lock = std::make_unique<FileLock>(lockFile);
    ASSERT_TRUE(lock->locked());
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        FileLock inner(lockFile);
        std::ofstream(marker, std::ios::app) << "child";
        ::_exit(inner.locked() ? 0 : 1);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    std::ofstream(marker, std::ios::app) << "parent;";
    lock.reset();
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(readFile(marker), "parent;child");
}
