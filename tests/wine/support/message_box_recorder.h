// Answers the message boxes that code under test raises on a thread, and records what each one
// said: its text, title, buttons and icon. Other dialogs (the property sheet, dialogs a test
// drives itself) are left alone unless the recorder is made to answer every dialog.
#pragma once

#include <windows.h>

#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

enum class BoxIcon { None, Error, Warning, Question, Information, Other };

struct RecordedBox {
    std::wstring text;
    std::wstring title;
    std::vector<int> buttons; // control ids in the box's order: IDYES, IDNO, IDCANCEL, ...
    BoxIcon icon = BoxIcon::None;
    bool hasOwner = false;
    HWND owner = nullptr;
};

class MessageBoxRecorder {
  public:
    enum class Answers { BoxesOnly, EveryDialog };
    // Told of each box as it is answered, with the button pressed.
    using Listener = std::function<void(const RecordedBox& box, int pressed)>;

    // Hooks the given thread (the calling one by default). Recorders nest: the newest one of a
    // thread answers, an older one waits until the newer one is gone.
    explicit MessageBoxRecorder(DWORD threadId = GetCurrentThreadId(),
                                Answers answers = Answers::BoxesOnly, Listener listener = nullptr);
    ~MessageBoxRecorder();
    MessageBoxRecorder(const MessageBoxRecorder&) = delete;
    MessageBoxRecorder& operator=(const MessageBoxRecorder&) = delete;

    // The buttons to press, in order, for the next boxes. With none queued the box's
    // Cancel (or its only button) is pressed.
    void Answer(std::initializer_list<int> buttons);
    std::vector<RecordedBox> Boxes() const;
    size_t Count() const;
    void Clear();

  private:
    static LRESULT CALLBACK HookProc(int code, WPARAM wParam, LPARAM lParam);
    void OnActivate(HWND box);

    DWORD thread_;
    Answers scope_;
    Listener listener_;
    HHOOK hook_ = nullptr;
    mutable std::mutex mutex_;
    std::deque<int> answers_;
    std::vector<RecordedBox> boxes_;
    std::vector<HWND> seen_;
};

// A message box is a dialog whose procedure is USER32's own.
bool IsMessageBox(HWND dialog);
