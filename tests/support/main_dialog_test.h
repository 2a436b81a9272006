// The real main dialog with its pages, created in-process from the linked resources over fakes:
// a Direct3D 8 without adapters and DirectInput without controllers unless a test adds some, and
// keys nobody holds. The settings file is the test's own, beside the test program.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <string>

#include "app/main_dialog.h"
#include "app/tab_sets.h"
#include "common/dialog_font.h"
#include "common/runtime.h"
#include "input/input_devices.h"
#include "resource.h"
#include "tests/support/dialog_driver.h"
#include "tests/support/fake_direct3d.h"
#include "tests/support/fake_direct_input.h"
#include "tests/support/fake_keys.h"
#include "tests/support/test_files.h"

class MainDialogTest : public ::testing::Test {
  protected:
    void SetUp() override {
        instanceHandle = GetModuleHandleW(nullptr);
        ComputeModuleDirectory(nullptr, moduleDirectory);
        _putenv("LOG_ID=tst");
        path_ = ModuleFolder() + "save\\qr6_win3.tst";
        DeviceCaps.BumpSupport = {true, true};
        ResetFakeInput({});
        previousInput_ = SetDirectInputCreator(FakeDirectInput8Create);
    }
    void TearDown() override {
        Close();
        DeleteFileA(path_.c_str());
        _putenv("LOG_ID=");
        SetDirectInputCreator(previousInput_);
        EXPECT_EQ(direct3d_.references, 1) << "Direct3D was not released with the dialog";
        EXPECT_EQ(fakeInput.liveObjects, 0) << "DirectInput was not released with the dialog";
    }
    // Writes the settings file (none for an empty text) and creates the main dialog over it;
    // then, unless atOnce, waits while it makes its other pages, as it does for a player.
    void Open(const std::string& fileText = "", bool atOnce = false) {
        Close();
        DeleteFileA(path_.c_str());
        if (!fileText.empty()) {
            CreateDirectoryA((ModuleFolder() + "save").c_str(), nullptr);
            ASSERT_TRUE(WriteFileText(path_, fileText));
        }
        UseFakeDirect3D use(&direct3d_);
        dialog_ = CreateProgramDialog(instanceHandle, IDD_MAIN, nullptr, MainDialogProc, 0);
        ASSERT_NE(dialog_, nullptr);
        mainDialog = dialog_;
        for (DWORD start = GetTickCount(); !atOnce;) {
            PumpPending();
            if (IsChild(dialog_, inputTabs.Page(2))) {
                break;  // the last page made
            }
            ASSERT_LT(GetTickCount() - start, 10000u) << "the pages were not made";
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
        }
    }
    void Close() {
        if (IsWindow(dialog_)) {
            DestroyWindow(dialog_);
        }
        PumpPending();  // takes the quit the dialog posts when it goes
    }
    // The input tab and its sub-page at index in front, as a player's clicks bring them.
    HWND ShowInputPage(int index) {
        SelectTab(dialog_, IDC_MAIN_TABS, 2);
        SelectTab(mainTabs.Page(2), IDC_INPUT_TABS, index);
        return inputTabs.Page(index);
    }
    void PressOk() {
        ClickButton(dialog_, IDC_OK);
        EXPECT_FALSE(IsWindow(dialog_));
    }
    std::string Stored(const char* section, const char* key) const {
        return IniValue(ReadFileText(path_), section, key);
    }
    // "Key=value Key=value ...": what the settings file holds in that section.
    void ExpectStored(const char* section, const std::string& entries) const {
        ExpectIniValues(ReadFileText(path_), section, entries);
    }

    FakeDirect3D direct3d_;
    FakeKeys keys_;
    HWND dialog_ = nullptr;
    std::string path_;
    DirectInputCreator previousInput_ = nullptr;
};
