#pragma once
// Resource, control, command and string ids. Their names are the keys of the
// language files.

// Dialogs, menus, icons.
constexpr int IDD_ABOUTBOX = 100;
constexpr int IDD_REELCAST_DIALOG = 102;
constexpr int IDR_MAINFRAME = 128;
constexpr int IDD_DIALOG_OUTPUT_OPTIONS = 129;
constexpr int IDR_MENU_POPUP = 131;
constexpr int IDD_DIALOG_FILTER_PROPERTY = 133;

// Strings.
constexpr int IDS_ABOUTBOX = 101;
constexpr int IDS_LANGUAGE_IN_ENGLISH = 102;
constexpr int IDS_MESSAGE_ERROR = 105;
constexpr int IDS_MESSAGE_WARNING = 108;
constexpr int IDS_MESSAGE_BROWSE_CAPTION = 110;
constexpr int IDS_MESSAGE_ORIGINAL_SIZE = 111;
constexpr int IDS_MESSAGE_CUSTOM_SIZE = 112;
constexpr int IDS_MESSAGE_ORIGINAL_FRAME_SIZE = 113;
constexpr int IDS_MESSAGE_CUSTOM_FRAME_SIZE = 114;
constexpr int IDS_MESSAGE_OUTPUT_FILE = 115;
constexpr int IDS_MESSAGE_RESOLUTION = 116;
constexpr int IDS_MESSAGE_PRESERVE_ASPECT_RATIO = 117;
constexpr int IDS_MESSAGE_RESIZE_STRETCH = 118;
constexpr int IDS_MESSAGE_OPEN_FILE = 119;
constexpr int IDS_MESSAGE_OPTIONS = 120;
constexpr int IDS_MESSAGE_CONVERT = 121;
constexpr int IDS_MESSAGE_NOT_OPEN_FILE = 122;
constexpr int IDS_MESSAGE_NO_DURATION = 123;
constexpr int IDC_BUTTON_STOP = 124;          // string, and dialog text id
constexpr int IDC_BUTTON_CONVERT_TEXT = 125;  // "IDC_BUTTON_CONVERT" as the idle button text
constexpr int IDS_MESSAGE_RESTART_PROGRAM = 126;
constexpr int IDS_MESSAGE_FILE_EXIST = 131;
constexpr int IDS_MESSAGE_STOP_CONVERT = 143;
constexpr int IDS_MESSAGE_CONVERSION_DONE = 163;
// Texts added for the desktop: the progress bar and the notifications.
constexpr int IDS_MESSAGE_TIME_LEFT = 200;
constexpr int IDS_MESSAGE_PROGRESS = 201;
constexpr int IDS_MESSAGE_NOTIFY_DONE = 202;
constexpr int IDS_MESSAGE_NOTIFY_FAILED = 203;

// Main window controls (dialog 102).
constexpr int IDC_BUTTON_ADD_VIDEO = 1000;
constexpr int IDC_STATIC_DURATION = 1001;
constexpr int IDC_BUTTON_CONVERT = 1002;
constexpr int IDC_BUTTON_BUILD_FILTERS = 1003;
constexpr int IDC_STATIC_SUMMARY = 1004;
constexpr int IDC_BUTTON_OUTPUT_SETTINGS = 1006;
constexpr int IDC_BUTTON_EXIT = 1022;
constexpr int IDC_BUTTON_HOMEPAGE = 1026;
constexpr int IDC_BUTTON_ABOUT = 1027;
constexpr int IDC_BUTTON_HELP = 1043;
constexpr int IDC_PROGRESS_CONVERSION = 1060;

// About box controls (dialog 100).
constexpr int IDC_STATIC_VERSION = 1044;
constexpr int IDC_STATIC_PRODUCT_CAPTION = 1045;

// Output options controls (dialog 129).
constexpr int IDC_COMBO_VIDEO_COMPRESSOR = 1007;
constexpr int IDC_COMBO_AUDIO_COMPRESSOR = 1008;
constexpr int IDC_EDIT_OUTPUT_FILE = 1009;
constexpr int IDC_COMBO_RESOLUTION = 1010;
constexpr int IDC_STATIC_RESOLUTION = 1011;
constexpr int IDC_EDIT_WIDTH = 1012;
constexpr int IDC_EDIT_HEIGHT = 1013;
constexpr int IDC_BUTTON_OUTPUT_DEAULT = 1014;
constexpr int IDC_COMBO_VIDEO_CODECS = 1015;
constexpr int IDC_BUTTON_VIDEO_CODEC_SETTINGS = 1016;
constexpr int IDC_COMBO_FRAME_RATE = 1017;
constexpr int IDC_EDIT_FRAME_RATE = 1018;
constexpr int IDC_COMBO_RESIZE_MODE = 1019;
constexpr int IDC_STATIC_OUTPUT_FILE = 1020;
constexpr int IDC_BUTTON_BROWSE = 1021;
constexpr int IDC_STATIC_FRAME_RATE = 1036;
constexpr int IDC_STATIC_RESIZE_MODE = 1037;
constexpr int IDC_STATIC_VIDEO_COMPRESSOR = 1038;
constexpr int IDC_STATIC_AUDIO_COMPRESSOR = 1039;
constexpr int IDC_STATIC_OPTIONS_NOTE = 1040;
constexpr int IDC_BUTTON_OPTIONS_OK = 1041;
constexpr int IDC_BUTTON_OPTIONS_CANCEL = 1042;
constexpr int IDC_COMBO_OUTPUT_FORMAT = 1046;
constexpr int IDC_STATIC_VIDEO_COMPRESSOR_BITRATE = 1047;
constexpr int IDC_STATIC_AUDIO_COMPRESSOR_BITRATE = 1048;
constexpr int IDC_EDIT_VIDEO_BITRATE = 1049;
constexpr int IDC_COMBO_AUDIO_BITRATE = 1050;
constexpr int IDC_STATIC_VIDEO_KBPS = 1051;
constexpr int IDC_STATIC_AUDIO_KBPS = 1052;
constexpr int IDC_STATIC_OUTPUT_FORMAT = 1056;

// Filter properties controls (dialog 133).
constexpr int IDC_LIST_FILTERS = 1054;
constexpr int IDC_BUTTON_FILTER_SETTINGS = 1055;

// Commands.
constexpr unsigned IDM_ABOUTBOX = 0x0010;
constexpr unsigned IDM_ABOUT = 32771;
constexpr unsigned IDM_POPUPMENU_FONT = 32772;
constexpr unsigned IDM_SELECT_LANGUAGE = 131u * 65536u;  // the Language submenu's text id
