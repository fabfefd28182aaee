// Long reads and writes: the job runs on a worker (hexedit/file_worker.h) while the dialog's
// thread waits here. For the first second the thread answers only messages sent to it, so an
// operation that ends by then looks exactly as before: no window, no change of focus. After
// that a small modal progress window, owned by the sheet and centred over it, shows what is
// done; reads and copies have Cancel (button, Esc, close). While it runs the sheet is disabled;
// typing and clicks posted to it are dropped, and commands, closing and button presses posted to
// it are held back and posted again once the operation has ended.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "hexedit/core/progress_texts.h"
#include "hexedit/file_worker.h"

// Posted by a window of the sheet to itself for work that may start a job of its own: held back
// while a job runs for the sheet and delivered once it has ended.
constexpr UINT WM_AFTERFILEJOB = WM_APP + 3;

// What Cancel does: stop after the current chunk (the job uses blocks the caller owns), or stop
// waiting at once and leave a job that owns all it uses to end on its own, however long a stalled
// medium keeps it in a call.
enum class OnCancel { WaitForChunk, LeaveBehind };

// Runs `job` (moving `total` bytes of the file at `path`, or FileJobProgress::kUnknownTotal for
// the job to tell) off the thread of `view`'s sheet and returns its code;
// ERROR_OPERATION_ABORTED when the user cancelled a read or copy. While it runs the end of the
// session is held back for a save, and ends a read or copy as Cancel would. One job at a time
// for a sheet: asked for while one runs (from something its wait let run), ERROR_BUSY.
DWORD RunFileJob(HWND view, progress::Operation operation, const std::wstring& path, uint64_t total,
                 FileJob job, OnCancel onCancel = OnCancel::WaitForChunk);

// Whether a long read or write is running for the sheet that holds `window`: everything that
// could change the page or the editor is refused meanwhile.
bool FileJobRunningOn(HWND window);

// Whether `message` to `window` is the user's typing, clicking or menu key during such an
// operation. Posted ones are dropped before they arrive; these are the ones sent.
bool InputRefusedNow(HWND window, UINT message);
