// Answers the message boxes (and other dialogs) that code under test raises on a thread, and
// records what each one said: its text, title, buttons and icon.
#pragma once

#include <windows.h>

#include <deque>
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
    // Hooks the given thread (the calling one by default). Only one recorder at a time.
    explicit MessageBoxRecorder(DWORD threadId = GetCurrentThreadId());
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

    HHOOK hook_ = nullptr;
    mutable std::mutex mutex_;
    std::deque<int> answers_;
    std::vector<RecordedBox> boxes_;
    std::vector<HWND> seen_;
};
