// Key and mouse-button scans over the key-state source.
#include "input/key_scan.h"

static KeyStateSource keyStateSource = GetAsyncKeyState;

KeyStateSource SetKeyStateSource(KeyStateSource source) {
    KeyStateSource previous = keyStateSource;
    keyStateSource = source != nullptr ? source : GetAsyncKeyState;
    return previous;
}

bool IsKeyHeld(int virtualKey) {
    return (static_cast<unsigned short>(keyStateSource(virtualKey)) & 0x8000u) != 0;
}

// The ranges in the order they are tried. Kanji (25) is left out of the last one.
struct ScanRange {
    int first;
    int last;
};
static const ScanRange kScanOrder[] = {{186, 192}, {219, 222}, {226, 226}, {8, 134}};
static const int kSkippedKey = 25;

uint8_t ScanKeys() {
    for (const ScanRange& range : kScanOrder) {
        for (int code = range.first; code <= range.last; ++code) {
            if (code != kSkippedKey && IsKeyHeld(code)) {
                return static_cast<uint8_t>(code);
            }
        }
    }
    return 0;
}

uint8_t ScanMouseButtons() {
    static const int kButtons[] = {VK_LBUTTON, VK_RBUTTON, VK_MBUTTON};
    for (int button : kButtons) {
        if (IsKeyHeld(button)) {
            return static_cast<uint8_t>(button);
        }
    }
    return 0;
}

// A wait for release asks this every pass: while the key found last stays down it alone is
// read, and only once it is up does a full scan (up to 126 reads, each a trip to the wine
// server under Wine) tell whether another is still held. Same answer as ScanKeys() != 0.
bool AnyKeyHeld() {
    static int lastHeld = 0;
    if (lastHeld != 0 && IsKeyHeld(lastHeld)) {
        return true;
    }
    lastHeld = ScanKeys();
    return lastHeld != 0;
}

bool AnyMouseButtonHeld() {
    return ScanMouseButtons() != 0;
}
