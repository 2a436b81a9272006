// Records the debug trace lines emitted while it lives.
#pragma once
#include <string>
#include <vector>

#include "common/trace.h"

class TraceRecorder {
  public:
    TraceRecorder() : previous_(SetTraceSink(Record)) { Lines().clear(); }
    ~TraceRecorder() { SetTraceSink(previous_); }
    const std::vector<std::string>& lines() const { return Lines(); }

  private:
    static std::vector<std::string>& Lines() {
        static std::vector<std::string> lines;
        return lines;
    }
    static void Record(const char* line) { Lines().push_back(line); }
    TraceSink previous_;
};
