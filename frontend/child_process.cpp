#include "frontend/child_process.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

extern char** environ;

namespace frontend {
namespace {

// Descriptors handed to the child sit above the ones it is given (0 to 2 + pipes), so no dup2 overwrites
// another source.
constexpr int kFirstSpareFd = 64;
// Room for a whole field of pictures, so that a field passes in one write.
constexpr int kPipeBytes = 1 << 20;

int MoveUp(int fd)
{
    const int moved = fcntl(fd, F_DUPFD_CLOEXEC, kFirstSpareFd);
    close(fd);
    return moved;
}

void CloseFd(int& fd)
{
    if (fd >= 0) close(fd);
    fd = -1;
}

std::string ReadAll(int fd)
{
    std::string text;
    char buffer[4096];
    for (off_t at = 0;;) {
        const ssize_t n = pread(fd, buffer, sizeof buffer, at);
        if (n <= 0) break;
        text.append(buffer, static_cast<std::size_t>(n));
        at += n;
    }
    return text;
}

} // namespace

ChildProcess::~ChildProcess()
{
    std::string ignored;
    finish(ignored);
}

bool ChildProcess::start(const std::vector<std::string>& argv, int pipes, std::size_t maxQueued, std::string& error)
{
    name_ = argv.at(0);
    std::vector<int> childEnds;
    auto fail = [&](const std::string& why) {
        error = why;
        for (int& fd : childEnds) CloseFd(fd);
        closePipes();
        CloseFd(messages_);
        return false;
    };
    messages_ = memfd_create("child-stderr", MFD_CLOEXEC);
    if (messages_ < 0 || (messages_ = MoveUp(messages_)) < 0)
        return fail("cannot keep " + name_ + "'s messages: " + std::strerror(errno));
    for (int i = 0; i < pipes; ++i) {
        int ends[2];
        if (pipe2(ends, O_CLOEXEC) != 0) return fail("cannot make a pipe: " + std::string(std::strerror(errno)));
        fcntl(ends[1], F_SETPIPE_SZ, kPipeBytes); // only a hint; a smaller pipe still works
        childEnds.push_back(MoveUp(ends[0]));
        pipes_.push_back(std::make_unique<PipeWriter>(ends[1], maxQueued));
        if (childEnds.back() < 0) return fail("cannot make a pipe: " + std::string(std::strerror(errno)));
    }

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    for (int i = 0; i < pipes; ++i) posix_spawn_file_actions_adddup2(&actions, childEnds[i], i == 0 ? 0 : 2 + i);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, messages_, 2);

    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none, defaults;
    sigemptyset(&none);
    sigemptyset(&defaults);
    for (const int s : {SIGPIPE, SIGINT, SIGTERM, SIGHUP, SIGQUIT}) sigaddset(&defaults, s);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    posix_spawnattr_setpgroup(&attributes, 0);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &defaults);

    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    const int failed = posix_spawnp(&pid_, args[0], &actions, &attributes, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    if (failed != 0) {
        pid_ = -1;
        return fail(failed == ENOENT ? name_ + " is not installed (not found on PATH)"
                                     : "cannot run " + name_ + ": " + std::strerror(failed));
    }
    for (int& fd : childEnds) CloseFd(fd);
    return true;
}

bool ChildProcess::write(int index, const void* bytes, std::size_t size)
{
    return index >= 0 && static_cast<std::size_t>(index) < pipes_.size() && pipes_[index]->write(bytes, size);
}

bool ChildProcess::finish(std::string& error)
{
    const bool taken = closePipes();
    if (pid_ <= 0) {
        CloseFd(messages_);
        return true;
    }
    int status = 0;
    while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
    }
    pid_ = -1;
    const std::vector<std::string> said = messages_ >= 0 ? LastLines(ReadAll(messages_), 4) : std::vector<std::string>();
    CloseFd(messages_);
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0) {
        if (taken) return true;
        error = name_ + " stopped reading its input";
        return false;
    }
    if (WIFSIGNALED(status))
        error = name_ + " was ended by signal " + std::to_string(WTERMSIG(status)) + " (" +
                strsignal(WTERMSIG(status)) + ")";
    else
        error = name_ + " stopped with exit status " + std::to_string(WEXITSTATUS(status));
    if (said.empty()) error += " and said nothing";
    else error += ":";
    for (const std::string& line : said) error += "\n    " + line;
    return false;
}

bool ChildProcess::closePipes()
{
    // All end at once: the child may wait for the end of one before it takes the rest of another.
    for (auto& pipe : pipes_) pipe->end();
    bool taken = true;
    for (auto& pipe : pipes_) taken = pipe->close() && taken;
    pipes_.clear();
    return taken;
}

std::vector<std::string> LastLines(const std::string& text, std::size_t count)
{
    std::vector<std::string> lines;
    for (std::size_t at = 0; at < text.size();) {
        std::size_t end = text.find('\n', at);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(at, end - at);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty()) lines.push_back(std::move(line));
        at = end + 1;
    }
    if (lines.size() > count) lines.erase(lines.begin(), lines.end() - static_cast<std::ptrdiff_t>(count));
    return lines;
}

} // namespace frontend
