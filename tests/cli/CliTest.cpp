#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

struct Result {
    int status;
    std::string out;
    std::string err;
};

std::string shellQuote(const std::string& s) {
    std::string q = "'";
    for (char c : s)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

std::string readFile(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Runs the built lexorra-cli with the given arguments and standard input.
Result cli(const std::vector<std::string>& args, const std::string& input = "") {
    // Tests run in parallel processes: each call gets folders of its own.
    static int calls = 0;
    const auto dir = std::filesystem::temp_directory_path() /
                     ("lexorra-cli-test-" + std::to_string(::getpid()) + "-" + std::to_string(++calls));
    std::filesystem::create_directories(dir);
    const auto in = dir / "in", out = dir / "out", err = dir / "err";
    std::ofstream(in, std::ios::binary) << input;
    std::string command = "XDG_CONFIG_HOME=" + shellQuote((dir / "config").string()) +
                          " XDG_DATA_HOME=" + shellQuote((dir / "data").string()) + " " + LEXORRA_CLI_PATH;
    for (const auto& a : args)
        command += " " + shellQuote(a);
    command += " <" + shellQuote(in.string()) + " >" + shellQuote(out.string()) + " 2>" + shellQuote(err.string());
    const int raw = std::system(command.c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, readFile(out), readFile(err)};
}

} // namespace

TEST(Cli, RegexReplacementFromTheCommandLine) {
    auto r = cli({"run", "--action", "replaceString", "--set", "ReplaceString=(\\d+)", "--set", "WithString=[$1]",
                  "--set", "isRegEx=true"},
                 "a1b22");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "a[1]b[22]");
}

TEST(Cli, KindsByRawValueOrTitleAndNoLineFeedAdded) {
    EXPECT_EQ(cli({"run", "--action", "0", "--set", "ReplaceString=a", "--set", "WithString=b"}, "aa\n").out, "bb\n");
    EXPECT_EQ(cli({"run", "--action", "Replace Text", "--set", "ReplaceString=a"}, "abc").out, "bc");
}

TEST(Cli, ActionJsonIsReadLikeAStoredDictionary) {
    auto r = cli({"run", "--action-json",
                  R"({"Type":0,"ReplaceString":"(","WithString":"","CaseSensitive":true,"isRegEx":true})"},
                 "x");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, " -- Not valid RegEx -- ");
    // A kind without a transformation yet returns its input.
    EXPECT_EQ(cli({"run", "--action-json", R"({"Type":0})"}, "same").out, "same");
}

TEST(Cli, UsageErrorsExitTwoWithOneClearLine) {
    const std::vector<std::vector<std::string>> bad = {
        {"run", "--action", "nothing"},
        {"run", "--action", "replaceString", "--set", "isRegEx=maybe"},
        {"run", "--action", "replaceString", "--set", "Nope=1"},
        {"run", "--action", "replaceString", "--set", "noequals"},
        {"run", "--action-json", "[1,2]"},
        {"run", "--action-json", R"({"Type":34})"},
        {"run", "--action-json", "{oops"},
        {"run"},
        {"frobnicate"},
    };
    for (const auto& args : bad) {
        auto r = cli(args);
        EXPECT_EQ(r.status, 2) << args.back();
        EXPECT_NE(r.err.find("lexorra-cli: error:"), std::string::npos) << r.err;
        EXPECT_TRUE(r.out.empty());
    }
    auto r = cli({"run", "--action", "replaceString", "--set", "isRegEx=maybe"});
    EXPECT_NE(r.err.find("\"isRegEx\""), std::string::npos);
    EXPECT_NE(r.err.find("maybe"), std::string::npos);
}

TEST(Cli, FilesInAndOutAndIoErrors) {
    const auto dir = std::filesystem::temp_directory_path() / ("lexorra-cli-files-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    std::ofstream(dir / "input.txt") << "one two";
    auto r = cli({"run", "--action", "replaceString", "--set", "ReplaceString= ", "--set", "WithString=_", "--in",
                  (dir / "input.txt").string(), "--out", (dir / "output.txt").string()});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(r.out.empty());
    EXPECT_EQ(readFile(dir / "output.txt"), "one_two");
    // The result replaces the file whole: the input itself can be the output, an existing file keeps
    // its mode, a new one gets the usual mode less the umask, and no temporary file is left behind.
    std::filesystem::permissions(dir / "input.txt", std::filesystem::perms(0604));
    const mode_t oldMask = ::umask(027);
    for (const char* out : {"input.txt", "new.txt"})
        EXPECT_EQ(cli({"run", "--action", "replaceString", "--set", "ReplaceString=o", "--set", "WithString=0", "--in",
                       (dir / "input.txt").string(), "--out", (dir / out).string()})
                      .status,
                  0);
    ::umask(oldMask);
    EXPECT_EQ(readFile(dir / "input.txt"), "0ne tw0");
    EXPECT_EQ(readFile(dir / "new.txt"), "0ne tw0");
    EXPECT_EQ(std::filesystem::status(dir / "input.txt").permissions(), std::filesystem::perms(0604));
    EXPECT_EQ(std::filesystem::status(dir / "new.txt").permissions(), std::filesystem::perms(0640));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), 3);
    EXPECT_EQ(cli({"run", "--action", "0", "--out", "/dev/null"}, "a").status, 0);
    EXPECT_EQ(cli({"run", "--action", "0", "--in", (dir / "missing.txt").string()}).status, 4);
    EXPECT_EQ(cli({"run", "--action", "0", "--out", "/nonexistent-dir/x"}, "a").status, 4);
}

TEST(Cli, WorkflowFilesAndExchangeFiles) {
    const auto dir = std::filesystem::temp_directory_path() / ("lexorra-cli-wf-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const std::string step = R"({"Type":0,"ReplaceString":"a","WithString":"b","CaseSensitive":false})";
    std::ofstream(dir / "one.json") << R"({"Id":"X","Name":"n","Actions":[)" + step + "," + step + "]}";
    std::ofstream(dir / "exchange.json") << R"({"workflows":[{"Id":"X","Name":"n","Actions":[)" + step + "]}]}";
    std::ofstream(dir / "bad.json") << "[]";
    EXPECT_EQ(cli({"run", "--workflow-file", (dir / "one.json").string()}, "Aa").out, "bb");
    EXPECT_EQ(cli({"run", "--workflow-file", (dir / "exchange.json").string()}, "a").out, "b");
    EXPECT_EQ(cli({"run", "--workflow-file", (dir / "bad.json").string()}, "a").status, 2);
    EXPECT_EQ(cli({"run", "--workflow-file", (dir / "none.json").string()}, "a").status, 4);

    // Nesting in a key nobody reads: a few hundred levels are read, a hostile depth is refused.
    const auto nested = [&](const std::string& name, int depth) {
        std::ofstream(dir / name) << R"({"Id":"X","Name":"n","Actions":[{"Type":3,"CaseType":1,"X":)" +
                                         std::string(static_cast<size_t>(depth), '[') +
                                         std::string(static_cast<size_t>(depth), ']') + "}]}";
        return cli({"run", "--workflow-file", (dir / name).string()}, "a");
    };
    EXPECT_EQ(nested("deep.json", 300).out, "A");
    const Result hostile = nested("hostile.json", 100000);
    EXPECT_EQ(hostile.status, 2);
    EXPECT_NE(hostile.err.find("nested deeper"), std::string::npos) << hostile.err;
}

TEST(Cli, ActionsListsEveryKind) {
    auto plain = cli({"actions"});
    EXPECT_EQ(plain.status, 0);
    EXPECT_EQ(std::count(plain.out.begin(), plain.out.end(), '\n'), 34);
    auto json = cli({"actions", "--json"});
    EXPECT_EQ(json.status, 0);
    EXPECT_NE(json.out.find("\"caseName\": \"quotesConverter\""), std::string::npos);
    EXPECT_NE(json.out.find("\"key\": \"ReplaceString\""), std::string::npos);
}

TEST(Cli, VersionIsOneLineWithoutASubcommand) {
    auto r = cli({"--version"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "lexorra-cli " LEXORRA_VERSION "\n");
}

TEST(Cli, InputsAreReadWholeWhateverTheyComeFrom) {
    const auto dir = std::filesystem::temp_directory_path() / ("lexorra-cli-inputs-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const auto write = [&](const char* name, const std::string& bytes) {
        std::ofstream(dir / name, std::ios::binary) << bytes;
        return (dir / name).string();
    };
    const std::vector<std::string> upper = {"run", "--action", "convertCase", "--set", "CaseType=upperCase"};
    const auto withIn = [&](const std::string& file) {
        auto args = upper;
        args.insert(args.end(), {"--in", file});
        return cli(args);
    };
    // A file given with --in is read as a text file: its byte-order mark goes, other encodings are decoded.
    EXPECT_EQ(withIn(write("bom.txt", "\xEF\xBB\xBF"
                                      "abc"))
                  .out,
              "ABC");
    EXPECT_EQ(withIn(write("utf16.txt", std::string("\xFF\xFE"
                                                    "a\0b\0",
                                                    6)))
                  .out,
              "AB");
    EXPECT_EQ(withIn(write("latin.txt", "caf\xE9")).out, "CAF\xC3\x89");
    EXPECT_EQ(withIn(write("empty.txt", "")).out, "");
    // Files that report no size but have content.
    EXPECT_NE(withIn("/proc/self/status").out.find("NAME:"), std::string::npos);
    // Standard input is taken byte for byte when it is UTF-8, mark included; else decoded.
    EXPECT_EQ(cli(upper, "\xEF\xBB\xBF"
                         "abc")
                  .out,
              "\xEF\xBB\xBF"
              "ABC");
    EXPECT_EQ(cli(upper, "caf\xE9").out, "CAF\xC3\x89");
    // A workflow without actions hands the input back untouched.
    const std::string workflow = write("none.json", R"({"Name":"none","Id":"1","Actions":[]})");
    EXPECT_EQ(cli({"run", "--workflow-file", workflow}, "keep me\n").out, "keep me\n");
    EXPECT_EQ(cli({"run", "--workflow-file", workflow, "--in", write("keep.txt", "\xEF\xBB\xBFkept")}).out, "kept");
    // A file on standard input is read from where the shell left it, and consumed: the
    // command after ours finds nothing left.
    const std::string shared = write("shared.txt", "skip the rest");
    const std::string command = "{ dd bs=1 count=4 of=/dev/null 2>/dev/null; " + std::string(LEXORRA_CLI_PATH) +
                                " run --action convertCase --set CaseType=upperCase; echo '|'; cat; } <" +
                                shellQuote(shared) + " >" + shellQuote((dir / "shared.out").string());
    ASSERT_EQ(std::system(command.c_str()), 0);
    EXPECT_EQ(readFile(dir / "shared.out"), " THE REST|\n");
    std::filesystem::remove_all(dir);
}
