#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "frontend/child_process.h"
#include "frontend/pipe_writer.h"

namespace {

using frontend::ChildProcess;
using frontend::PipeWriter;

constexpr std::size_t kQueue = std::size_t{32} << 20;

TEST(PipeWriter, DeliversEveryByteInOrderAndFailsWithoutSigpipeOnceTheReaderHasGone)
{
    int ends[2];
    ASSERT_EQ(pipe2(ends, O_CLOEXEC), 0);
    std::string received;
    std::thread reader([&] {
        char buffer[1000];
        for (ssize_t n; (n = read(ends[0], buffer, sizeof buffer)) > 0;) received.append(buffer, n);
        close(ends[0]);
    });
    PipeWriter writer(ends[1], 4096);
    std::string sent;
    for (int block = 0; block < 300; ++block) {
        const std::string bytes(1 + block * 7 % 5000, static_cast<char>('a' + block % 26));
        sent += bytes;
        ASSERT_TRUE(writer.write(bytes.data(), bytes.size()));
    }
    EXPECT_TRUE(writer.close());
    reader.join();
    EXPECT_EQ(received, sent);

    ASSERT_EQ(pipe2(ends, O_CLOEXEC), 0);
    close(ends[0]);
    PipeWriter orphan(ends[1], 4096);
    // The first write may only be queued; the break shows on a later one. A SIGPIPE would end the test.
    const std::string bytes(100000, 'x');
    bool accepted = true;
    for (int tries = 0; tries < 1000 && accepted; ++tries) accepted = orphan.write(bytes.data(), bytes.size());
    EXPECT_FALSE(accepted);
    EXPECT_FALSE(orphan.close());
}

TEST(ChildProcess, ReadsItsPipesInItsOwnOrderWithoutDeadlock)
{
    // The child reads all of pipe 3 before pipe 0, while pipe 0 is written first: far more than a pipe holds.
    ChildProcess child;
    std::string error;
    ASSERT_TRUE(child.start({"sh", "-c", "test $(wc -c <&3) = 9 && test $(wc -c) = 4000000"}, 2, kQueue, error))
        << error;
    const std::vector<char> big(1000000, 'v');
    for (int i = 0; i < 4; ++i) ASSERT_TRUE(child.write(0, big.data(), big.size()));
    ASSERT_TRUE(child.write(1, "123456789", 9));
    EXPECT_TRUE(child.finish(error)) << error;
}

TEST(ChildProcess, SaysHowTheChildEndedWithItsLastWords)
{
    const struct {
        std::vector<std::string> argv;
        const char* message;
    } cases[] = {
        {{"sh", "-c", "head -c 10 >/dev/null; for i in 1 2 3 4 5 6; do echo line $i >&2; done; exit 3"},
         "sh stopped with exit status 3:\n    line 3\n    line 4\n    line 5\n    line 6"},
        {{"sh", "-c", "kill -KILL $$"}, "sh was ended by signal 9"},
        {{"sh", "-c", "exit 1"}, "sh stopped with exit status 1 and said nothing"},
        // Exits happily without reading what it was sent.
        {{"true"}, "true stopped reading its input"},
    };
    for (const auto& c : cases) {
        ChildProcess child;
        std::string error;
        ASSERT_TRUE(child.start(c.argv, 1, kQueue, error)) << error;
        const std::vector<char> bytes(1 << 20, 'x');
        for (int i = 0; i < 8 && child.write(0, bytes.data(), bytes.size()); ++i) {
        }
        EXPECT_FALSE(child.finish(error));
        EXPECT_EQ(error.substr(0, std::string(c.message).size()), c.message) << error;
    }
    ChildProcess missing;
    std::string error;
    EXPECT_FALSE(missing.start({"orb-no-such-program"}, 1, kQueue, error));
    EXPECT_EQ(error, "orb-no-such-program is not installed (not found on PATH)");
    EXPECT_FALSE(missing.running());
}

TEST(ChildProcess, RunsInAProcessGroupOfItsOwnSoThatCtrlCReachesOnlyUs)
{
    ChildProcess child;
    std::string error;
    // ps is not everywhere; /proc/self/stat's fifth field is the process group.
    ASSERT_TRUE(child.start({"sh", "-c", "cat >/dev/null; read -r p c s pp g rest </proc/$$/stat; "
                                         "test $g = $$ || echo group $g >&2; test $g = $$"},
                            1, kQueue, error))
        << error;
    EXPECT_TRUE(child.finish(error)) << error;
}

} // namespace
