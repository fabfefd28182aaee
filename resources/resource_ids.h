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

// The input dialog shared by Find and Go To.
#define IDD_INPUT_DIALOG 162
#define IDC_INPUT_LABEL (-1)
#define IDC_INPUT_TEXT 1032

// Edit Bits: one disabled "Old:" and one "New:" check box per bit.
#define IDD_EDIT_BITS 163
#define IDC_OLD_BIT7 1179
#define IDC_OLD_BIT6 1178
#define IDC_OLD_BIT5 1177
#define IDC_OLD_BIT4 1033
#define IDC_OLD_BIT3 1031
#define IDC_OLD_BIT2 1030
#define IDC_OLD_BIT1 1029
#define IDC_OLD_BIT0 1028
#define IDC_NEW_BIT7 1027
#define IDC_NEW_BIT6 1026
#define IDC_NEW_BIT5 1025
#define IDC_NEW_BIT4 1024
#define IDC_NEW_BIT3 1023
#define IDC_NEW_BIT2 1022
#define IDC_NEW_BIT1 1021
#define IDC_NEW_BIT0 1020

// Banner bitmaps: one picture at five sizes (width x height in pixels).
#define IDB_BANNER_120X16 163
#define IDB_BANNER_240X31 164
#define IDB_BANNER_160X20 165
#define IDB_BANNER_200X25 166
#define IDB_BANNER_620X80 167

// The progress window of a long read or save.
#define IDD_PROGRESS 164
#define IDC_PROGRESS_HEADING 1201
#define IDC_PROGRESS_BAR 1202
#define IDC_PROGRESS_COUNT 1203
#define IDC_PROGRESS_NOTE 1204
