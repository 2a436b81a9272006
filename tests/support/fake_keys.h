// Keys a test holds: the key-state source while the object lives (one object at a time).
#pragma once
#include <cstring>
#include <initializer_list>

#include "input/key_scan.h"

class FakeKeys {
  public:
    FakeKeys() : previous_(SetKeyStateSource(State)) { ReleaseAll(); }
    ~FakeKeys() {
        ReleaseAll();
        SetKeyStateSource(previous_);
    }
    static void Hold(std::initializer_list<int> keys) {
        for (int key : keys) {
            held[key & 0xFF] = true;
        }
    }
    static void ReleaseAll() {
        KillTimer(nullptr, pendingRelease);
        pendingRelease = 0;
        memset(held, 0, sizeof held);
    }
    // From a thread timer: only a wait that dispatches messages sees the keys go up.
    static void ReleaseAllSoon(UINT delayMs) {
        KillTimer(nullptr, pendingRelease);
        pendingRelease = SetTimer(nullptr, 0, delayMs, ReleaseTimer);
    }

  private:
    static SHORT WINAPI State(int key) { return held[key & 0xFF] ? SHORT(0x8000) : 0; }
    static VOID CALLBACK ReleaseTimer(HWND, UINT, UINT_PTR, DWORD) { ReleaseAll(); }

    static inline bool held[256] = {};
    static inline UINT_PTR pendingRelease = 0;
    KeyStateSource previous_;
};
