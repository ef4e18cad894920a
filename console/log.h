#pragma once

#include <cstdint>
#include <cstdio>
#include <set>
#include <string>
#include <string_view>

namespace console {

// "0x1A2B": a number as the console's messages show it.
inline std::string Hex(std::uint64_t value)
{
    char text[24];
    std::snprintf(text, sizeof text, "0x%llx", static_cast<unsigned long long>(value));
    return text;
}

// Where the console model reports what it refused or could not do.
class Log {
public:
    virtual ~Log() = default;
    virtual void message(std::string_view text) = 0;
};

// Drops every message: for a second drawing thread, whose messages its console's side reports, and for
// benchmarks and fuzzers.
class SilentLog final : public Log {
public:
    void message(std::string_view) override {}
};

// Passes each distinct message on once, so a broken stream cannot flood the log.
class OnceLog {
public:
    explicit OnceLog(Log& log) : log_(log) {}

    void message(std::string_view text)
    {
        if (seen_.emplace(text).second) log_.message(text);
    }

private:
    Log& log_;
    std::set<std::string, std::less<>> seen_;
};

} // namespace console
