// Records the debug trace lines emitted while it lives.
#pragma once
#include <string>
#include <vector>

#include "common/trace.h"

class TraceRecorder {
  public:
    TraceRecorder() : previous_(SetTraceSink(Record)) { recorded.clear(); }
    ~TraceRecorder() { SetTraceSink(previous_); }
    const std::vector<std::string>& lines() const { return recorded; }

  private:
    static void Record(const char* line) { recorded.push_back(line); }
    static inline std::vector<std::string> recorded;
    TraceSink previous_;
};
