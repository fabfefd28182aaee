#include "page/tooltips.h"

#include <commctrl.h>

#include "hexedit/module_context.h"
#include "hexedit/win32_handles.h"

namespace {

TOOLINFOW ToolFor(HWND page, HWND control, const wchar_t* text) {
    TOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = page;
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = const_cast<wchar_t*>(text);
    return tool;
}

} // namespace

HWND CreatePageTooltip() {
    ScopedActivationContext context(ModuleActivationContext());
    return CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, 0, CW_USEDEFAULT, CW_USEDEFAULT,
                           CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, ModuleInstance(),
                           nullptr);
}

void AddTooltipTool(HWND tooltip, HWND page, HWND control, const wchar_t* text) {
    if (!tooltip)
        return;
    TOOLINFOW tool = ToolFor(page, control, text);
    SendMessageW(tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

void SetTooltipToolText(HWND tooltip, HWND page, HWND control, const wchar_t* text) {
    if (!tooltip)
        return;
    TOOLINFOW tool = ToolFor(page, control, text);
    SendMessageW(tooltip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
}
