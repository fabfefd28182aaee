#include "support/message_box_recorder.h"

#include <algorithm>
#include <utility>

namespace {
// Newest last; the hook procedure of every recorder looks here for the one that answers.
std::mutex g_recordersMutex;
std::vector<MessageBoxRecorder*> g_recorders;

std::wstring ClassOf(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

std::wstring TextOf(HWND window) {
    const int size = GetWindowTextLengthW(window);
    std::wstring text(static_cast<size_t>(size) + 1, L'\0');
    GetWindowTextW(window, text.data(), size + 1);
    text.resize(static_cast<size_t>(size));
    return text;
}

BoxIcon IconKind(HICON icon) {
    if (!icon)
        return BoxIcon::None;
    if (icon == LoadIconW(nullptr, IDI_HAND))
        return BoxIcon::Error;
    if (icon == LoadIconW(nullptr, IDI_EXCLAMATION))
        return BoxIcon::Warning;
    if (icon == LoadIconW(nullptr, IDI_QUESTION))
        return BoxIcon::Question;
    if (icon == LoadIconW(nullptr, IDI_ASTERISK))
        return BoxIcon::Information;
    return BoxIcon::Other;
}

struct ChildScan {
    RecordedBox* box;
};

BOOL CALLBACK ScanChild(HWND child, LPARAM param) {
    auto* scan = reinterpret_cast<ChildScan*>(param);
    const std::wstring cls = ClassOf(child);
    const LONG style = GetWindowLongW(child, GWL_STYLE);
    if (_wcsicmp(cls.c_str(), L"Static") == 0) {
        if ((style & SS_TYPEMASK) == SS_ICON)
            scan->box->icon =
                IconKind(reinterpret_cast<HICON>(SendMessageW(child, STM_GETICON, 0, 0)));
        else if (scan->box->text.empty())
            scan->box->text = TextOf(child);
    } else if (_wcsicmp(cls.c_str(), L"Button") == 0 && (style & WS_VISIBLE)) {
        scan->box->buttons.push_back(GetDlgCtrlID(child));
    }
    return TRUE;
}
} // namespace

bool IsMessageBox(HWND dialog) {
    const auto procedure = GetWindowLongPtrW(dialog, DWLP_DLGPROC);
    HMODULE owner = nullptr;
    if (!procedure || !GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                              GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                                          reinterpret_cast<LPCWSTR>(procedure), &owner))
        return false;
    return owner == GetModuleHandleW(L"user32.dll");
}

MessageBoxRecorder::MessageBoxRecorder(DWORD threadId, Answers answers, Listener listener)
    : thread_(threadId), scope_(answers), listener_(std::move(listener)) {
    {
        std::lock_guard<std::mutex> lock(g_recordersMutex);
        g_recorders.push_back(this);
    }
    hook_ = SetWindowsHookExW(WH_CBT, &MessageBoxRecorder::HookProc, nullptr, threadId);
}

MessageBoxRecorder::~MessageBoxRecorder() {
    if (hook_)
        UnhookWindowsHookEx(hook_);
    std::lock_guard<std::mutex> lock(g_recordersMutex);
    g_recorders.erase(std::remove(g_recorders.begin(), g_recorders.end(), this), g_recorders.end());
}

void MessageBoxRecorder::Answer(std::initializer_list<int> buttons) {
    std::lock_guard<std::mutex> lock(mutex_);
    answers_.insert(answers_.end(), buttons.begin(), buttons.end());
}

std::vector<RecordedBox> MessageBoxRecorder::Boxes() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return boxes_;
}

size_t MessageBoxRecorder::Count() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return boxes_.size();
}

void MessageBoxRecorder::Clear() {
    std::lock_guard<std::mutex> lock(mutex_);
    boxes_.clear();
    answers_.clear();
}

LRESULT CALLBACK MessageBoxRecorder::HookProc(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE) {
        MessageBoxRecorder* recorder = nullptr;
        {
            std::lock_guard<std::mutex> lock(g_recordersMutex);
            for (auto it = g_recorders.rbegin(); it != g_recorders.rend() && !recorder; ++it)
                if ((*it)->thread_ == GetCurrentThreadId())
                    recorder = *it;
        }
        HWND window = reinterpret_cast<HWND>(wParam);
        if (recorder && ClassOf(window) == L"#32770" &&
            (recorder->scope_ == Answers::EveryDialog || IsMessageBox(window)))
            recorder->OnActivate(window);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void MessageBoxRecorder::OnActivate(HWND window) {
    std::lock_guard<std::mutex> lock(mutex_);
    seen_.erase(std::remove_if(seen_.begin(), seen_.end(), [](HWND w) { return !IsWindow(w); }),
                seen_.end());
    // A box is activated again whenever the focus comes back to it; answer it once.
    if (std::find(seen_.begin(), seen_.end(), window) != seen_.end())
        return;
    seen_.push_back(window);
    RecordedBox box;
    box.title = TextOf(window);
    box.owner = GetWindow(window, GW_OWNER);
    box.hasOwner = box.owner != nullptr;
    ChildScan scan{&box};
    EnumChildWindows(window, ScanChild, reinterpret_cast<LPARAM>(&scan));

    int press;
    if (!answers_.empty()) {
        press = answers_.front();
        answers_.pop_front();
    } else if (std::find(box.buttons.begin(), box.buttons.end(), IDCANCEL) != box.buttons.end()) {
        press = IDCANCEL;
    } else {
        press = box.buttons.empty() ? IDOK : box.buttons.front();
    }
    if (listener_)
        listener_(box, press);
    boxes_.push_back(box);
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(press, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(window, press)));
}
