#include "tools/huge_pages.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#if defined(__linux__) && defined(__GLIBC__)
#include <sys/wait.h>
#include <unistd.h>

namespace {

const char kRestarted[] = "glibc.malloc.check=0:glibc.malloc.hugetlb=1";

// Run only in the program the test below starts again: the tunable was
// added after the one already set, and a second restart does nothing.
TEST(HugePages, DISABLED_RestartedProgramHasTheTunable) {
    const char* tunables = std::getenv("GLIBC_TUNABLES");
    ASSERT_NE(tunables, nullptr);
    EXPECT_EQ(std::string(tunables), kRestarted);
    char* noArguments[] = {nullptr};
    tool::restartWithHugePages(noArguments);
    EXPECT_EQ(std::string(std::getenv("GLIBC_TUNABLES")), kRestarted);
}

// The program starts again with the same arguments, which here run the test above.
TEST(HugePages, ProgramStartsAgainOnceWithTheTunableAdded) {
    const pid_t child = fork();
    ASSERT_NE(child, -1);
    if (child == 0) {
        setenv("GLIBC_TUNABLES", "glibc.malloc.check=0", 1);
        std::string program = "tools_tests";
        std::string all = "--gtest_also_run_disabled_tests";
        std::string filter = "--gtest_filter=HugePages.DISABLED_RestartedProgramHasTheTunable";
        char* argv[] = {&program[0], &all[0], &filter[0], nullptr};
        tool::restartWithHugePages(argv);
        _exit(99);  // not started again
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

TEST(HugePages, TunableAlreadySetIsLeftAsItIs) {
    const char* before = std::getenv("GLIBC_TUNABLES");
    const std::string kept = before != nullptr ? before : "";
    setenv("GLIBC_TUNABLES", "glibc.malloc.hugetlb=0", 1);
    char* noArguments[] = {nullptr};
    tool::restartWithHugePages(noArguments);  // answers: nothing to do
    EXPECT_EQ(std::string(std::getenv("GLIBC_TUNABLES")), "glibc.malloc.hugetlb=0");
    if (before != nullptr)
        setenv("GLIBC_TUNABLES", kept.c_str(), 1);
    else
        unsetenv("GLIBC_TUNABLES");
}

}  // namespace

#endif
