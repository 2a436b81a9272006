// Keys held by a test instead of a keyboard: installs itself as the key-state source while it
// lives. One at a time.
#pragma once
#include <windows.h>

#include <initializer_list>

#include "input/key_scan.h"

class FakeKeys {
  public:
    FakeKeys() : previous_(SetKeyStateSource(State)) {
        ReleaseAll();
        ReadCount() = 0;
    }
    ~FakeKeys() {
        ReleaseAll();
        SetKeyStateSource(previous_);
    }
    FakeKeys(const FakeKeys&) = delete;
    FakeKeys& operator=(const FakeKeys&) = delete;

    static void Hold(std::initializer_list<int> keys) {
        for (int key : keys) {
            Held()[key & 0xFF] = true;
        }
    }
    // Also drops a release still pending from ReleaseAllSoon.
    static void ReleaseAll() {
        CancelPendingRelease();
        for (bool& held : HeldTable()) {
            held = false;
        }
    }
    // A thread timer (no window) that releases every key when it fires: only a wait that keeps
    // dispatching messages ever sees the keys go up.
    static void ReleaseAllSoon(UINT delayMs) {
        CancelPendingRelease();
        PendingRelease() = SetTimer(nullptr, 0, delayMs, ReleaseTimer);
    }
    // Key states read since this object was made.
    static int Reads() { return ReadCount(); }

  private:
    struct Table {
        bool keys[256];
        bool* begin() { return keys; }
        bool* end() { return keys + 256; }
    };
    static Table& HeldTable() {
        static Table table;
        return table;
    }
    static bool* Held() { return HeldTable().keys; }
    static int& ReadCount() {
        static int count;
        return count;
    }
    static SHORT WINAPI State(int key) {
        ++ReadCount();
        return Held()[key & 0xFF] ? static_cast<SHORT>(0x8000) : 0;
    }
    static UINT_PTR& PendingRelease() {
        static UINT_PTR timer;
        return timer;
    }
    static void CancelPendingRelease() {
        if (PendingRelease() != 0) {
            KillTimer(nullptr, PendingRelease());
            PendingRelease() = 0;
        }
    }
    static VOID CALLBACK ReleaseTimer(HWND, UINT, UINT_PTR, DWORD) { ReleaseAll(); }

    KeyStateSource previous_;
};
