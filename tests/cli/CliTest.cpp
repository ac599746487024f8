#include "support/Cli.h"
#include "core/TextActionType.h"
#include "support/TemporaryXdgHome.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sys/stat.h>

using namespace lexorra;
using namespace lexorra::testing;

namespace {

// Every test gets a home of its own, removed afterwards.
class Cli : public ::testing::Test {
protected:
    TemporaryXdgHome home;
    std::string file(const char* name, const std::string& bytes) {
        writeFile(home.root / name, bytes);
        return (home.root / name).string();
    }
};

} // namespace

TEST_F(Cli, RunsActionsNamedAnyWayWithoutAddingALineFeed) {
    const struct {
        std::vector<std::string> args;
        std::string input;
        std::string out;
    } cases[] = {
        {{"run", "--action", "replaceString", "--set", "ReplaceString=(\\d+)", "--set", "WithString=[$1]", "--set",
          "isRegEx=true"},
         "a1b22",
         "a[1]b[22]"},
        {{"run", "--action", "0", "--set", "ReplaceString=a", "--set", "WithString=b"}, "aa\n", "bb\n"},
        {{"run", "--action", "Replace Text", "--set", "ReplaceString=a"}, "abc", "bc"},
        // --action-json is read like a stored dictionary.
        {{"run", "--action-json",
          R"({"Type":0,"ReplaceString":"(","WithString":"","CaseSensitive":true,"isRegEx":true})"},
         "x",
         " -- Not valid RegEx -- "},
        {{"run", "--action-json", R"({"Type":0})"}, "same", "same"},
    };
    for (const auto& c : cases) {
        auto r = runCli(c.args, c.input);
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.out, c.out) << c.args.back();
    }
}

TEST_F(Cli, UsageErrorsExitTwoWithOneClearLine) {
    const std::vector<std::vector<std::string>> bad = {
        {"run", "--action", "nothing"},
        {"run", "--action", "replaceString", "--set", "isRegEx=maybe"},
        {"run", "--action", "replaceString", "--set", "Nope=1"},
        {"run", "--action", "replaceString", "--set", "noequals"},
        {"run", "--action-json", "[1,2]"},
        {"run", "--action-json", R"({"Type":35})"},
        {"run", "--action-json", "{oops"},
        {"run"},
        {"frobnicate"},
    };
    for (const auto& args : bad) {
        auto r = runCli(args);
        EXPECT_EQ(r.status, 2) << args.back();
        EXPECT_NE(r.err.find("lexorra-cli: error:"), std::string::npos) << r.err;
        EXPECT_TRUE(r.out.empty());
    }
    auto r = runCli({"run", "--action", "replaceString", "--set", "isRegEx=maybe"});
    EXPECT_NE(r.err.find("\"isRegEx\""), std::string::npos);
    EXPECT_NE(r.err.find("maybe"), std::string::npos);
}

TEST_F(Cli, FilesInAndOutAndIoErrors) {
    const auto output = (home.root / "output.txt").string();
    auto r = runCli({"run", "--action", "replaceString", "--set", "ReplaceString= ", "--set", "WithString=_", "--in",
                     file("input.txt", "one two"), "--out", output});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(r.out.empty());
    EXPECT_EQ(readFile(output), "one_two");
    // The result replaces the file whole: the input itself can be the output, an existing file keeps
    // its mode, a new one gets the usual mode less the umask, and no temporary file is left behind.
    const auto input = home.root / "input.txt";
    std::filesystem::permissions(input, std::filesystem::perms(0604));
    const mode_t oldMask = ::umask(027);
    for (const char* out : {"input.txt", "new.txt"})
        EXPECT_EQ(runCli({"run", "--action", "replaceString", "--set", "ReplaceString=o", "--set", "WithString=0",
                          "--in", input.string(), "--out", (home.root / out).string()})
                      .status,
                  0);
    ::umask(oldMask);
    EXPECT_EQ(readFile(input), "0ne tw0");
    EXPECT_EQ(readFile(home.root / "new.txt"), "0ne tw0");
    EXPECT_EQ(std::filesystem::status(input).permissions(), std::filesystem::perms(0604));
    EXPECT_EQ(std::filesystem::status(home.root / "new.txt").permissions(), std::filesystem::perms(0640));
    const auto files = std::count_if(std::filesystem::directory_iterator(home.root), {},
                                     [](const auto& entry) { return entry.is_regular_file(); });
    EXPECT_EQ(files, 3);
    EXPECT_EQ(runCli({"run", "--action", "0", "--out", "/dev/null"}, "a").status, 0);
    EXPECT_EQ(runCli({"run", "--action", "0", "--in", (home.root / "missing.txt").string()}).status, 4);
    EXPECT_EQ(runCli({"run", "--action", "0", "--out", "/nonexistent-dir/x"}, "a").status, 4);
}

TEST_F(Cli, WorkflowFilesAndExchangeFiles) {
    const std::string step = R"({"Type":0,"ReplaceString":"a","WithString":"b","CaseSensitive":false})";
    const auto run = [](const std::string& workflowFile, const std::string& input) {
        return runCli({"run", "--workflow-file", workflowFile}, input);
    };
    EXPECT_EQ(run(file("one.json", R"({"Id":"X","Name":"n","Actions":[)" + step + "," + step + "]}"), "Aa").out, "bb");
    EXPECT_EQ(run(file("exchange.json", R"({"workflows":[{"Id":"X","Name":"n","Actions":[)" + step + "]}]}"), "a").out,
              "b");
    EXPECT_EQ(run(file("bad.json", "[]"), "a").status, 2);
    EXPECT_EQ(run((home.root / "none.json").string(), "a").status, 4);

    // Nesting in a key nobody reads: a few hundred levels are read, a hostile depth is refused.
    const auto nested = [&](const char* name, size_t depth) {
        return run(file(name, R"({"Id":"X","Name":"n","Actions":[{"Type":3,"CaseType":1,"X":)" +
                                  std::string(depth, '[') + std::string(depth, ']') + "}]}"),
                   "a");
    };
    EXPECT_EQ(nested("deep.json", 300).out, "A");
    const CliResult hostile = nested("hostile.json", 100000);
    EXPECT_EQ(hostile.status, 2);
    EXPECT_NE(hostile.err.find("nested deeper"), std::string::npos) << hostile.err;
}

TEST_F(Cli, ActionsListsEveryKindAndVersionIsOneLine) {
    auto plain = runCli({"actions"});
    EXPECT_EQ(plain.status, 0);
    EXPECT_EQ(size_t(std::count(plain.out.begin(), plain.out.end(), '\n')), allTextActionTypes().size());
    auto json = runCli({"actions", "--json"});
    EXPECT_EQ(json.status, 0);
    EXPECT_NE(json.out.find("\"caseName\": \"quotesConverter\""), std::string::npos);
    EXPECT_NE(json.out.find("\"key\": \"ReplaceString\""), std::string::npos);
    auto version = runCli({"--version"});
    EXPECT_EQ(version.status, 0) << version.err;
    EXPECT_EQ(version.out, "lexorra-cli " LEXORRA_VERSION "\n");
}

TEST_F(Cli, InputsAreReadWholeWhateverTheyComeFrom) {
    const std::vector<std::string> upper = {"run", "--action", "convertCase", "--set", "CaseType=upperCase"};
    const auto withIn = [&](const std::string& path) {
        auto args = upper;
        args.insert(args.end(), {"--in", path});
        return runCli(args).out;
    };
    // A file given with --in is read as a text file: its byte-order mark goes (decoding other
    // encodings is the workflow runner's test, and standard input's below takes the same path).
    EXPECT_EQ(withIn(file("bom.txt", "\xEF\xBB\xBF"
                                     "abc")),
              "ABC");
    EXPECT_EQ(withIn(file("empty.txt", "")), "");
    // Files that report no size but have content.
    EXPECT_NE(withIn("/proc/self/status").find("NAME:"), std::string::npos);
    // A workflow without actions hands the input back untouched.
    const std::string workflow = file("none.json", R"({"Name":"none","Id":"1","Actions":[]})");
    EXPECT_EQ(runCli({"run", "--workflow-file", workflow}, "keep me\n").out, "keep me\n");
    EXPECT_EQ(runCli({"run", "--workflow-file", workflow, "--in", file("keep.txt", "\xEF\xBB\xBFkept")}).out, "kept");

    // The program's own standard input is taken byte for byte when it is UTF-8, mark included;
    // else decoded.
    EXPECT_EQ(runCliProcess(upper,
                            "\xEF\xBB\xBF"
                            "abc",
                            home.root / "bom")
                  .out,
              "\xEF\xBB\xBF"
              "ABC");
    EXPECT_EQ(runCliProcess(upper, "caf\xE9", home.root / "latin").out, "CAF\xC3\x89");
    // A file on standard input is read from where the shell left it, and consumed: the
    // command after ours finds nothing left.
    const std::string shared = file("shared.txt", "skip the rest");
    const std::string command = "{ dd bs=1 count=4 of=/dev/null 2>/dev/null; " + std::string(LEXORRA_CLI_PATH) +
                                " run --action convertCase --set CaseType=upperCase; echo '|'; cat; } <" +
                                shellQuote(shared) + " >" + shellQuote((home.root / "shared.out").string());
    ASSERT_EQ(std::system(command.c_str()), 0);
    EXPECT_EQ(readFile(home.root / "shared.out"), " THE REST|\n");
}
