// Resource identifiers: dialogs, controls, icons and bitmaps, grouped by dialog.
#pragma once

// Main dialog
#define IDD_MAIN 106
#define IDC_START_GAME 1014
#define IDC_MAIN_TABS 1037
#define IDC_OK 1103
#define IDC_CANCEL 1104
#define IDC_SAVE_FOLDER 1105

// Splash window
#define IDD_SPLASH 114
#define IDC_SPLASH_PICTURE 1041

// Pages under the main tab control
#define IDD_VIDEO_PAGE 101
#define IDD_SOUND_PAGE 103
#define IDD_INPUT_PAGE 105

// Pages under the input page's tab control
#define IDD_KEYBOARD_PAGE 116
#define IDD_GAMEPAD_PAGE 117
#define IDD_MOUSE_PAGE 118

// Input page
#define IDC_CAMERA_45 1053
#define IDC_CAMERA_FREE 1054
#define IDC_MOVE_WALK 1045
#define IDC_MOVE_RUN 1047
#define IDC_INPUT_TABS 1048
#define IDC_HIDDEN_SHOW 1051
#define IDC_HIDDEN_HIDE 1052

// Sound page
#define IDC_BGM_VOLUME 1017
#define IDC_SE_VOLUME 1021
#define IDC_BGM_OFF 1026
#define IDC_SE_OFF 1028
#define IDC_SOUND_DEFAULTS 1030
#define IDC_NO_DIRECTSOUND 1034
#define IDC_BATTLE_VOICE_OFF 1035
#define IDC_SOFTWARE_BUFFER 1036
#define IDC_NO_DIRECTSOUND3D 1037

// Gamepad page: the ten capture buttons and their labels, in action order, then the others
#define IDC_PAD_CONFIRM 1022
#define IDC_PAD_CANCEL 1023
#define IDC_PAD_WALK_RUN 1029
#define IDC_PAD_TURN_RIGHT 1031
#define IDC_PAD_TURN_LEFT 1035
#define IDC_PAD_STAR_CUP 1038
#define IDC_PAD_COOKING 1040
#define IDC_PAD_STONE_MAP 1042
#define IDC_PAD_PLACE_NAMES 1036
#define IDC_PAD_MAP_ZOOM 1043
#define IDC_PAD_CONFIRM_LABEL 1078
#define IDC_PAD_CANCEL_LABEL 1081
#define IDC_PAD_WALK_RUN_LABEL 1083
#define IDC_PAD_TURN_RIGHT_LABEL 1085
#define IDC_PAD_TURN_LEFT_LABEL 1087
#define IDC_PAD_STAR_CUP_LABEL 1092
#define IDC_PAD_COOKING_LABEL 1094
#define IDC_PAD_STONE_MAP_LABEL 1096
#define IDC_PAD_PLACE_NAMES_LABEL 1090
#define IDC_PAD_MAP_ZOOM_LABEL 1099
#define IDC_PAD_DEFAULTS 1071
#define IDC_PAD_DEVICES 1072
#define IDC_PAD_UPDATE 1073
#define IDC_PAD_USE_DI 1074
#define IDC_PAD_ANALOG 1075
#define IDC_PAD_SENSITIVITY 1106
#define IDC_PAD_SENSITIVITY_VALUE 1109
#define IDC_PAD_SENSITIVITY_GROUP 1110

// Icons
#define IDI_MAIN 107
#define IDI_TAB_VIDEO 108
#define IDI_TAB_SOUND 109
#define IDI_TAB_INPUT 110

// Bitmaps
#define IDB_LOGO 112
#define IDB_BANNER 113
#define IDB_SPLASH 115
