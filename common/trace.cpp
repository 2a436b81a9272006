// The debug trace on the debugger output, and the silent second channel.
#include "common/trace.h"

#include <windows.h>
#include <cstdarg>
#include <cstdio>
#include <cstring>

static void SendToDebugger(const char* line) {
    OutputDebugStringA(line);
}

static TraceSink traceSink = SendToDebugger;

TraceSink SetTraceSink(TraceSink sink) {
    TraceSink previous = traceSink;
    traceSink = sink != nullptr ? sink : SendToDebugger;
    return previous;
}

int DebugTrace(const char* format, ...) {
    char buffer[256];
    memset(buffer, 0, sizeof buffer);
    va_list args;
    va_start(args, format);
    vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    int count = static_cast<int>(strlen(buffer));
    if (count != 0) {
        traceSink(buffer);
    }
    return count;
}

int SilentTrace(const char*, ...) {
    return 0;
}
