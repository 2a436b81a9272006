// Program folder, the one-message pump, the debug trace and the splash window.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "common/runtime.h"
#include "app/splash.h"
#include "common/trace.h"
#include "tests/support/fake_keys.h"
#include "tests/support/test_files.h"
#include "tests/trace_recorder.h"

namespace {

TEST(ModuleDirectoryTest, KeepsTheFolderWithItsBackslashAndStaysInside) {
    char buffer[kPathSize + 8] = "D:\\Games\\RPG\\setloom.exe";
    EXPECT_STREQ(TrimToFolder(buffer), "D:\\Games\\RPG\\");
    char bare[kPathSize] = "setloom.exe";
    EXPECT_STREQ(TrimToFolder(bare), "");
    // A cut path without a terminator: nothing past the 260 bytes is touched.
    memset(buffer, 'x', sizeof buffer);
    buffer[2] = '\\';
    TrimToFolder(buffer);
    EXPECT_EQ(strlen(buffer), 3u);
    EXPECT_EQ(buffer[kPathSize], 'x');
    EXPECT_EQ(std::string(ComputeModuleDirectory(nullptr, buffer)), ModuleFolder());
}

bool WaitsForever() {
    return true;
}

TEST(PumpMessagesWhileTest, WaitsPolitelyUntilTheKeysAreUpOrAQuitComes) {
    FakeKeys keys;
    FakeKeys::Hold({'A'});
    FakeKeys::ReleaseAllSoon(50);  // a timer message: it is only seen if the wait dispatches
    DWORD start = GetTickCount();
    EXPECT_TRUE(PumpMessagesWhile(AnyKeyHeld));
    DWORD elapsed = GetTickCount() - start;
    int reads = FakeKeys::reads;
    EXPECT_FALSE(AnyKeyHeld());
    EXPECT_LT(elapsed, 5000u);
    // It slept between looks instead of spinning, which would look hundreds of times per
    // millisecond (a message may end a sleep early), and a look while "A" stays down reads that
    // key alone: one scan that finds it (69 reads, after one look at a key an earlier test
    // left), one read a look, one scan that finds nothing (126 reads).
    EXPECT_GE(reads, 69 + 126);
    EXPECT_LE(reads, static_cast<int>(1 + 69 + 126 + elapsed + 20));

    PostQuitMessage(3);
    EXPECT_FALSE(PumpMessagesWhile(WaitsForever));
    MSG msg;
    EXPECT_EQ(GetMessageW(&msg, nullptr, 0, 0), 0);
    EXPECT_EQ(msg.wParam, 3u);
}

TEST(DebugTraceTest, CutsLongLinesAndSkipsEmptyOnes) {
    TraceRecorder trace;
    std::string longText(300, 'a');
    EXPECT_EQ(DebugTrace("%s", longText.c_str()), 255);
    EXPECT_EQ(DebugTrace("%s", ""), 0);
    EXPECT_EQ(DebugTrace("UpdateDeviceOk %d\n", 3), 17);
    ASSERT_EQ(trace.lines().size(), 2u);
    EXPECT_EQ(trace.lines()[0], std::string(255, 'a'));
    EXPECT_EQ(trace.lines()[1], "UpdateDeviceOk 3\n");
    EXPECT_EQ(SilentTrace("SaveRegistry: Save Config '%s'\n", "x"), 0);
    EXPECT_EQ(trace.lines().size(), 2u);
}

TEST(SplashWindowTest, ShowsTheSplashAndForgetsItWhenClosed) {
    SplashWindow window;
    ASSERT_TRUE(window.Show(GetModuleHandleW(nullptr)));
    ASSERT_NE(window.window, nullptr);
    EXPECT_EQ(window.creationParameter, &window);
    EXPECT_TRUE(IsWindowVisible(window.window));
    // The picture and the starting text are there.
    HWND picture = GetDlgItem(window.window, 1041);
    ASSERT_NE(picture, nullptr);
    EXPECT_NE(SendMessageW(picture, STM_GETIMAGE, IMAGE_BITMAP, 0), 0);
    HWND shown = window.window;
    window.Close();
    EXPECT_EQ(window.window, nullptr);
    EXPECT_FALSE(IsWindow(shown));
    window.Close();  // closing twice is harmless
}

}  // namespace
