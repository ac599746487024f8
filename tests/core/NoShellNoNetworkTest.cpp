// Every action kind but the AI one runs in a process that may neither start programs nor
// open sockets: a seccomp filter stops it at the first such system call and the test
// reports which one. The AI action's request is the program's only network use.
#include "core/ActionFactory.h"
#include "core/TextActionType.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include <csignal>
#include <linux/audit.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <netinet/in.h>
#include <sched.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace lexorra;

namespace {

#if defined(__x86_64__)
constexpr std::uint32_t nativeArch = AUDIT_ARCH_X86_64;
#elif defined(__aarch64__)
constexpr std::uint32_t nativeArch = AUDIT_ARCH_AARCH64;
#else
constexpr std::uint32_t nativeArch = 0;
#endif

int reportFd = -1;

void onForbiddenCall(int, siginfo_t* info, void*) {
    // Only async-signal-safe calls here: the number of the call, then out.
    const int number = info->si_syscall;
    [[maybe_unused]] const auto written = ::write(reportFd, &number, sizeof number);
    ::_exit(3);
}

// Traps execve/execveat (a shell or any program), fork and vfork, clone without
// CLONE_THREAD (how posix_spawn and system() start a process) and socket/connect; threads
// stay allowed. clone3 answers ENOSYS so that the C library falls back to clone, whose
// flags the filter can read.
bool installFilter() {
    std::vector<sock_filter> program = {
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, arch)),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, nativeArch, 1, 0),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_TRAP),
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
    };
    const long trapped[] = {
        __NR_execve, __NR_execveat, __NR_socket, __NR_connect,
#ifdef __NR_fork
        __NR_fork,
#endif
#ifdef __NR_vfork
        __NR_vfork,
#endif
    };
    for (long number : trapped) {
        program.push_back(BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, static_cast<std::uint32_t>(number), 0, 1));
        program.push_back(BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_TRAP));
    }
#ifdef __NR_clone3
    program.push_back(BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, __NR_clone3, 0, 1));
    program.push_back(BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | ENOSYS));
#endif
    // Not clone: on to the final allow, four instructions further.
    program.push_back(BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, __NR_clone, 0, 4));
    program.push_back(BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, args[0])));
    program.push_back(BPF_JUMP(BPF_JMP | BPF_JSET | BPF_K, CLONE_THREAD, 0, 1));
    program.push_back(BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW));
    program.push_back(BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_TRAP));
    program.push_back(BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW));
    sock_fprog fprog{static_cast<unsigned short>(program.size()), program.data()};
    return ::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) == 0 && ::prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &fprog) == 0;
}

struct Outcome {
    int forbiddenCall = -1;      // the system call number that was stopped, if the handler could tell
    bool killedBySigsys = false; // stopped while the C library had every signal blocked
    long completed = -1;         // what the body reported when it got to its end

    bool stopped() const { return forbiddenCall >= 0 || killedBySigsys; }
};

// Runs body in a forked child under the filter; body returns how much work it did, so a
// child that ended early cannot pass for one that ran everything.
Outcome runConfined(const std::function<long()>& body) {
    int report[2];
    if (::pipe(report) != 0) return {};
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(report[0]);
        reportFd = report[1];
        struct sigaction action {};
        action.sa_sigaction = onForbiddenCall;
        action.sa_flags = SA_SIGINFO;
        ::sigaction(SIGSYS, &action, nullptr);
        if (!installFilter()) ::_exit(4);
        const long done = body();
        const int tag = -1;
        [[maybe_unused]] auto a = ::write(report[1], &tag, sizeof tag);
        [[maybe_unused]] auto b = ::write(report[1], &done, sizeof done);
        ::_exit(0);
    }
    ::close(report[1]);
    Outcome outcome;
    int number = 0;
    if (::read(report[0], &number, sizeof number) == static_cast<ssize_t>(sizeof number)) {
        if (number >= 0)
            outcome.forbiddenCall = number;
        else if (long done = 0; ::read(report[0], &done, sizeof done) == static_cast<ssize_t>(sizeof done))
            outcome.completed = done;
    }
    ::close(report[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    outcome.killedBySigsys = WIFSIGNALED(status) && WTERMSIG(status) == SIGSYS;
    return outcome;
}

const std::vector<std::string>& sampleInputs() {
    static const std::vector<std::string> inputs = {
        "",
        "Hello World 123\nsecond line\n\n  third  ",
        R"({"name": "x", "list": [1, 2.5, true, null], "url": "https://example.com/a?b=c"})",
        "a: 1\nb: [x, y]\nc: {d: e}\n",
        "name,age\nAnn,31\n\"Bo, Jr\",4\n",
        "<?xml version=\"1.0\"?>\n<!DOCTYPE r [<!ENTITY e SYSTEM \"http://127.0.0.1:9/x\">]>\n<r a=\"1\">&e;<b/></r>",
        "# Title\n\n* item\n\n[link](https://example.com) ![img](http://127.0.0.1:9/i.png)\n",
        "Meeting on 2024-03-05 at 10:30, or March 5, 2024; call +1 555 0100.",
        "AwEAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA=",
        "caf\u00e9 \u00c5ngstr\u00f6m \U0001F600 \u05e9\u05dc\u05d5\u05dd 42 1,000.5",
    };
    return inputs;
}

// Every kind but the AI one: with its defaults, with each case of each menu and with each
// switch turned over.
std::vector<TextActionPtr> everyKindAndVariant() {
    std::vector<TextActionPtr> actions;
    for (TextActionType type : allTextActionTypes()) {
        if (type == TextActionType::chatGPT) continue;
        const auto base = makeDefault(type);
        actions.push_back(base);
        for (const auto& option : base->options()) {
            std::vector<Value> values;
            if (option.kind == OptionKind::menu)
                for (const auto& menuCase : option.cases)
                    values.emplace_back(menuCase.raw);
            if (option.kind == OptionKind::toggle) values.emplace_back(option.get(*base) != Value(true));
            for (const auto& value : values) {
                actions.push_back(makeDefault(type));
                actions.back()->setOption(option.key, value);
            }
        }
    }
    return actions;
}

TEST(Confinement, FilterStopsAShellASocketAndAProcessButNotAThread) {
    if (nativeArch == 0) GTEST_SKIP() << "no filter for this architecture";
    const Outcome shell = runConfined([] { return static_cast<long>(std::system("true")); });
    EXPECT_TRUE(shell.stopped());

    const Outcome socketCall = runConfined([] { return static_cast<long>(::socket(AF_INET, SOCK_STREAM, 0)); });
    EXPECT_EQ(socketCall.forbiddenCall, __NR_socket);

    const Outcome exec = runConfined([] {
        char* argv[] = {const_cast<char*>("/bin/true"), nullptr};
        return static_cast<long>(::execv("/bin/true", argv));
    });
    EXPECT_EQ(exec.forbiddenCall, __NR_execve);

    const Outcome spawned = runConfined([] { return static_cast<long>(::fork()); });
    EXPECT_TRUE(spawned.stopped());

    const Outcome thread = runConfined([] {
        long ran = 0;
        std::thread([&] { ran = 7; }).join();
        return ran;
    });
    EXPECT_EQ(thread.completed, 7);
}

TEST(Confinement, NoActionStartsAProgramOrOpensASocket) {
    if (nativeArch == 0) GTEST_SKIP() << "no filter for this architecture";
    const size_t actions = everyKindAndVariant().size();
    ASSERT_GT(actions, 33u);
    const Outcome outcome = runConfined([] {
        long transforms = 0;
        for (const auto& action : everyKindAndVariant())
            for (const auto& input : sampleInputs()) {
                (void)action->transform(input);
                ++transforms;
            }
        return transforms;
    });
    EXPECT_FALSE(outcome.stopped()) << "system call " << outcome.forbiddenCall;
    EXPECT_EQ(outcome.completed, static_cast<long>(actions * sampleInputs().size()));
}

} // namespace
