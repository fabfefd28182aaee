// Ways to bring the "Hex Editor" page up in a test:
// - DropDataObject: a data object serving CF_HDROP (or the shell's item list) for given paths,
//   counting its references.
// - InProcessSheet: a modeless property sheet on this thread holding the page of a CShellExt
//   linked into the test program, so its fields can be looked at and set.
// - OpenShellProperties: Wine's own Properties dialog for some items, through the shell's
//   context menu, run modally on this thread while a second thread drives it.
#pragma once

#include <windows.h>

#include <commctrl.h>
#include <ole2.h>

#include <functional>
#include <string>
#include <vector>

#include "support/message_box_recorder.h"

class CShellExt;

// A CF_HDROP block for the paths (DROPFILES followed by the paths, wide or in the ANSI code
// page).
HGLOBAL MakeDrop(const std::vector<std::wstring>& paths, bool wide = true);

class DropDataObject : public IDataObject {
  public:
    // Starts with one reference, the caller's. Serves the drop list, the item list, or both.
    explicit DropDataObject(std::vector<std::wstring> paths, bool serveDrop = true,
                            bool serveItemList = false);

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;
    STDMETHODIMP GetData(FORMATETC* format, STGMEDIUM* medium) override;
    STDMETHODIMP GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    STDMETHODIMP QueryGetData(FORMATETC* format) override;
    STDMETHODIMP GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override;
    STDMETHODIMP SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
    STDMETHODIMP DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override {
        return OLE_E_ADVISENOTSUPPORTED;
    }
    STDMETHODIMP DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    STDMETHODIMP EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }

    LONG References() const { return refs_; }
    int GetDataCalls() const { return getDataCalls_; }
    // Item lists handed out and not yet given back through ReleaseStgMedium.
    LONG ItemListsOut() const { return itemLists_.out; }

  private:
    // Stands for the data object in the item list's medium: ReleaseStgMedium releases it
    // instead of freeing the block, and it frees the block.
    struct ItemListHold : IUnknown {
        LONG out = 0;
        HGLOBAL block = nullptr;
        STDMETHODIMP QueryInterface(REFIID, void** object) override {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        STDMETHODIMP_(ULONG) AddRef() override { return ++out; }
        STDMETHODIMP_(ULONG) Release() override {
            if (--out == 0)
                block = GlobalFree(block);
            return out;
        }
    };
    virtual ~DropDataObject() = default;
    std::vector<std::wstring> paths_;
    bool serveDrop_;
    bool serveItemList_;
    LONG refs_ = 1;
    int getDataCalls_ = 0;
    ItemListHold itemLists_;
};

// The pages AddPages offered, collected by an add-page callback that accepts (or refuses) them.
struct PageCollector {
    std::vector<HPROPSHEETPAGE> pages;
    bool accept = true;
    int offered = 0;
    static BOOL CALLBACK Add(HPROPSHEETPAGE page, LPARAM collector);
};

// The sheet itself is a dialog too: a recorder that is listening when it opens records it and
// presses its Cancel. InProcessSheet drops that press; this drops the record.
std::vector<RecordedBox> MessageBoxesOnly(const MessageBoxRecorder& recorder);

class InProcessSheet {
  public:
    static constexpr const wchar_t* kCaption = L"Test item";

    explicit InProcessSheet(const std::vector<std::wstring>& paths);
    ~InProcessSheet();
    InProcessSheet(const InProcessSheet&) = delete;
    InProcessSheet& operator=(const InProcessSheet&) = delete;

    CShellExt& ext() { return *ext_; }
    HWND sheet() const { return sheet_; }
    HWND page() const { return page_; } // the Hex Editor page, null when none was added
    HWND control(int id) const { return GetDlgItem(page_, id); }

    // Presses a sheet button and reports whether the sheet is still open afterwards.
    bool PressButton(int button);
    void Close(); // destroys the sheet, as its owner does after OK or Cancel

  private:
    CShellExt* ext_ = nullptr;
    HWND sheet_ = nullptr;
    HWND page_ = nullptr;
};

// The sheet of a thread: its visible top-level dialog with a tab control; null when none.
HWND FindSheetOfThread(DWORD thread);
// Waits for it up to `milliseconds`.
HWND WaitForSheet(DWORD thread, int milliseconds);
// Makes the "Hex Editor" tab current and returns its page window (null when there is none).
HWND ShowHexPage(HWND sheet);

// Opens Wine's own Properties dialog for items of one folder on this thread; `drive` runs on a
// second thread with the sheet (null when none showed up in time) and should close it.
// `beforeInvoke` runs once the items are parsed, just before the dialog is asked for. Returns
// the result of InvokeCommand.
HRESULT OpenShellProperties(const std::vector<std::wstring>& paths,
                            const std::function<void(HWND sheet)>& drive,
                            const std::function<void()>& beforeInvoke = nullptr);

// Focus window of another thread.
HWND FocusOfThread(DWORD thread);

// Text of a window (any thread of this process).
std::wstring WindowText(HWND window);
// Entries of a combo box.
std::vector<std::wstring> ComboEntries(HWND combo);
