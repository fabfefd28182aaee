// Dialog template 129 as the resource compiler wrote it: every control's id, class, text,
// rectangle and style, in creation (tab) order, and the dialog's own header.
#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstring>
#include <iterator>
#include <string>
#include <vector>

#include "resources/resource_ids.h"

namespace {

struct ParsedItem {
    DWORD style = 0;
    DWORD exStyle = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    DWORD id = 0;
    std::wstring className; // ordinals as their class names
    std::wstring text;      // ordinals as "#n"
};

struct ParsedDialog {
    WORD version = 0, signature = 0;
    DWORD style = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    std::wstring title;
    WORD pointSize = 0;
    std::wstring face;
    std::vector<ParsedItem> items;
};

class Reader {
  public:
    explicit Reader(const BYTE* at) : at_(at) {}
    template <typename T> T Take() {
        T value;
        memcpy(&value, at_, sizeof(T));
        at_ += sizeof(T);
        return value;
    }
    std::wstring SzOrOrd(bool classField) {
        const WORD first = Take<WORD>();
        if (first == 0xFFFF) {
            const WORD ordinal = Take<WORD>();
            if (classField) {
                switch (ordinal) {
                case 0x80:
                    return L"Button";
                case 0x81:
                    return L"Edit";
                case 0x82:
                    return L"Static";
                case 0x85:
                    return L"ComboBox";
                }
            }
            return L"#" + std::to_wstring(ordinal);
        }
        std::wstring text;
        for (WORD c = first; c != 0; c = Take<WORD>())
            text += static_cast<wchar_t>(c);
        return text;
    }
    void AlignDword(const BYTE* base) {
        while ((at_ - base) % 4)
            ++at_;
    }
    const BYTE* at() const { return at_; }

  private:
    const BYTE* at_;
};

ParsedDialog ParsePageTemplate() {
    ParsedDialog dialog;
    HRSRC found = FindResourceW(nullptr, MAKEINTRESOURCEW(IDD_HEX_PAGE), MAKEINTRESOURCEW(5));
    if (!found)
        return dialog;
    const auto* base = static_cast<const BYTE*>(LockResource(LoadResource(nullptr, found)));
    Reader r(base);
    dialog.version = r.Take<WORD>();
    dialog.signature = r.Take<WORD>();
    r.Take<DWORD>(); // help id
    r.Take<DWORD>(); // extended style
    dialog.style = r.Take<DWORD>();
    const WORD count = r.Take<WORD>();
    dialog.x = r.Take<short>();
    dialog.y = r.Take<short>();
    dialog.cx = r.Take<short>();
    dialog.cy = r.Take<short>();
    r.SzOrOrd(false); // menu
    r.SzOrOrd(false); // class
    dialog.title = r.SzOrOrd(false);
    dialog.pointSize = r.Take<WORD>();
    r.Take<WORD>(); // weight
    r.Take<BYTE>(); // italic
    r.Take<BYTE>(); // charset
    dialog.face = r.SzOrOrd(false);
    for (WORD i = 0; i < count; ++i) {
        r.AlignDword(base);
        ParsedItem item;
        r.Take<DWORD>(); // help id
        item.exStyle = r.Take<DWORD>();
        item.style = r.Take<DWORD>();
        item.x = r.Take<short>();
        item.y = r.Take<short>();
        item.cx = r.Take<short>();
        item.cy = r.Take<short>();
        item.id = r.Take<DWORD>();
        item.className = r.SzOrOrd(true);
        item.text = r.SzOrOrd(false);
        const WORD extra = r.Take<WORD>();
        for (WORD b = 0; b < extra; ++b)
            r.Take<BYTE>();
        dialog.items.push_back(item);
    }
    return dialog;
}

struct Expected {
    DWORD id;
    const wchar_t* className;
    std::wstring text;
    short x, y, cx, cy;
    DWORD style; // besides WS_CHILD | WS_VISIBLE
};

const std::wstring kViewText = std::wstring(32, L' ') + L"&View";

const Expected kControls[] = {
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
    const ParsedDialog dialog = ParsePageTemplate();
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
    const ParsedDialog dialog = ParsePageTemplate();
    ASSERT_EQ(dialog.items.size(), std::size(kControls));
    for (size_t i = 0; i < dialog.items.size(); ++i) {
        const ParsedItem& item = dialog.items[i];
        const Expected& want = kControls[i];
        SCOPED_TRACE(testing::Message() << "control " << want.id);
        EXPECT_EQ(item.id, want.id);
        // Window class names are case-insensitive; the compiler may store them upper-case.
        EXPECT_EQ(_wcsicmp(item.className.c_str(), want.className), 0) << item.className;
        EXPECT_EQ(item.text, want.text);
        EXPECT_EQ(item.x, want.x);
        EXPECT_EQ(item.y, want.y);
        EXPECT_EQ(item.cx, want.cx);
        EXPECT_EQ(item.cy, want.cy);
        EXPECT_EQ(item.style, want.style | WS_CHILD | WS_VISIBLE);
        EXPECT_EQ(item.exStyle, 0u);
    }
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
