#include "page/page_dlg.h"

#include <windowsx.h>

#include <commctrl.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "hexedit/nudge_control.h"
#include "hexedit/progress_window.h"
#include "page/banner.h"
#include "page/header_icon.h"
#include "page/help_popup.h"
#include "page/link_buttons.h"
#include "page/page_data.h"
#include "page/selection_summary.h"
#include "page/tooltips.h"
#include "page/view_size_layout.h"
#include "resources/resource_ids.h"

namespace {

const wchar_t kChangedQuestion[] = L"The file has changed. Do you want to save changes?";

PageData* DataOf(HWND page) {
    return reinterpret_cast<PageData*>(GetWindowLongPtrW(page, DWLP_USER));
}

PageHost* HostOf(const PageData* data) {
    if (!data || !data->sheetPage)
        return nullptr;
    return PageHostFromParameter(data->sheetPage->lParam);
}

std::wstring ControlText(HWND page, int id) {
    std::vector<wchar_t> text(kPathCapacity, L'\0');
    GetDlgItemTextW(page, id, text.data(), static_cast<int>(kPathCapacity));
    return std::wstring(text.data());
}

void EnableControl(HWND page, int id, BOOL enable) {
    EnableWindow(GetDlgItem(page, id), enable);
}

// Start-up, step by step.

void AdjustDecorations(HWND page) {
    NudgeControl(page, IDC_MODULES_LINK, 1, 0);
    NudgeControl(page, IDC_HELP_LINK, 1, 0);
    NudgeControl(page, IDC_HELP_LABEL, 0, -1);
    NudgeControl(page, IDC_FILE_LABEL, 0, -1);
    SetDlgItemTextW(page, IDC_MODULES_LINK, L"Get more modules");
    SetDlgItemTextW(page, IDC_HELP_LINK, L"Keyboard shortcuts");
}

// Without its record or host the page can show nothing it could later save or release.
void ShowNothing(HWND page) {
    EnableControl(page, IDC_HEX_VIEW, FALSE);
    EnableControl(page, IDC_FILE_LABEL, FALSE);
    EnableControl(page, IDC_FILE_CHOOSER, FALSE);
}

// One walk over the selection gives the file list, the chooser's entries and, for several
// items, the header's summary; the list's block comes first so the walk can fill it.
void ReadSelectionIntoPage(HWND page, PageHost& host) {
    free(host.fileIndexes);
    host.fileIndexes = static_cast<uint32_t*>(
        AllocatePageBlock(static_cast<size_t>(host.dropCount) + 1, sizeof(uint32_t)));
    const bool several = host.dropCount > 1;
    const selection::SelectionTexts summary =
        ReadSelection(host, GetDlgItem(page, IDC_FILE_CHOOSER), several);
    std::wstring first = summary.count;
    std::wstring location = summary.location;
    if (several) {
        SetDlgItemTextW(page, IDC_NAME_LABEL, L"Count:");
    } else {
        EnableControl(page, IDC_FILE_LABEL, FALSE);
        EnableControl(page, IDC_FILE_CHOOSER, FALSE);
        BuildSingleItemHeader(host, first, location);
    }
    SetDlgItemTextW(page, IDC_NAME_TEXT, first.c_str());
    SetDlgItemTextW(page, IDC_LOCATION_TEXT, location.c_str());
}

void SetUpTooltip(HWND page, PageData& data, PageHost& host) {
    HWND tooltip = CreatePageTooltip();
    host.tooltipWnd = tooltip;
    for (int id : {IDC_NAME_TEXT, IDC_LOCATION_TEXT})
        AddTooltipTool(tooltip, page, GetDlgItem(page, id), ControlText(page, id).c_str());
    if (tooltip)
        SendMessageW(tooltip, TTM_ACTIVATE, TRUE, 0);
    data.tooltip = tooltip;
}

// Shows `icon` in the header; an owned one replaces (and frees) any owned one before it.
void SetHeaderIcon(HWND page, PageData& data, HICON icon, bool owned) {
    // No icon to be had clears the template's own icon too.
    SendDlgItemMessageW(page, IDC_HEADER_ICON, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
    if (data.fileIcon)
        DestroyIcon(data.fileIcon);
    data.fileIcon = owned ? icon : nullptr;
}

void ShowHeaderIcon(HWND page, PageData& data, const PageHost& host) {
    const HeaderIcon icon = LoadHeaderIcon(page, host);
    // While the lookup goes on, the template's icon stays.
    data.iconLookup = icon.pending;
    if (!icon.pending)
        SetHeaderIcon(page, data, icon.icon, icon.owned);
}

// Path of the item behind chooser entry `entry`.
std::wstring PathOfEntry(const PageHost& host, int32_t entry) {
    if (!host.fileIndexes || entry < 0 || entry >= host.fileIndexCount)
        return std::wstring();
    return SelectionPath(host, host.fileIndexes[entry]);
}

void FinishChooser(HWND page, PageData& data, PageHost& host) {
    HWND chooser = GetDlgItem(page, IDC_FILE_CHOOSER);
    if (host.fileIndexCount == 0) {
        EnableControl(page, IDC_HEX_VIEW, FALSE);
        // Without a list the chooser stays empty rather than claim nothing was selected.
        if (host.fileIndexes)
            SendMessageW(chooser, CB_INSERTSTRING, 0,
                         reinterpret_cast<LPARAM>(L"No Files Selected"));
    }
    SendMessageW(chooser, CB_SETCURSEL, 0, 0);
    host.currentFile = 0;
    if (host.fileIndexCount < 2) {
        EnableControl(page, IDC_FILE_LABEL, FALSE);
        EnableControl(page, IDC_FILE_CHOOSER, FALSE);
    }
    // The tip names the file the chooser shows; with no file, the first selected item.
    const std::wstring path =
        host.fileIndexCount > 0 ? PathOfEntry(host, 0) : SelectionPath(host, 0);
    AddTooltipTool(data.tooltip, page, chooser, path.c_str());
}

void AttachEditor(HWND page, PageHost& host, LPARAM parameter) {
    HWND view = GetDlgItem(page, IDC_HEX_VIEW);
    // The editor's window procedure finds the editor through this from its first message on.
    SetWindowLongPtrW(view, GWLP_USERDATA, parameter);
    host.editor.Attach(view, page);
}

void LoadFirstFile(HWND page, PageHost& host) {
    if (host.fileIndexCount == 0)
        return;
    if (host.dropCount > 1)
        SendMessageW(page, WM_COMMAND, MAKEWPARAM(0, CBN_SELCHANGE), 0);
    else
        LoadIntoView(host, page, host.firstPath);
    SetFocus(GetDlgItem(page, IDC_HEX_VIEW));
}

// Message handlers.

INT_PTR OnInitDialog(HWND page, PROPSHEETPAGEW* sheetPage) {
    AdjustDecorations(page);
    PageHost* host = sheetPage ? PageHostFromParameter(sheetPage->lParam) : nullptr;
    auto* data = static_cast<PageData*>(AllocatePageBlock(1, sizeof(PageData)));
    if (!data || !host) {
        free(data);
        ShowNothing(page);
        return FALSE;
    }
    SetWindowLongPtrW(page, DWLP_USER, reinterpret_cast<LONG_PTR>(data));
    data->sheetPage = sheetPage;
    host->currentFile = 0;

    ReadSelectionIntoPage(page, *host);
    SetUpTooltip(page, *data, *host);
    ShowHeaderIcon(page, *data, *host);
    FinishChooser(page, *data, *host);
    AttachEditor(page, *host, sheetPage->lParam);
    LoadFirstFile(page, *host);
    return FALSE;
}

void OnFileChosen(HWND page, PageData& data, PageHost& host) {
    HWND chooser = GetDlgItem(page, IDC_FILE_CHOOSER);
    auto index = static_cast<int32_t>(SendMessageW(chooser, CB_GETCURSEL, 0, 0));
    // Entries without a file behind them (none chosen, "No Files Selected") load nothing.
    if (index < 0 || index >= host.fileIndexCount || !host.fileIndexes)
        return;
    const std::wstring path = PathOfEntry(host, index);
    SetTooltipToolText(data.tooltip, page, chooser, path.c_str());
    const DWORD code = LoadIntoView(host, page, path.c_str());
    if (code != ERROR_SUCCESS) {
        const bool otherEntry = index != host.currentFile;
        index = host.currentFile;
        SendMessageW(chooser, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
        const std::wstring previous = PathOfEntry(host, index);
        SetTooltipToolText(data.tooltip, page, chooser, previous.c_str());
        // A failed load has emptied the editor: the entry the chooser goes back to gets its
        // file again, so the view shows what the chooser says. Its changes were settled by
        // the load's question already.
        if (code != ERROR_CANCELLED && otherEntry)
            LoadIntoView(host, page, previous.c_str());
    }
    if (data.tooltip)
        SendMessageW(data.tooltip, TTM_UPDATE, 0, 0);
    host.currentFile = index;
}

INT_PTR OnCommand(HWND page, WPARAM wParam) {
    if (FileJobRunningOn(page))
        return TRUE; // a read or save is under way: nothing may start another
    if (HIWORD(wParam) == CBN_SELCHANGE) {
        PageData* data = DataOf(page);
        if (PageHost* host = HostOf(data))
            OnFileChosen(page, *data, *host);
    } else if (HIWORD(wParam) == BN_CLICKED &&
               (LOWORD(wParam) == IDC_MODULES_LINK || LOWORD(wParam) == IDC_HELP_LINK)) {
        OpenLinkPage(LOWORD(wParam));
    }
    return TRUE;
}

INT_PTR OnDrawItem(HWND page, const DRAWITEMSTRUCT* item) {
    PageData* data = DataOf(page);
    if (!data || !item)
        return TRUE;
    if (item->CtlID == IDC_BANNER) {
        DrawBanner(item->hwndItem, *data, *item);
    } else if (item->CtlID == IDC_MODULES_LINK || item->CtlID == IDC_HELP_LINK) {
        wchar_t text[200] = {};
        GetWindowTextW(item->hwndItem, text, 200);
        DrawLinkButton(*data, *item, text);
    }
    return TRUE;
}

UINT DropCountOf(HWND page) {
    const PageHost* host = HostOf(DataOf(page));
    return host ? host->dropCount : 0;
}

INT_PTR OnHelp(HWND page, const HELPINFO* info) {
    if (info)
        ShowContextHelp(static_cast<HWND>(info->hItemHandle), DropCountOf(page));
    return TRUE;
}

// Right clicks on static or disabled controls land on the page itself: the control is the
// visible child under the pointer.
INT_PTR OnContextMenu(HWND page, HWND window, LPARAM lParam) {
    if (window != page) {
        ShowContextHelp(window, DropCountOf(page));
        return TRUE;
    }
    POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    ScreenToClient(page, &point);
    HWND child = ChildWindowFromPointEx(page, point, CWP_SKIPINVISIBLE);
    if (child && child != page)
        ShowContextHelp(child, DropCountOf(page));
    return TRUE;
}

INT_PTR OnViewSize(HWND page, WPARAM mode) {
    if (PageHost* host = HostOf(DataOf(page)))
        ApplyViewSize(page, host->editor, static_cast<int>(mode));
    return TRUE;
}

INT_PTR SetNotifyResult(HWND page, LONG_PTR result) {
    SetWindowLongPtrW(page, DWLP_MSGRESULT, result);
    return TRUE;
}

// OK, Apply, Cancel or the close box. Unsaved changes are offered for saving; on OK and Apply
// a refusal or a failed save keeps the sheet open with the changes still held. Cancel of the
// sheet can't be refused, so after a failed save the question comes again: the changes are
// dropped only when the user says No. What the page owns stays until WM_DESTROY: after Apply
// the sheet and this page go on running.
INT_PTR OnSheetClosing(HWND page, bool apply) {
    PageHost* host = HostOf(DataOf(page));
    while (host && host->editor.modified) {
        const int answer = MessageBoxW(page, kChangedQuestion, L"Hex Editor",
                                       MB_ICONWARNING | (apply ? MB_YESNOCANCEL : MB_YESNO));
        const DWORD saved = answer == IDYES ? host->editor.SaveFile(0) : ERROR_CANCELLED;
        if (answer == IDNO || saved == ERROR_SUCCESS)
            break;
        // Cancel, a declined overwrite, a failed save (already reported), or no box could be
        // shown.
        if (apply)
            return SetNotifyResult(page, PSNRET_INVALID_NOCHANGEPAGE);
        // Declining to overwrite another program's changes drops these.
        if (answer != IDYES || saved == ERROR_CANCELLED)
            break;
    }
    return SetNotifyResult(page, PSNRET_NOERROR);
}

// While a read or save runs, the sheet may neither close, apply nor leave the page: each of
// these answers keeps it as it is.
INT_PTR RefuseWhileBusy(HWND page, UINT code) {
    if (code == PSN_APPLY)
        return SetNotifyResult(page, PSNRET_INVALID_NOCHANGEPAGE);
    if (code == PSN_KILLACTIVE || code == PSN_QUERYCANCEL)
        return SetNotifyResult(page, TRUE);
    return TRUE;
}

INT_PTR OnNotify(HWND page, const NMHDR* header) {
    if (header && FileJobRunningOn(page))
        return RefuseWhileBusy(page, header->code);
    if (header && (header->code == PSN_APPLY || header->code == PSN_RESET))
        return OnSheetClosing(page, header->code == PSN_APPLY);
    return TRUE;
}

INT_PTR OnHeaderIcon(HWND page) {
    PageData* data = DataOf(page);
    HICON icon = nullptr;
    if (!data || !TakeFoundIcon(data->iconLookup, &icon))
        return TRUE;
    ReleaseIconLookup(data->iconLookup);
    data->iconLookup = nullptr;
    SetHeaderIcon(page, *data, icon, icon != nullptr);
    return TRUE;
}

INT_PTR OnDestroy(HWND page) {
    PageData* data = DataOf(page);
    SetWindowLongPtrW(page, DWLP_USER, 0);
    if (!data)
        return TRUE;
    if (PageHost* host = HostOf(data)) {
        host->editor.ReleaseFile(); // the closing questions are behind us
        free(host->fileIndexes);
        host->fileIndexes = nullptr;
        host->fileIndexCount = 0;
        host->tooltipWnd = nullptr;
    }
    if (data->tooltip)
        DestroyWindow(data->tooltip);
    // Taken out of the control first, so the control never shows a destroyed icon.
    SetHeaderIcon(page, *data, nullptr, false);
    ReleaseIconLookup(data->iconLookup);
    if (data->bannerBitmap)
        DeleteObject(data->bannerBitmap);
    if (data->linkFont)
        DeleteObject(data->linkFont);
    free(data);
    return TRUE;
}

} // namespace

DWORD LoadIntoView(PageHost& host, HWND, const wchar_t* path) {
    const DWORD code = host.editor.LoadFile(path);
    host.editor.Invalidate();
    return code;
}

INT_PTR CALLBACK PageDlgProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        return OnInitDialog(page, reinterpret_cast<PROPSHEETPAGEW*>(lParam));
    case WM_COMMAND:
        return OnCommand(page, wParam);
    case WM_NOTIFY:
        return OnNotify(page, reinterpret_cast<const NMHDR*>(lParam));
    case WM_DRAWITEM:
        return OnDrawItem(page, reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
    case WM_HELP:
        return OnHelp(page, reinterpret_cast<const HELPINFO*>(lParam));
    case WM_CONTEXTMENU:
        return OnContextMenu(page, reinterpret_cast<HWND>(wParam), lParam);
    case WM_HEXVIEWSIZE:
        return OnViewSize(page, wParam);
    case WM_HEADERICON:
        return OnHeaderIcon(page);
    case WM_DESTROY:
        return OnDestroy(page);
    default:
        return FALSE;
    }
}
