// One-line helpers over dialog items that every page uses.
#include "common/dialog_items.h"

#include <commctrl.h>

void InitTrackbar(HWND dialog, int id, int maximum, int position) {
    SendDlgItemMessageW(dialog, id, TBM_SETRANGEMAX, FALSE, maximum);
    SendDlgItemMessageW(dialog, id, TBM_SETTICFREQ, 1, 0);
    SetTrackbarPosition(dialog, id, position);
}

void SetTrackbarPosition(HWND dialog, int id, int position) {
    SendDlgItemMessageW(dialog, id, TBM_SETPOS, TRUE, position);
}

int TrackbarPosition(HWND dialog, int id) {
    return static_cast<int>(SendDlgItemMessageW(dialog, id, TBM_GETPOS, 0, 0));
}
