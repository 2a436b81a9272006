// Keys held by a test instead of a keyboard: the key-state source while the object lives. One at
// a time.
#pragma once
#include <windows.h>

#include <cstring>
#include <initializer_list>

#include "input/key_scan.h"

class FakeKeys {
  public:
    FakeKeys() : previous_(SetKeyStateSource(State)) {
        ReleaseAll();
        reads = 0;
    }
    ~FakeKeys() {
        ReleaseAll();
        SetKeyStateSource(previous_);
    }
    FakeKeys(const FakeKeys&) = delete;
    FakeKeys& operator=(const FakeKeys&) = delete;

    static void Hold(std::initializer_list<int> keys) {
        for (int key : keys) {
            held[key & 0xFF] = true;
        }
    }
    // Also drops a release still pending from ReleaseAllSoon.
    static void ReleaseAll() {
        KillTimer(nullptr, pendingRelease);
        pendingRelease = 0;
        memset(held, 0, sizeof held);
    }
    // Releases every key from a thread timer: only a wait that dispatches messages sees them go up.
    static void ReleaseAllSoon(UINT delayMs) {
        KillTimer(nullptr, pendingRelease);
        pendingRelease = SetTimer(nullptr, 0, delayMs, ReleaseTimer);
    }

    static inline int reads = 0;  // key states read since this object was made

  private:
    static SHORT WINAPI State(int key) {
        ++reads;
        return held[key & 0xFF] ? static_cast<SHORT>(0x8000) : 0;
    }
    static VOID CALLBACK ReleaseTimer(HWND, UINT, UINT_PTR, DWORD) { ReleaseAll(); }

    static inline bool held[256] = {};
    static inline UINT_PTR pendingRelease = 0;
    KeyStateSource previous_;
};
