#pragma once

#include <sys/wait.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "frontend/png_file.h"
#include "tests/support/temp_files.h"

namespace testing_support {

struct RunResult {
    int status = -1;
    std::string output; // stdout and stderr together
};

// Runs a built program (orbdemo by default) with these arguments (already quoted for the shell), its output
// kept in `dir`.
inline RunResult RunOrbdemo(const std::string& arguments, const std::filesystem::path& dir,
                            const std::string& program = "orbdemo")
{
    const auto log = dir / "output.txt";
    const std::string command =
        std::string(ORB_BINARY_DIR) + "/" + program + " " + arguments + " >" + log.string() + " 2>&1";
    const int raw = std::system(command.c_str());
    std::stringstream text;
    text << std::ifstream(log).rdbuf();
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, text.str()};
}

// Returns the pixels of field `k` written into `dir`.
inline std::vector<std::uint32_t> Field(const std::filesystem::path& dir, int k)
{
    char name[32];
    std::snprintf(name, sizeof name, "field-%05d.png", k);
    console::Picture p;
    std::string error;
    EXPECT_TRUE(frontend::ReadPng((dir / name).string(), p, error)) << error;
    EXPECT_EQ(p.width * p.height, 640u * 256) << name;
    return p.pixels;
}

} // namespace testing_support
