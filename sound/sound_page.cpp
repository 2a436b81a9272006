// The sound page (103): music and effect volumes and the sound switches.
#include "sound/sound_page.h"

#include "common/dialog_items.h"
#include "resource.h"
#include "settings/settings_record.h"

SoundPage soundPage;

static const int kVolumeMax = 9;

// Puts values into the controls; shared by the start and by "恢复初始状态".
static void ShowSoundValues(HWND dialog, const SoundControlSettings& values) {
    CheckItem(dialog, IDC_BGM_OFF, values.BgmOff != 0);
    SetTrackbarPosition(dialog, IDC_BGM_VOLUME, values.BgmVolume);
    CheckItem(dialog, IDC_SE_OFF, values.SeOff != 0);
    SetTrackbarPosition(dialog, IDC_SE_VOLUME, values.SeVolume);
    CheckItem(dialog, IDC_NO_DIRECTSOUND, values.NotUseDirectSound != 0);
    CheckItem(dialog, IDC_NO_DIRECTSOUND3D, values.NotUseDirectSound3d != 0);
    CheckItem(dialog, IDC_BATTLE_VOICE_OFF, values.BtVoiceOff != 0);
    CheckItem(dialog, IDC_SOFTWARE_BUFFER, values.SoftwareSoundBuffer != 0);
}

void SoundPage::InitControls(HWND dialog) {
    Attach(dialog);
    // A volume above 9 in the file is shown at 9: the trackbar keeps positions in its range.
    InitTrackbar(dialog, IDC_BGM_VOLUME, kVolumeMax, SettingsRecord.BgmVolume);
    InitTrackbar(dialog, IDC_SE_VOLUME, kVolumeMax, SettingsRecord.SeVolume);
    ShowSoundValues(dialog, SettingsRecord);
    UpdateEnabled();
}

void SoundPage::UpdateEnabled() {
    bool enable = !IsItemChecked(window, IDC_NO_DIRECTSOUND);
    static const int dependents[] = {IDC_BGM_VOLUME,      IDC_SE_VOLUME,        IDC_BGM_OFF,
                                     IDC_SE_OFF,          IDC_BATTLE_VOICE_OFF, IDC_SOFTWARE_BUFFER,
                                     IDC_NO_DIRECTSOUND3D};
    for (int id : dependents) {
        EnableItem(window, id, enable);
    }
}

void SoundPage::RestoreDefaults(HWND dialog) {
    ShowSoundValues(dialog, SettingsDefaults);
    UpdateEnabled();
}

// Disabled controls are read like the others: what they show is what is stored.
void SoundPage::Collect() {
    if (!HasWindow()) {
        return;
    }
    SettingsRecord.BgmOff = IsItemChecked(window, IDC_BGM_OFF) ? 1 : 0;
    SettingsRecord.BgmVolume = static_cast<uint8_t>(TrackbarPosition(window, IDC_BGM_VOLUME));
    SettingsRecord.SeOff = IsItemChecked(window, IDC_SE_OFF) ? 1 : 0;
    SettingsRecord.SeVolume = static_cast<uint8_t>(TrackbarPosition(window, IDC_SE_VOLUME));
    SettingsRecord.NotUseDirectSound = IsItemChecked(window, IDC_NO_DIRECTSOUND) ? 1 : 0;
    SettingsRecord.NotUseDirectSound3d = IsItemChecked(window, IDC_NO_DIRECTSOUND3D) ? 1 : 0;
    SettingsRecord.BtVoiceOff = IsItemChecked(window, IDC_BATTLE_VOICE_OFF) ? 1 : 0;
    SettingsRecord.SoftwareSoundBuffer = IsItemChecked(window, IDC_SOFTWARE_BUFFER) ? 1 : 0;
}

INT_PTR CALLBACK SoundPageProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            soundPage.InitControls(dialog);
            return TRUE;
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
                case IDC_SOUND_DEFAULTS:
                    soundPage.RestoreDefaults(dialog);
                    break;
                case IDC_NO_DIRECTSOUND:
                    soundPage.UpdateEnabled();
                    break;
            }
            return FALSE;
    }
    return FALSE;
}
