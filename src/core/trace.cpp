#include "core/trace.h"

#include <cstdarg>
#include <cstdio>

#include "gfx/text_console.h"

void TraceLog(const char* format, ...)
{
    char text[TRACE_BUFFER_SIZE];
    va_list args;
    va_start(args, format);
    const int length = std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    // A format the library cannot render leaves the buffer undefined: draw nothing rather than garbage.
    if (length < 0) text[0] = '\0';
    ConsoleWrite(text);
}
