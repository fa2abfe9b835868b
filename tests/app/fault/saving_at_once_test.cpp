// Twenty programs saving different settings at the same moment through the
// settings store, as twenty settings dialogs closed with OK together: the
// file stays a registry file and holds one whole set of the twenty. Three
// rounds.
#include <fcntl.h>

#include <fstream>
#include <sstream>
#include <vector>

#include "tests/app/fault/fault_fixture.h"

namespace {

constexpr int kPrograms = 20;

SaverSettings SetOf(int program, int round) {
    return {program % 4, 20 + program + 20 * round, 30 + program};
}

TEST_F(FaultRun, TwentyDialogsSavingAtOnceLeaveOneWholeSet) {
    const std::string folder = std::filesystem::path(m_registry.FilePath()).parent_path();
    for (int round = 0; round < 3; ++round) {
        int start[2];
        ASSERT_EQ(pipe(start), 0);
        std::vector<pid_t> programs;
        for (int i = 0; i < kPrograms; ++i) {
            const std::string errors = folder + "/err-" + std::to_string(i);
            programs.push_back(Spawn([&, i] {
                close(start[1]);
                const int fd = open(errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
                if (fd < 0 || dup2(fd, 2) < 0) return 3;
                close(fd);
                char byte;
                if (read(start[0], &byte, 1) != 0) return 4;  // all start when the pipe closes
                return WriteSaverSettings(SetOf(i, round)) == 1 ? 0 : 1;
            }));
        }
        close(start[0]);
        close(start[1]);
        for (pid_t pid : programs)
            EXPECT_EQ(ExitCode(pid), 0) << "round " << round;
        // Nobody gave up waiting for the lock or found damage.
        for (int i = 0; i < kPrograms; ++i) {
            const std::string errors = folder + "/err-" + std::to_string(i);
            std::ifstream in(errors);
            std::stringstream text;
            text << in.rdbuf();
            EXPECT_EQ(text.str(), "") << "program " << i;
            std::filesystem::remove(errors);
        }

        regstore::LoadState state;
        const auto held = FileSettings(&state);
        ASSERT_EQ(state, regstore::LoadState::Loaded);
        ASSERT_TRUE(held.has_value());
        const int program = held->sizeOfBalls - 30;
        ASSERT_GE(program, 0);
        ASSERT_LT(program, kPrograms);
        const SaverSettings expected = SetOf(program, round);
        EXPECT_EQ(held->style, expected.style);
        EXPECT_EQ(held->numOfBalls, expected.numOfBalls);
        EXPECT_EQ(StrayFiles(), 0);
    }
}

}  // namespace
