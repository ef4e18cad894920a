#pragma once

inline constexpr int TRACE_BUFFER_SIZE = 2048;

// Format a printf-style text, cut to 2047 characters, and draw it at once at the console cursor.
[[gnu::format(printf, 1, 2)]] void TraceLog(const char* format, ...);
