#include "hexedit/progress_window.h"

#include <commctrl.h>

#include <utility>

#include "hexedit/module_context.h"
#include "hexedit/win32_handles.h"
#include "resources/resource_ids.h"

namespace {

// The sheet whose file operation this thread is waiting for; each sheet runs on a thread of
// its own.
thread_local HWND t_busySheet = nullptr;

class BusyMark {
  public:
    explicit BusyMark(HWND sheet) : previous_(std::exchange(t_busySheet, sheet)) {}
    ~BusyMark() { t_busySheet = previous_; }
    BusyMark(const BusyMark&) = delete;
    BusyMark& operator=(const BusyMark&) = delete;

  private:
    HWND previous_;
};

struct WindowState {
    progress::Operation operation;
    const std::wstring* path;
    uint64_t total;
    FileJobProgress* progress;
    HWND sheet;
};

void CentreOver(HWND dialog, HWND owner) {
    RECT outer{};
    RECT own{};
    if (!GetWindowRect(owner, &outer) || !GetWindowRect(dialog, &own))
        return;
    const int width = own.right - own.left;
    const int height = own.bottom - own.top;
    SetWindowPos(dialog, nullptr, (outer.left + outer.right - width) / 2,
                 (outer.top + outer.bottom - height) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

void ShowCount(HWND dialog, const WindowState& state) {
    const uint64_t done = state.progress->done.load();
    SetDlgItemTextW(dialog, IDC_PROGRESS_COUNT, progress::CountText(done, state.total).c_str());
    SendDlgItemMessageW(dialog, IDC_PROGRESS_BAR, PBM_SETPOS,
                        static_cast<WPARAM>(progress::BarPosition(done, state.total)), 0);
}

void OnProgressInit(HWND dialog, WindowState& state) {
    SetWindowLongPtrW(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(&state));
    SetDlgItemTextW(dialog, IDC_PROGRESS_HEADING,
                    progress::Heading(state.operation, *state.path).c_str());
    SetDlgItemTextW(dialog, IDC_PROGRESS_NOTE, progress::NoteText(state.operation).c_str());
    SendDlgItemMessageW(dialog, IDC_PROGRESS_BAR, PBM_SETRANGE32, 0, progress::kBarRange);
    if (!progress::CanCancel(state.operation)) {
        ShowWindow(GetDlgItem(dialog, IDCANCEL), SW_HIDE);
        EnableMenuItem(GetSystemMenu(dialog, FALSE), SC_CLOSE, MF_BYCOMMAND | MF_GRAYED);
    }
    ShowCount(dialog, state);
    CentreOver(dialog, state.sheet);
}

// Cancel, Esc and the close box all arrive as IDCANCEL; a save ignores them.
void OnProgressCancel(HWND dialog, WindowState& state) {
    if (!progress::CanCancel(state.operation))
        return;
    state.progress->cancel.store(true);
    EnableWindow(GetDlgItem(dialog, IDCANCEL), FALSE);
}

INT_PTR CALLBACK ProgressDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        OnProgressInit(dialog, *reinterpret_cast<WindowState*>(lParam));
        return TRUE;
    }
    auto* state = reinterpret_cast<WindowState*>(GetWindowLongPtrW(dialog, DWLP_USER));
    if (state && message == WM_COMMAND && LOWORD(wParam) == IDCANCEL) {
        OnProgressCancel(dialog, *state);
        return TRUE;
    }
    return FALSE;
}

bool IsInput(UINT message) {
    return (message >= WM_KEYFIRST && message <= WM_KEYLAST) ||
           (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) ||
           (message >= WM_NCMOUSEMOVE && message <= WM_NCXBUTTONDBLCLK);
}

// What reaches the sheet meanwhile must change nothing: typing, clicks, commands, closing,
// and the sheet's own button and page messages.
bool Refused(const MSG& msg, HWND sheet, HWND dialog) {
    if (!msg.hwnd || msg.hwnd == dialog || IsChild(dialog, msg.hwnd))
        return false;
    if (msg.hwnd != sheet && !IsChild(sheet, msg.hwnd))
        return false;
    return IsInput(msg.message) || msg.message == WM_COMMAND || msg.message == WM_SYSCOMMAND ||
           msg.message == WM_CLOSE || msg.message == WM_CONTEXTMENU ||
           (msg.hwnd == sheet && msg.message >= WM_USER && msg.message < WM_APP);
}

// Answers messages sent to the thread and takes nothing else from its queue, until the job
// ends (true) or, unless `untilEnd`, it is time for the window (false).
bool WaitQuietly(const FileWorker& worker, DWORD start, bool untilEnd) {
    HANDLE ended = worker.ended();
    for (;;) {
        const DWORD elapsed = GetTickCount() - start;
        if (worker.HasEnded())
            return true;
        if (!untilEnd && progress::ShowWindowNow(elapsed, false))
            return false;
        const DWORD wait = untilEnd ? INFINITE : progress::kShowAfterMs - elapsed;
        if (MsgWaitForMultipleObjectsEx(1, &ended, wait, QS_SENDMESSAGE, 0) == WAIT_OBJECT_0 + 1) {
            MSG msg;
            PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        }
    }
}

// The window's own loop, until the job ends. Returns whether WM_QUIT came meanwhile (and
// its code), to be posted again afterwards.
bool RunWindowLoop(FileWorker& worker, HWND dialog, WindowState& state, WPARAM* quitCode) {
    bool quit = false;
    DWORD lastCount = GetTickCount();
    HANDLE ended = worker.ended();
    while (MsgWaitForMultipleObjectsEx(1, &ended, progress::kRefreshMs, QS_ALLINPUT,
                                       MWMO_INPUTAVAILABLE) != WAIT_OBJECT_0) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                quit = true;
                *quitCode = msg.wParam;
            } else if (!Refused(msg, state.sheet, dialog) && !IsDialogMessageW(dialog, &msg)) {
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
            if (worker.HasEnded())
                break;
        }
        if (GetTickCount() - lastCount >= progress::kRefreshMs) {
            ShowCount(dialog, state);
            lastCount = GetTickCount();
        }
    }
    return quit;
}

HWND MakeProgressWindow(WindowState& state) {
    ScopedActivationContext context(ModuleActivationContext());
    HWND dialog = CreateDialogParamW(ModuleInstance(), MAKEINTRESOURCEW(IDD_PROGRESS), state.sheet,
                                     ProgressDlgProc, reinterpret_cast<LPARAM>(&state));
    if (dialog)
        ShowWindow(dialog, SW_SHOW);
    return dialog;
}

} // namespace

bool FileJobRunningOn(HWND window) {
    return t_busySheet && window && (window == t_busySheet || IsChild(t_busySheet, window));
}

bool InputRefusedNow(HWND window, UINT message) {
    return (IsInput(message) || message == WM_CONTEXTMENU) && FileJobRunningOn(window);
}

DWORD RunFileJob(HWND view, progress::Operation operation, const std::wstring& path, uint64_t total,
                 FileJob job) {
    HWND sheet = view ? GetAncestor(view, GA_ROOT) : nullptr;
    BusyMark busy(sheet);
    FileWorker worker(std::move(job));
    const DWORD start = GetTickCount();
    {
        ScopedCursor wait(IDC_WAIT);
        worker.Start();
        if (WaitQuietly(worker, start, false))
            return worker.result();
    }
    WindowState state{operation, &path, total, &worker.progress(), sheet};
    HWND focus = GetFocus();
    const bool sheetActive = sheet && GetActiveWindow() == sheet;
    HWND dialog = sheet ? MakeProgressWindow(state) : nullptr;
    if (!dialog) {
        WaitQuietly(worker, start, true);
        return worker.result();
    }
    EnableWindow(sheet, FALSE);
    WPARAM quitCode = 0;
    const bool quit = RunWindowLoop(worker, dialog, state, &quitCode);
    // Enabled before the window goes, so activation returns to the sheet and not elsewhere.
    EnableWindow(sheet, TRUE);
    DestroyWindow(dialog);
    if (sheetActive)
        SetActiveWindow(sheet);
    if (focus && IsWindow(focus))
        SetFocus(focus);
    if (quit)
        PostQuitMessage(static_cast<int>(quitCode));
    return worker.result();
}
