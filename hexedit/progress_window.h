// Long reads and writes: the job runs on a worker (hexedit/file_worker.h) while the dialog's
// thread waits here. For the first second the thread answers only messages sent to it, so an
// operation that ends by then looks exactly as before: no window, no change of focus. After
// that a small modal progress window, owned by the sheet and centred over it, shows what is
// done; reads and copies have Cancel (button, Esc, close). While it runs the sheet is disabled and
// input, commands and button presses posted to the sheet are dropped.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "hexedit/core/progress_texts.h"
#include "hexedit/file_worker.h"

// Runs `job` (moving `total` bytes of the file at `path`) off the thread of `view`'s sheet and
// returns its code; ERROR_OPERATION_ABORTED when the user cancelled a read or copy.
DWORD RunFileJob(HWND view, progress::Operation operation, const std::wstring& path, uint64_t total,
                 FileJob job);

// Whether a long read or write is running for the sheet that holds `window`: everything that
// could change the page or the editor is refused meanwhile.
bool FileJobRunningOn(HWND window);

// Whether `message` to `window` is the user's typing, clicking or menu key during such an
// operation. Posted ones are dropped before they arrive; these are the ones sent.
bool InputRefusedNow(HWND window, UINT message);
