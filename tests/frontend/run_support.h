#pragma once

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace testing_support {

// The built orbdemo program.
inline std::string OrbdemoPath() { return std::string(ORB_BINARY_DIR) + "/orbdemo"; }

// A fresh, empty folder for one test's files.
inline std::filesystem::path FreshDirectory(const std::string& name)
{
    const auto dir = std::filesystem::temp_directory_path() / ("orbdemo-test-" + name);
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir;
}

struct RunResult {
    int status = -1;
    std::string output; // stdout and stderr together
};

// Runs orbdemo with these arguments (already quoted for the shell).
inline RunResult RunOrbdemo(const std::string& arguments, const std::filesystem::path& dir)
{
    const auto log = dir / "output.txt";
    const std::string command = OrbdemoPath() + " " + arguments + " >" + log.string() + " 2>&1";
    RunResult r;
    const int raw = std::system(command.c_str());
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    std::ifstream in(log);
    std::stringstream text;
    text << in.rdbuf();
    r.output = text.str();
    return r;
}

} // namespace testing_support
