// Dialog template 129 as the resource compiler wrote it: every control's id, class, text,
// rectangle and style, in creation (tab) order, and the dialog's own header.
#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "resources/resource_ids.h"
#include "support/dialog_template.h"

namespace {

const std::wstring kViewText = std::wstring(32, L' ') + L"&View";

const std::vector<ExpectedItem> kControls = {
    {1118, L"Static", L"#147", 7, 7, 20, 20, SS_ICON},
    {1119, L"Static", L"Name:", 32, 6, 56, 8, SS_RIGHT | WS_GROUP},
    {1121, L"Edit", L"", 92, 6, 128, 12, ES_READONLY | ES_AUTOHSCROLL},
    {1120, L"Static", L"Location:", 32, 18, 56, 8, SS_RIGHT | WS_GROUP},
    {1122, L"Edit", L"", 92, 18, 128, 12, ES_READONLY | ES_AUTOHSCROLL},
    {1040, L"Static", L"", 7, 32, 212, 1, SS_SIMPLE | SS_SUNKEN | WS_GROUP},
    {1134, L"Static", kViewText, 210, 136, 8, 8, SS_LEFT | WS_GROUP},
    {1116, L"Edit", L"", 7, 37, 212, 108,
     ES_MULTILINE | ES_AUTOVSCROLL | ES_READONLY | WS_BORDER | WS_VSCROLL | WS_TABSTOP},
    {1041, L"Static", L"", 7, 149, 212, 1, SS_SIMPLE | SS_SUNKEN | WS_GROUP},
    {1123, L"Static", L"View &file:", 7, 157, 81, 10, SS_RIGHT | SS_CENTERIMAGE | WS_GROUP},
    {1117, L"ComboBox", L"", 92, 155, 127, 54,
     CBS_DROPDOWNLIST | CBS_AUTOHSCROLL | WS_VSCROLL | WS_TABSTOP},
    {1124, L"Static", L"Online &Help:", 7, 169, 81, 10, SS_RIGHT | SS_CENTERIMAGE | WS_GROUP},
    {1054, L"Button", L"", 92, 169, 128, 10, BS_OWNERDRAW | WS_TABSTOP},
    {1051, L"Static", L"", 7, 185, 212, 1, SS_SIMPLE | SS_SUNKEN | WS_GROUP},
    {1049, L"Static", L"", 7, 189, 80, 10, SS_OWNERDRAW},
    {1053, L"Button", L"", 92, 189, 128, 10, BS_OWNERDRAW | WS_TABSTOP},
};

} // namespace

TEST(PageTemplate, DialogHeader) {
    const TemplateDialog dialog = ParseDialogTemplate(IDD_HEX_PAGE);
    EXPECT_EQ(dialog.version, 1);
    EXPECT_EQ(dialog.signature, 0xFFFF); // extended template
    EXPECT_EQ(dialog.style, static_cast<DWORD>(WS_CHILD | WS_BORDER | DS_CONTEXTHELP | DS_SETFONT));
    EXPECT_EQ(dialog.x, 20);
    EXPECT_EQ(dialog.y, 20);
    EXPECT_EQ(dialog.cx, 228);
    EXPECT_EQ(dialog.cy, 201);
    EXPECT_EQ(dialog.title, L"");
    EXPECT_EQ(dialog.pointSize, 8);
    EXPECT_EQ(dialog.face, L"MS Shell Dlg 2");
}

TEST(PageTemplate, ControlsInTabOrderWithTheirTextsRectanglesAndStyles) {
    const TemplateDialog dialog = ParseDialogTemplate(IDD_HEX_PAGE);
    ExpectTemplateItems(dialog, kControls);
}

TEST(PageTemplate, IconsArePresentAtTheirSizes) {
    for (int size : {16, 32, 48, 256}) {
        HICON icon = static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr),
                                                   MAKEINTRESOURCEW(IDI_HEADER_ICON), IMAGE_ICON,
                                                   size, size, 0));
        EXPECT_NE(icon, nullptr) << size;
        if (icon)
            DestroyIcon(icon);
    }
    HICON several = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_SEVERAL_ITEMS));
    EXPECT_NE(several, nullptr);
    // The manifest that asks for version 6 of the common controls.
    EXPECT_NE(FindResourceW(nullptr, MAKEINTRESOURCEW(2), MAKEINTRESOURCEW(24)), nullptr);
}
