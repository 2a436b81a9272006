// The keyboard and mouse pages inside the real main dialog: captures driven by fake keys tick by
// tick, and what "OK" stores. (Real input reaches both pages in the end-to-end run.)
#include <vector>

#include "app/tab_sets.h"
#include "input/keyboard_page.h"
#include "input/mouse_page.h"
#include "tests/support/main_dialog_test.h"

namespace {

class InputPagesTest : public MainDialogTest {
  protected:
    void OpenInput(const std::string& control = "") {
        Open(control.empty() ? "" : "[Control]\r\n" + control);
        keyboard_ = inputTabs.Page(0);
        mouse_ = inputTabs.Page(1);
        ASSERT_TRUE(keyboard_ != nullptr && mouse_ != nullptr);
    }
    HWND keyboard_ = nullptr;
    HWND mouse_ = nullptr;
};

// Starts a capture of the action behind button, presses the keys and ticks once.
void Capture(HWND page, int button, std::initializer_list<int> pressed) {
    ClickButton(page, button);
    FakeKeys::Hold(pressed);
    FakeKeys::ReleaseAllSoon(20);  // up again while the page waits for it
    Tick(page);
}

std::vector<int> KeyboardKeys() {
    return std::vector<int>(keyboardPage.Keys(), keyboardPage.Keys() + kKeyboardSlots);
}

const int kCaptureButtons[] = {
    IDC_KEY_UP,         IDC_KEY_LEFT,        IDC_KEY_CONFIRM, IDC_KEY_TURN_LEFT,  IDC_KEY_WALK_RUN,
    IDC_KEY_STAR_CUP,   IDC_KEY_STONE_MAP,   IDC_KEY_DOWN,    IDC_KEY_RIGHT,      IDC_KEY_CANCEL,
    IDC_KEY_TURN_RIGHT, IDC_KEY_PLACE_NAMES, IDC_KEY_COOKING, IDC_KEY_ENLARGE_MAP};

TEST_F(InputPagesTest, ACaptureTakesTheNextKeyAndSwapsWithTheActionThatHeldIt) {
    OpenInput();
    ClickButton(keyboard_, IDC_KEY_CONFIRM);
    // Capturing: every capture button disabled, the label empty, no focus anywhere.
    EXPECT_EQ(keyboardPage.CaptureIndex(), 0);
    for (int id : kCaptureButtons) {
        EXPECT_FALSE(IsEnabled(keyboard_, id)) << id;
    }
    EXPECT_EQ(ItemText(keyboard_, IDC_KEY_CONFIRM_NAME), "");
    EXPECT_EQ(GetFocus(), nullptr);
    Tick(keyboard_);  // nothing held: the capture goes on
    EXPECT_EQ(keyboardPage.CaptureIndex(), 0);

    FakeKeys::Hold({'A'});  // held by "走/跑"
    FakeKeys::ReleaseAllSoon(20);
    Tick(keyboard_);
    EXPECT_EQ(keyboardPage.CaptureIndex(), -1);
    EXPECT_EQ(ItemText(keyboard_, IDC_KEY_CONFIRM_NAME), "A");
    EXPECT_EQ(ItemText(keyboard_, IDC_KEY_WALK_RUN_NAME), "Space");
    EXPECT_EQ(GetFocus(), GetDlgItem(keyboard_, IDC_KEY_CONFIRM));
    for (int id : kCaptureButtons) {
        EXPECT_TRUE(IsEnabled(keyboard_, id)) << id;
    }
    Tick(keyboard_);  // a late tick after the end changes nothing
    PressOk();
    EXPECT_EQ(Stored("Control", "Keyboard"), "41111b20585a2628252742434d1056");
}

// What one tick takes for "决定/会话" (Space) when keys are down. The scan order itself is the
// key scan's test; here, what the page does with its answer.
TEST_F(InputPagesTest, ATickTakesTheFirstKeyButReservedKeysEndTheCaptureWithoutAChange) {
    OpenInput();
    const std::vector<int> defaults = KeyboardKeys();
    const struct {
        std::initializer_list<int> held;
        int stored;
    } cases[] = {
        {{VK_ESCAPE}, VK_SPACE},
        {{VK_NUMPAD0}, VK_SPACE},
        {{VK_RETURN}, VK_SPACE},
        {{'1'}, VK_SPACE},
        {{'2'}, VK_SPACE},
        {{'3'}, VK_SPACE},
        {{'4'}, VK_SPACE},
        {{'5'}, '5'},                       // other digits are ordinary keys
        {{VK_SPACE}, VK_SPACE},             // the action's own key: nothing changes
        {{'A', VK_SPACE, 192}, 192},        // "@" before Space before "A"
        {{VK_LSHIFT, VK_SHIFT}, VK_SHIFT},  // a modifier alone, stored generic
    };
    for (const auto& c : cases) {
        keyboardPage.RestoreDefaults();
        Capture(keyboard_, IDC_KEY_CONFIRM, c.held);
        EXPECT_EQ(keyboardPage.CaptureIndex(), -1) << *c.held.begin();
        EXPECT_TRUE(IsEnabled(keyboard_, IDC_KEY_CONFIRM));
        EXPECT_EQ(keyboardPage.Keys()[0], c.stored) << *c.held.begin();
        if (c.stored == VK_SPACE) {
            EXPECT_EQ(KeyboardKeys(), defaults) << *c.held.begin();
            EXPECT_EQ(ItemText(keyboard_, IDC_KEY_CONFIRM_NAME), "Space") << *c.held.begin();
        }
    }
    EXPECT_EQ(keyboardPage.Keys()[13], VK_SPACE);  // "地名显示" gave up Shift for Space
}

TEST_F(InputPagesTest, AKeyHeldWhenTheCaptureStartsIsNotTaken) {
    OpenInput();
    FakeKeys::Hold({VK_RETURN, 'Q'});
    FakeKeys::ReleaseAllSoon(50);  // released while the button's handler waits
    ClickButton(keyboard_, IDC_KEY_CANCEL);
    EXPECT_FALSE(AnyKeyHeld());
    Tick(keyboard_);
    EXPECT_EQ(keyboardPage.CaptureIndex(), 1);
    EXPECT_EQ(ItemText(keyboard_, IDC_KEY_CANCEL_NAME), "");
    FakeKeys::Hold({'W'});
    FakeKeys::ReleaseAllSoon(20);
    Tick(keyboard_);
    EXPECT_EQ(ItemText(keyboard_, IDC_KEY_CANCEL_NAME), "W");
}

TEST_F(InputPagesTest, EntryTwoHasNoControlsButTakesPartInSwapsAndIsStored) {
    // Entry 2 holds "K" here; Ctrl and "A" are ordinary.
    OpenInput("Keyboard=20114b41585a2628252742434d1056\r\nKeyboardUseDI=0\r\n");
    EXPECT_EQ(GetDlgItem(keyboard_, IDC_KEY_ESCAPE), nullptr);
    EXPECT_EQ(GetDlgItem(keyboard_, IDC_KEY_ESCAPE_NAME), nullptr);
    EXPECT_FALSE(IsChecked(keyboard_, IDC_KEYBOARD_USE_DI));
    Capture(keyboard_, IDC_KEY_CANCEL, {'Z'});  // swaps with "视角左旋转" only
    EXPECT_EQ(keyboardPage.Keys()[2], 'K');
    Capture(keyboard_, IDC_KEY_WALK_RUN, {'K'});
    EXPECT_EQ(keyboardPage.Keys()[2], 'A');
    EXPECT_EQ(ItemText(keyboard_, IDC_KEY_WALK_RUN_NAME), "K");
    PressOk();
    ExpectStored("Control", "Keyboard=205a414b58112628252742434d1056 KeyboardUseDI=0");
}

TEST_F(InputPagesTest, RestoreDefaultsShowsTheDefaultKeys) {
    // 0xe6 has no name: shown empty, stored back unchanged until restored.
    OpenInput("Keyboard=e6e6e6e6e6e6e6e6e6e6e6e6e6e6e6\r\nKeyboardUseDI=0\r\n");
    EXPECT_EQ(ItemText(keyboard_, IDC_KEY_CONFIRM_NAME), "");
    ClickButton(keyboard_, IDC_KEYBOARD_DEFAULTS);
    const std::pair<int, const char*> labels[] = {
        {IDC_KEY_CONFIRM_NAME, "Space"},     {IDC_KEY_CANCEL_NAME, "Ctrl"},
        {IDC_KEY_WALK_RUN_NAME, "A"},        {IDC_KEY_TURN_RIGHT_NAME, "X"},
        {IDC_KEY_TURN_LEFT_NAME, "Z"},       {IDC_KEY_UP_NAME, "Up"},
        {IDC_KEY_DOWN_NAME, "Down"},         {IDC_KEY_LEFT_NAME, "Left"},
        {IDC_KEY_RIGHT_NAME, "Right"},       {IDC_KEY_STAR_CUP_NAME, "B"},
        {IDC_KEY_COOKING_NAME, "C"},         {IDC_KEY_STONE_MAP_NAME, "M"},
        {IDC_KEY_PLACE_NAMES_NAME, "Shift"}, {IDC_KEY_ENLARGE_MAP_NAME, "V"}};
    for (const auto& [id, name] : labels) {
        EXPECT_EQ(ItemText(keyboard_, id), name) << id;
    }
    EXPECT_TRUE(IsChecked(keyboard_, IDC_KEYBOARD_USE_DI));
    PressOk();
    EXPECT_EQ(Stored("Control", "Keyboard"), "20111b41585a2628252742434d1056");
}

TEST_F(InputPagesTest, MouseCaptureTakesTheFirstButtonAndSwaps) {
    OpenInput();
    EXPECT_EQ(ItemText(mouse_, IDC_MOUSE_CONFIRM_NAME), "L-Button");
    ClickButton(mouse_, IDC_MOUSE_CANCEL);
    EXPECT_FALSE(IsEnabled(mouse_, IDC_MOUSE_CONFIRM) || IsEnabled(mouse_, IDC_MOUSE_CANCEL));
    EXPECT_EQ(ItemText(mouse_, IDC_MOUSE_CANCEL_NAME), "");
    FakeKeys::Hold({VK_RBUTTON, VK_LBUTTON});  // together: the left one
    FakeKeys::ReleaseAllSoon(20);
    Tick(mouse_);
    EXPECT_EQ(mousePage.CaptureIndex(), -1);
    EXPECT_EQ(ItemText(mouse_, IDC_MOUSE_CANCEL_NAME), "L-Button");
    EXPECT_EQ(ItemText(mouse_, IDC_MOUSE_CONFIRM_NAME), "R-Button");
    EXPECT_TRUE(IsEnabled(mouse_, IDC_MOUSE_CONFIRM));
    EXPECT_EQ(GetFocus(), GetDlgItem(mouse_, IDC_MOUSE_CANCEL));

    Capture(mouse_, IDC_MOUSE_CONFIRM, {VK_MBUTTON});
    EXPECT_EQ(ItemText(mouse_, IDC_MOUSE_CONFIRM_NAME), "M-Button");
    Capture(mouse_, IDC_MOUSE_CANCEL, {VK_LBUTTON});  // its own button
    EXPECT_EQ(mousePage.Buttons()[0], VK_MBUTTON);
    EXPECT_EQ(mousePage.Buttons()[1], VK_LBUTTON);

    SetCheck(mouse_, IDC_MOUSE_USE_WHEEL, false);
    SetCheck(mouse_, IDC_MOUSE_WHEEL_VIEW, true);
    ClickButton(mouse_, IDC_MOUSE_DEFAULTS);
    EXPECT_TRUE(IsChecked(mouse_, IDC_MOUSE_USE_WHEEL));
    EXPECT_TRUE(IsEnabled(mouse_, IDC_MOUSE_WHEEL_VIEW));
    EXPECT_FALSE(IsChecked(mouse_, IDC_MOUSE_WHEEL_VIEW));
    EXPECT_EQ(ItemText(mouse_, IDC_MOUSE_CONFIRM_NAME), "L-Button");
    PressOk();
    EXPECT_EQ(Stored("Control", "Mouse"), "0102");
}

TEST_F(InputPagesTest, AKeyCancelsAMouseCaptureAndTheStartingClickIsNotTaken) {
    OpenInput();
    FakeKeys::Hold({VK_LBUTTON});  // the click on the capture button, still down
    FakeKeys::ReleaseAllSoon(50);
    ClickButton(mouse_, IDC_MOUSE_CONFIRM);
    Tick(mouse_);
    EXPECT_EQ(mousePage.CaptureIndex(), 0);
    EXPECT_EQ(ItemText(mouse_, IDC_MOUSE_CONFIRM_NAME), "");

    FakeKeys::Hold({'A', VK_RBUTTON});  // a key wins over a button
    FakeKeys::ReleaseAllSoon(20);
    Tick(mouse_);
    EXPECT_EQ(mousePage.CaptureIndex(), -1);
    EXPECT_EQ(ItemText(mouse_, IDC_MOUSE_CONFIRM_NAME), "L-Button");
    EXPECT_EQ(mousePage.Buttons()[0], VK_LBUTTON);
    EXPECT_EQ(mousePage.Buttons()[1], VK_RBUTTON);
}

TEST_F(InputPagesTest, MouseSwitchesAndCodesWithoutANameAreKeptAsLoaded) {
    OpenInput("UseWheel=1\r\nWheelReverse=1\r\nMouseUseDI=0\r\nMouse=05e6\r\n");
    EXPECT_EQ(ItemText(mouse_, IDC_MOUSE_CONFIRM_NAME), "");  // 5 and 230 have no name
    EXPECT_EQ(ItemText(mouse_, IDC_MOUSE_CANCEL_NAME), "");
    EXPECT_TRUE(IsEnabled(mouse_, IDC_MOUSE_WHEEL_VIEW));
    EXPECT_FALSE(IsChecked(mouse_, IDC_MOUSE_USE_DI));
    SetCheck(mouse_, IDC_MOUSE_USE_WHEEL, false);
    EXPECT_FALSE(IsEnabled(mouse_, IDC_MOUSE_WHEEL_VIEW));
    EXPECT_TRUE(IsChecked(mouse_, IDC_MOUSE_WHEEL_VIEW));
    PressOk();
    ExpectStored("Control", "Mouse=05e6 UseWheel=0 WheelReverse=1 MouseUseDI=0");
}

// The main dialog closes while a page waits for a release: the wait ends, nothing touches the
// dead windows, and the quit still reaches the main loop.
TEST_F(InputPagesTest, ClosingDuringAWaitEndsItCleanly) {
    for (bool mouse : {false, true}) {
        for (bool waitAtStart : {true, false}) {  // else the wait after a capture
            OpenInput();
            HWND page = mouse ? mouse_ : keyboard_;
            int button = mouse ? IDC_MOUSE_CONFIRM : IDC_KEY_CONFIRM;
            if (!waitAtStart) {
                ClickButton(page, button);
            }
            FakeKeys::Hold({!waitAtStart && mouse ? VK_MBUTTON : 'Q'});
            PostMessageW(dialog_, WM_COMMAND, IDC_CANCEL, 0);
            if (waitAtStart) {
                ClickButton(page, button);
            } else {
                Tick(page);
            }
            EXPECT_FALSE(IsWindow(dialog_));
            EXPECT_EQ(keyboardPage.CaptureIndex(), -1);
            EXPECT_EQ(mousePage.CaptureIndex(), -1);
            MSG msg;
            ASSERT_EQ(GetMessageW(&msg, nullptr, 0, 0), 0) << "the quit was lost";
            EXPECT_EQ(msg.wParam, 0u);
            FakeKeys::ReleaseAll();
        }
    }
}

}  // namespace
