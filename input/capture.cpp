// The capture the keyboard, mouse and gamepad pages share.
#include "input/capture.h"

#include "common/dialog_items.h"
#include "common/dialog_text.h"
#include "common/runtime.h"
#include "common/trace.h"
#include "input/key_scan.h"

static const UINT_PTR kCaptureTimerId = 1;
static const UINT kCaptureTickMs = 10;

static CaptureTimerStarter timerStarter = SetTimer;

CaptureTimerStarter SetCaptureTimerStarter(CaptureTimerStarter starter) {
    CaptureTimerStarter previous = timerStarter;
    timerStarter = starter != nullptr ? starter : SetTimer;
    return previous;
}

// A hidden page, or one inside a hidden or minimised dialog, takes nothing: GetAsyncKeyState
// would still see every key.
bool InputCapture::CanBeSeen() const {
    HWND window = page.Window();
    return IsWindowVisible(window) && !IsIconic(GetAncestor(window, GA_ROOT));
}

void InputCapture::Start(int action) {
    End();
    HWND window = page.Window();
    if (!CanBeSeen()) {
        return;
    }
    for (int i = 0; i < rules.count; ++i) {
        EnableItem(window, rules.actions[i].button, false);
    }
    captureIndex = action;
    const unsigned started = ++changes;
    SetItemTextGbk(window, rules.actions[action].label, "");
    // What pressed the button (Space, Enter, the click) must be up first, or it would be taken.
    // The waits dispatch messages: a restore, a tab switch or the close may come meanwhile.
    const bool quit = !PumpMessagesWhile(AnyKeyHeld) ||
                      (rules.heldAtStart != nullptr && !PumpMessagesWhile(rules.heldAtStart));
    if (changes != started) {
        return;  // ended meanwhile; the page may be gone
    }
    if (!IsWindow(window)) {
        captureIndex = -1;
        return;
    }
    if (quit || !CanBeSeen()) {
        End();
        return;
    }
    if (rules.dropFocus) {
        SetFocus(nullptr);
    }
    if (timerStarter(window, kCaptureTimerId, kCaptureTickMs, nullptr) == 0) {
        DebugTrace("Capture: SetTimer failed (%lu)\n", GetLastError());
        End();
    }
}

void InputCapture::OnTick() {
    if (captureIndex < 0) {
        return;
    }
    if (!CanBeSeen()) {
        End();
        return;
    }
    const CaptureLook look = rules.look();
    if (look.kind == CaptureLook::kNothing) {
        return;
    }
    const int action = captureIndex;
    if (look.kind == CaptureLook::kTake) {
        for (int j = 0; j < rules.count; ++j) {
            if (j != action && codes[j] == look.code) {
                codes[j] = codes[action];  // the action that held it takes the old one
                break;
            }
        }
        codes[action] = look.code;
    }
    End();
    SetFocus(GetDlgItem(page.Window(), rules.actions[action].button));
    // Nothing is touched after this wait, so a close meanwhile is harmless.
    if (look.held != nullptr) {
        PumpMessagesWhile(look.held);
    }
}

void InputCapture::End() {
    if (captureIndex < 0) {
        return;
    }
    captureIndex = -1;
    ++changes;
    KillTimer(page.Window(), kCaptureTimerId);
    rules.refresh();
}

void InputCapture::OnDestroy() {
    KillTimer(page.Window(), kCaptureTimerId);
    captureIndex = -1;
    ++changes;
}

void InputCapture::ShowCodes(bool enableButtons) const {
    HWND window = page.Window();
    for (int i = 0; i < rules.count; ++i) {
        EnableItem(window, rules.actions[i].button, enableButtons);
        SetItemTextGbk(window, rules.actions[i].label, rules.name(codes[i]));
    }
}

int InputCapture::ActionOf(int id) const {
    for (int i = 0; i < rules.count; ++i) {
        if (rules.actions[i].button == id) {
            return i;
        }
    }
    return -1;
}
