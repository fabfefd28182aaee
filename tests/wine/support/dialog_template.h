// Dialog templates as the resource compiler wrote them into the test program, read field by
// field from the extended (DIALOGEX) layout, so a test can pin every control a user sees.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

struct TemplateItem {
    DWORD style = 0;
    DWORD exStyle = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    DWORD id = 0;
    std::wstring className; // ordinals as their class names
    std::wstring text;      // ordinals as "#n"
};

struct TemplateDialog {
    bool found = false;
    WORD version = 0, signature = 0;
    DWORD style = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    std::wstring title;
    WORD pointSize = 0;
    std::wstring face;
    std::vector<TemplateItem> items;
};

// Template `id` of the test program. A classic template is returned with its signature only,
// so every check of the fields it lacks fails.
TemplateDialog ParseDialogTemplate(int id);

struct ExpectedItem {
    DWORD id;
    const wchar_t* className;
    std::wstring text;
    short x, y, cx, cy;
    DWORD style; // besides WS_CHILD | WS_VISIBLE
};

// Every control in creation (tab) order, with no extended style.
void ExpectTemplateItems(const TemplateDialog& dialog, const std::vector<ExpectedItem>& expected);
