#include "hexedit/progress_window.h"

#include <commctrl.h>

#include <utility>
#include <vector>

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
    FileWorker* worker;
    HWND sheet;
    bool leaveBehind; // a Cancel stops waiting at once; otherwise after the current chunk
    bool blockingSessionEnd = false;
    FileJobProgress& progress() const { return worker->progress(); }
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
    const uint64_t done = state.progress().done.load();
    const uint64_t total = state.progress().total.load();
    // Until the file has been opened there is no count to give.
    const bool known = total != FileJobProgress::kUnknownTotal;
    SetDlgItemTextW(dialog, IDC_PROGRESS_COUNT,
                    known ? progress::CountText(done, total).c_str() : L"");
    SendDlgItemMessageW(dialog, IDC_PROGRESS_BAR, PBM_SETPOS,
                        static_cast<WPARAM>(known ? progress::BarPosition(done, total) : 0), 0);
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
    state.progress().cancel.store(true);
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
// the sheet's own button and page messages, and work meant for after the job.
bool Refused(const MSG& msg, HWND sheet, HWND dialog) {
    if (!msg.hwnd || (dialog && (msg.hwnd == dialog || IsChild(dialog, msg.hwnd))))
        return false;
    if (msg.hwnd != sheet && !IsChild(sheet, msg.hwnd))
        return false;
    return IsInput(msg.message) || msg.message == WM_COMMAND || msg.message == WM_SYSCOMMAND ||
           msg.message == WM_CLOSE || msg.message == WM_CONTEXTMENU ||
           msg.message == WM_AFTERFILEJOB ||
           (msg.hwnd == sheet && msg.message >= WM_USER && msg.message < WM_APP);
}

// Whether the wait is over: the job has ended, or it was cancelled and need not be waited for.
bool Done(const FileWorker& worker, const WindowState& state) {
    return worker.HasEnded() || (state.leaveBehind && state.progress().cancel.load());
}

// Answers messages sent to the thread and takes nothing else from its queue, until the wait is
// over (true) or it is time for the window (false).
bool WaitQuietly(FileWorker& worker, const WindowState& state, DWORD start) {
    HANDLE ended = worker.ended();
    for (;;) {
        const DWORD elapsed = GetTickCount() - start;
        if (Done(worker, state))
            return true;
        if (progress::ShowWindowNow(elapsed, false))
            return false;
        if (MsgWaitForMultipleObjectsEx(1, &ended, progress::kShowAfterMs - elapsed, QS_SENDMESSAGE,
                                        0) == WAIT_OBJECT_0 + 1) {
            MSG msg;
            PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        }
    }
}

// What the loop took from the queue and did not dispatch, to be posted again in order once the
// operation has ended: a command or a close that came meanwhile is done then, not lost.
struct HeldBack {
    std::vector<MSG> posted;
    bool quit = false;
    WPARAM quitCode = 0;
    void PostAgain() const {
        for (const MSG& msg : posted)
            PostMessageW(msg.hwnd, msg.message, msg.wParam, msg.lParam);
        if (quit)
            PostQuitMessage(static_cast<int>(quitCode));
    }
};

// Takes one message from the queue: typing and clicks meant for the sheet are dropped, what
// else would change it is held back, the rest (the window's own, painting, other windows of the
// thread) is dispatched.
void TakeMessage(MSG& msg, HWND dialog, const WindowState& state, HeldBack& held) {
    if (msg.message == WM_QUIT) {
        held.quit = true;
        held.quitCode = msg.wParam;
    } else if (Refused(msg, state.sheet, dialog)) {
        if (!IsInput(msg.message) && msg.message != WM_CONTEXTMENU)
            held.posted.push_back(msg);
    } else if (!dialog || !IsDialogMessageW(dialog, &msg)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

// The loop once the first second is over, with the window when there is one, until the wait
// is over.
void RunWindowLoop(FileWorker& worker, HWND dialog, WindowState& state, HeldBack& held) {
    DWORD lastCount = GetTickCount();
    HANDLE ended = worker.ended();
    while (!Done(worker, state)) {
        if (MsgWaitForMultipleObjectsEx(1, &ended, progress::kRefreshMs, QS_ALLINPUT,
                                        MWMO_INPUTAVAILABLE) == WAIT_OBJECT_0)
            continue;
        MSG msg;
        while (!Done(worker, state) && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            TakeMessage(msg, dialog, state, held);
        if (dialog && GetTickCount() - lastCount >= progress::kRefreshMs) {
            ShowCount(dialog, state);
            lastCount = GetTickCount();
        }
    }
}

// The end of the session while a job runs. A save holds it back: ended half-way, the file would
// be part old, part new; the system shows the user why. A read or copy lets it go, as its Cancel
// would.
LRESULT CALLBACK GuardSessionEnd(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                 DWORD_PTR data) {
    auto& state = *reinterpret_cast<WindowState*>(data);
    const bool save = !progress::CanCancel(state.operation);
    if (message == WM_QUERYENDSESSION && save) {
        if (!state.blockingSessionEnd)
            state.blockingSessionEnd =
                ShutdownBlockReasonCreate(
                    window, progress::Heading(state.operation, *state.path).c_str()) != FALSE;
        return FALSE;
    }
    if (message == WM_ENDSESSION && wParam) {
        if (save)
            WaitForSingleObject(state.worker->ended(), INFINITE);
        else
            state.progress().cancel.store(true);
        return 0;
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

class SessionEndGuard {
  public:
    explicit SessionEndGuard(WindowState& state)
        : state_(state),
          installed_(state.sheet && SetWindowSubclass(state.sheet, GuardSessionEnd, kSubclassId,
                                                      reinterpret_cast<DWORD_PTR>(&state))) {}
    ~SessionEndGuard() {
        if (installed_)
            RemoveWindowSubclass(state_.sheet, GuardSessionEnd, kSubclassId);
        if (state_.blockingSessionEnd)
            ShutdownBlockReasonDestroy(state_.sheet);
    }
    SessionEndGuard(const SessionEndGuard&) = delete;
    SessionEndGuard& operator=(const SessionEndGuard&) = delete;

  private:
    static constexpr UINT_PTR kSubclassId = 0x48584A42;
    WindowState& state_;
    bool installed_;
};

HWND MakeProgressWindow(WindowState& state) {
    ScopedActivationContext context(ModuleActivationContext());
    HWND dialog = CreateDialogParamW(ModuleInstance(), MAKEINTRESOURCEW(IDD_PROGRESS), state.sheet,
                                     ProgressDlgProc, reinterpret_cast<LPARAM>(&state));
    if (dialog)
        ShowWindow(dialog, SW_SHOW);
    return dialog;
}

// The job's code; a job cancelled while it may still be stuck is left to end on its own.
DWORD Finish(FileWorker& worker) {
    if (!worker.HasEnded())
        worker.LeaveBehind();
    return worker.result();
}

} // namespace

bool FileJobRunningOn(HWND window) {
    return t_busySheet && window && (window == t_busySheet || IsChild(t_busySheet, window));
}

bool InputRefusedNow(HWND window, UINT message) {
    return (IsInput(message) || message == WM_CONTEXTMENU) && FileJobRunningOn(window);
}

DWORD RunFileJob(HWND view, progress::Operation operation, const std::wstring& path, uint64_t total,
                 FileJob job, OnCancel onCancel) {
    if (FileJobRunningOn(view))
        return ERROR_BUSY;
    HWND sheet = view ? GetAncestor(view, GA_ROOT) : nullptr;
    BusyMark busy(sheet);
    FileWorker worker(std::move(job));
    if (total != FileJobProgress::kUnknownTotal)
        worker.progress().total.store(total);
    WindowState state{operation, &path, &worker, sheet, onCancel == OnCancel::LeaveBehind};
    SessionEndGuard session(state);
    const DWORD start = GetTickCount();
    HeldBack held;
    {
        ScopedCursor wait(IDC_WAIT);
        worker.Start();
        if (WaitQuietly(worker, state, start))
            return Finish(worker);
    }
    HWND focus = GetFocus();
    const bool sheetActive = sheet && GetActiveWindow() == sheet;
    HWND dialog = sheet ? MakeProgressWindow(state) : nullptr;
    // EnableWindow answers whether the sheet was disabled already (by a box of its own, say).
    const bool sheetWasEnabled = dialog && !EnableWindow(sheet, FALSE);
    RunWindowLoop(worker, dialog, state, held);
    // Enabled before the window goes, so activation returns to the sheet and not elsewhere.
    if (sheetWasEnabled)
        EnableWindow(sheet, TRUE);
    if (dialog)
        DestroyWindow(dialog);
    if (dialog && sheetActive)
        SetActiveWindow(sheet);
    if (dialog && focus && IsWindow(focus))
        SetFocus(focus);
    held.PostAgain();
    return Finish(worker);
}
