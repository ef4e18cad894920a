#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace testing_support {

// Makes a fresh, empty folder for one test's files. It is named after the running test (and `name`), so
// tests that run side by side never share one.
inline std::filesystem::path FreshDirectory(const std::string& name = "")
{
    const auto* test = testing::UnitTest::GetInstance()->current_test_info();
    std::string folder = "orb-test";
    if (test) folder += std::string("-") + test->test_suite_name() + "-" + test->name();
    if (!name.empty()) folder += "-" + name;
    const auto dir = std::filesystem::temp_directory_path() / folder;
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir;
}

// The whole of a file, as bytes.
inline std::string ReadFile(const std::filesystem::path& path)
{
    std::stringstream bytes;
    bytes << std::ifstream(path, std::ios::binary).rdbuf();
    return bytes.str();
}

} // namespace testing_support
