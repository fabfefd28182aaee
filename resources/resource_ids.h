// Resource and control ids shared by the resource script and the code. Plain defines: the
// resource compiler reads this file too.
#pragma once

#define IDD_HEX_PAGE 129
#define IDI_HEADER_ICON 147
#define IDI_SEVERAL_ITEMS 151

// Controls of the page, in template order.
#define IDC_HEADER_ICON 1118
#define IDC_NAME_LABEL 1119
#define IDC_NAME_TEXT 1121
#define IDC_LOCATION_LABEL 1120
#define IDC_LOCATION_TEXT 1122
#define IDC_HEADER_LINE 1040
#define IDC_VIEW_MNEMONIC 1134
#define IDC_HEX_VIEW 1116
#define IDC_VIEW_LINE 1041
#define IDC_FILE_LABEL 1123
#define IDC_FILE_CHOOSER 1117
#define IDC_HELP_LABEL 1124
#define IDC_HELP_LINK 1054
#define IDC_BANNER_LINE 1051
#define IDC_BANNER 1049
#define IDC_MODULES_LINK 1053

// Banner bitmaps: one picture at five sizes (width x height in pixels).
#define IDB_BANNER_120X16 163
#define IDB_BANNER_240X31 164
#define IDB_BANNER_160X20 165
#define IDB_BANNER_200X25 166
#define IDB_BANNER_620X80 167
