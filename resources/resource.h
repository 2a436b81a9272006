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

// Keyboard page: capture button and key-name label of each action. Entry 2 (Esc by default)
// keeps its pair of ids but has no controls on the page.
#define IDC_KEY_CONFIRM 1055
#define IDC_KEY_CONFIRM_NAME 1080
#define IDC_KEY_CANCEL 1056
#define IDC_KEY_CANCEL_NAME 1082
#define IDC_KEY_ESCAPE 1066
#define IDC_KEY_ESCAPE_NAME 1097
#define IDC_KEY_WALK_RUN 1057
#define IDC_KEY_WALK_RUN_NAME 1084
#define IDC_KEY_TURN_RIGHT 1058
#define IDC_KEY_TURN_RIGHT_NAME 1093
#define IDC_KEY_TURN_LEFT 1059
#define IDC_KEY_TURN_LEFT_NAME 1095
#define IDC_KEY_UP 1061
#define IDC_KEY_UP_NAME 1076
#define IDC_KEY_DOWN 1062
#define IDC_KEY_DOWN_NAME 1089
#define IDC_KEY_LEFT 1063
#define IDC_KEY_LEFT_NAME 1077
#define IDC_KEY_RIGHT 1064
#define IDC_KEY_RIGHT_NAME 1091
#define IDC_KEY_STAR_CUP 1067
#define IDC_KEY_STAR_CUP_NAME 1098
#define IDC_KEY_COOKING 1068
#define IDC_KEY_COOKING_NAME 1100
#define IDC_KEY_STONE_MAP 1069
#define IDC_KEY_STONE_MAP_NAME 1101
#define IDC_KEY_PLACE_NAMES 1065
#define IDC_KEY_PLACE_NAMES_NAME 1088
#define IDC_KEY_ENLARGE_MAP 1070
#define IDC_KEY_ENLARGE_MAP_NAME 1102
#define IDC_KEYBOARD_USE_DI 1060
#define IDC_KEYBOARD_DEFAULTS 1050

// Mouse page
#define IDC_MOUSE_CONFIRM 1019
#define IDC_MOUSE_CONFIRM_NAME 1075
#define IDC_MOUSE_CANCEL 1015
#define IDC_MOUSE_CANCEL_NAME 1079
#define IDC_MOUSE_USE_WHEEL 1044
#define IDC_MOUSE_WHEEL_VIEW 1046
#define IDC_MOUSE_USE_DI 1049
#define IDC_MOUSE_DEFAULTS 1039

// Icons
#define IDI_MAIN 107
#define IDI_TAB_VIDEO 108
#define IDI_TAB_SOUND 109
#define IDI_TAB_INPUT 110

// Bitmaps
#define IDB_LOGO 112
#define IDB_BANNER 113
#define IDB_SPLASH 115
