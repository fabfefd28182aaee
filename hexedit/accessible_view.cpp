#include "hexedit/accessible_view.h"

#include <oleacc.h>

#include <new>
#include <string>

#include "hexedit/com_object.h"
#include "hexedit/hex_edit.h"

namespace {

LONG g_liveObjects = 0;

HRESULT PutText(const std::string& text, BSTR* out) {
    *out = nullptr;
    if (text.empty())
        return S_FALSE;
    // The texts are plain ASCII.
    const std::wstring wide(text.begin(), text.end());
    *out = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
    return *out ? S_OK : E_OUTOFMEMORY;
}

HRESULT PutLong(LONG value, VARIANT* out) {
    out->vt = VT_I4;
    out->lVal = value;
    return S_OK;
}

} // namespace

LONG LiveAccessibleObjects() {
    return InterlockedCompareExchange(&g_liveObjects, 0, 0);
}

// Answers for child 0 and the caret cell from the editor's fields; what is not the view's own
// (parent, help, default action, keyboard shortcut, selection) comes from the system's object
// for the control. Once disconnected every call says so.
class AccessibleView final : public ComObject<AccessibleView, IAccessible> {
  public:
    static const QITAB kInterfaces[];

    static AccessibleView* Create(CHexEdit& editor) {
        auto* view = new (std::nothrow) AccessibleView(editor);
        if (!view)
            return nullptr;
        view->AddRef(); // the view's own reference
        if (FAILED(CreateStdAccessibleObject(editor.hwnd, OBJID_CLIENT, IID_IAccessible,
                                             reinterpret_cast<void**>(&view->standard_))))
            view->standard_ = nullptr; // then only the view's own answers are given
        return view;
    }

    void Disconnect() {
        editor_ = nullptr;
        if (standard_)
            standard_->Release();
        standard_ = nullptr;
    }

    // IDispatch: no type information; clients use the IAccessible methods.
    STDMETHODIMP GetTypeInfoCount(UINT* count) override {
        if (!count)
            return E_POINTER;
        *count = 0;
        return S_OK;
    }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                        UINT*) override {
        return E_NOTIMPL;
    }

    // IAccessible
    STDMETHODIMP get_accParent(IDispatch** parent) override {
        if (!parent)
            return E_POINTER;
        *parent = nullptr;
        return Gone() ? CO_E_OBJNOTCONNECTED
                      : Delegate([&](IAccessible* s) { return s->get_accParent(parent); });
    }
    STDMETHODIMP get_accChildCount(long* count) override {
        if (!count)
            return E_POINTER;
        *count = 0;
        if (Gone())
            return CO_E_OBJNOTCONNECTED;
        *count = HasCell() ? 1 : 0;
        return S_OK;
    }
    STDMETHODIMP get_accChild(VARIANT child, IDispatch** out) override {
        const HRESULT hr = Prepare(child, out);
        return hr != S_OK ? hr : IsCell(child) ? S_FALSE : E_INVALIDARG;
    }
    STDMETHODIMP get_accName(VARIANT child, BSTR* out) override {
        return Text(
            child, out, [](const a11y::CaretFacts&) { return std::string(a11y::kViewName); },
            a11y::CellName);
    }
    STDMETHODIMP get_accValue(VARIANT child, BSTR* out) override {
        return Text(child, out, a11y::ViewValue, a11y::CellValue);
    }
    STDMETHODIMP get_accDescription(VARIANT child, BSTR* out) override {
        return Text(
            child, out, [](const a11y::CaretFacts& f) { return a11y::ViewDescription(f.length); },
            a11y::CellDescription);
    }
    STDMETHODIMP get_accRole(VARIANT child, VARIANT* role) override {
        const HRESULT hr = Prepare(child, role);
        return hr != S_OK ? hr : PutLong(IsCell(child) ? ROLE_SYSTEM_CELL : ROLE_SYSTEM_TEXT, role);
    }
    STDMETHODIMP get_accState(VARIANT child, VARIANT* state) override {
        const HRESULT hr = Prepare(child, state);
        if (hr != S_OK)
            return hr;
        const bool focused = GetFocus() == editor_->hwnd;
        if (IsCell(child)) {
            LONG cell = STATE_SYSTEM_FOCUSABLE | (focused ? STATE_SYSTEM_FOCUSED : 0);
            if (!a11y::CaretCellBox(*editor_).visible)
                cell |= STATE_SYSTEM_OFFSCREEN;
            return PutLong(cell, state);
        }
        // The placeholder was made read-only, the view is not; a view that failed to load is
        // disabled and takes nothing.
        VARIANT self{};
        self.vt = VT_I4;
        self.lVal = CHILDID_SELF;
        VARIANT standard{};
        LONG bits = 0;
        if (standard_ && SUCCEEDED(standard_->get_accState(self, &standard)) &&
            standard.vt == VT_I4)
            bits = standard.lVal;
        bits &= ~(STATE_SYSTEM_READONLY | STATE_SYSTEM_UNAVAILABLE | STATE_SYSTEM_FOCUSED);
        if (!IsWindowEnabled(editor_->hwnd))
            bits = (bits & ~STATE_SYSTEM_FOCUSABLE) | STATE_SYSTEM_UNAVAILABLE;
        else
            bits |= STATE_SYSTEM_FOCUSABLE | (focused ? STATE_SYSTEM_FOCUSED : 0);
        return PutLong(bits, state);
    }
    STDMETHODIMP get_accHelp(VARIANT child, BSTR* out) override {
        return ForSelf(child, out, &IAccessible::get_accHelp);
    }
    STDMETHODIMP get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override {
        if (!file || !topic)
            return E_POINTER;
        *file = nullptr;
        *topic = 0;
        const HRESULT hr = Check(child);
        if (hr != S_OK)
            return hr;
        return IsCell(child) ? S_FALSE : Delegate([&](IAccessible* s) {
            return s->get_accHelpTopic(file, child, topic);
        });
    }
    STDMETHODIMP get_accKeyboardShortcut(VARIANT child, BSTR* out) override {
        return ForSelf(child, out, &IAccessible::get_accKeyboardShortcut);
    }
    STDMETHODIMP get_accFocus(VARIANT* out) override {
        if (!out)
            return E_POINTER;
        VariantInit(out);
        if (Gone())
            return CO_E_OBJNOTCONNECTED;
        if (GetFocus() != editor_->hwnd)
            return S_FALSE;
        return PutLong(HasCell() ? kCaretCellChild : CHILDID_SELF, out);
    }
    STDMETHODIMP get_accSelection(VARIANT* out) override {
        if (!out)
            return E_POINTER;
        VariantInit(out);
        return Gone() ? CO_E_OBJNOTCONNECTED
                      : Delegate([&](IAccessible* s) { return s->get_accSelection(out); });
    }
    STDMETHODIMP get_accDefaultAction(VARIANT child, BSTR* out) override {
        return ForSelf(child, out, &IAccessible::get_accDefaultAction);
    }
    STDMETHODIMP accSelect(long flags, VARIANT child) override {
        const HRESULT hr = Check(child);
        if (hr != S_OK)
            return hr;
        if (IsCell(child)) {
            if (flags != SELFLAG_TAKEFOCUS)
                return DISP_E_MEMBERNOTFOUND;
            SetFocus(editor_->hwnd);
            return S_OK;
        }
        return Delegate([&](IAccessible* s) { return s->accSelect(flags, child); });
    }
    STDMETHODIMP accLocation(long* left, long* top, long* width, long* height,
                             VARIANT child) override {
        if (!left || !top || !width || !height)
            return E_POINTER;
        *left = *top = *width = *height = 0;
        const HRESULT hr = Check(child);
        if (hr != S_OK)
            return hr;
        if (!IsCell(child))
            return Delegate(
                [&](IAccessible* s) { return s->accLocation(left, top, width, height, child); });
        const a11y::CellBox box = a11y::CaretCellBox(*editor_);
        if (!box.visible)
            return S_FALSE;
        POINT corner{box.x, box.y};
        ClientToScreen(editor_->hwnd, &corner);
        *left = corner.x;
        *top = corner.y;
        *width = box.width;
        *height = box.height;
        return S_OK;
    }
    STDMETHODIMP accNavigate(long direction, VARIANT start, VARIANT* end) override {
        const HRESULT hr = Prepare(start, end);
        if (hr != S_OK)
            return hr;
        if (IsCell(start))
            return S_FALSE; // an only child has no siblings
        if (direction == NAVDIR_FIRSTCHILD || direction == NAVDIR_LASTCHILD)
            return HasCell() ? PutLong(kCaretCellChild, end) : S_FALSE;
        return Delegate([&](IAccessible* s) { return s->accNavigate(direction, start, end); });
    }
    STDMETHODIMP accHitTest(long x, long y, VARIANT* out) override {
        if (!out)
            return E_POINTER;
        VariantInit(out);
        if (Gone())
            return CO_E_OBJNOTCONNECTED;
        const a11y::CellBox box = a11y::CaretCellBox(*editor_);
        POINT point{x, y};
        ScreenToClient(editor_->hwnd, &point);
        if (HasCell() && box.visible && point.x >= box.x && point.x < box.x + box.width &&
            point.y >= box.y && point.y < box.y + box.height)
            return PutLong(kCaretCellChild, out);
        return Delegate([&](IAccessible* s) { return s->accHitTest(x, y, out); });
    }
    STDMETHODIMP accDoDefaultAction(VARIANT child) override {
        const HRESULT hr = Check(child);
        if (hr != S_OK)
            return hr;
        return IsCell(child)
                   ? DISP_E_MEMBERNOTFOUND
                   : Delegate([&](IAccessible* s) { return s->accDoDefaultAction(child); });
    }
    STDMETHODIMP put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
    STDMETHODIMP put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

  private:
    explicit AccessibleView(CHexEdit& editor) : editor_(&editor) {
        InterlockedIncrement(&g_liveObjects);
    }
    ~AccessibleView() {
        Disconnect();
        InterlockedDecrement(&g_liveObjects);
    }

    bool Gone() const { return editor_ == nullptr; }
    // A view that failed to load (and so is disabled) shows nothing under a caret.
    bool HasCell() const { return IsWindowEnabled(editor_->hwnd) != FALSE; }
    static bool IsCell(const VARIANT& child) { return child.lVal == kCaretCellChild; }

    // S_OK for the view and, while it has one, its caret cell; the error to answer otherwise.
    HRESULT Check(const VARIANT& child) const {
        if (Gone())
            return CO_E_OBJNOTCONNECTED;
        if (child.vt != VT_I4)
            return E_INVALIDARG;
        if (child.lVal == CHILDID_SELF || (IsCell(child) && HasCell()))
            return S_OK;
        return E_INVALIDARG;
    }

    // Empties what `out` points to and checks `child`: S_OK to go on, the answer otherwise.
    template <class Out> HRESULT Prepare(const VARIANT& child, Out* out) const {
        if (!out)
            return E_POINTER;
        Empty(*out);
        return Check(child);
    }
    static void Empty(VARIANT& out) { VariantInit(&out); }
    template <class Pointer> static void Empty(Pointer*& out) { out = nullptr; }

    // The system's object answers what is not the view's own.
    template <class Call> HRESULT Delegate(Call call) {
        return standard_ ? call(standard_) : DISP_E_MEMBERNOTFOUND;
    }

    template <class ViewText, class CellText>
    HRESULT Text(const VARIANT& child, BSTR* out, ViewText view, CellText cell) {
        const HRESULT hr = Prepare(child, out);
        if (hr != S_OK)
            return hr;
        const a11y::CaretFacts facts = a11y::CaretFactsOf(*editor_);
        return PutText(IsCell(child) ? cell(facts) : view(facts), out);
    }

    HRESULT ForSelf(const VARIANT& child, BSTR* out,
                    HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, BSTR*)) {
        const HRESULT hr = Prepare(child, out);
        if (hr != S_OK)
            return hr;
        return IsCell(child) ? S_FALSE
                             : Delegate([&](IAccessible* s) { return (s->*get)(child, out); });
    }

    CHexEdit* editor_;
    IAccessible* standard_ = nullptr;
};

const QITAB AccessibleView::kInterfaces[] = {
    InterfaceEntry<AccessibleView, IAccessible>(),
    InterfaceEntry<AccessibleView, IDispatch>(),
    {},
};

LRESULT ViewAccessibility::Answer(CHexEdit& editor, WPARAM flags) {
    if (!object_)
        object_ = AccessibleView::Create(editor);
    if (!object_)
        return 0;
    // A reference that fits in 64 bits, or a negative error: the whole value tells, not its low
    // half.
    const LRESULT result = LresultFromObject(IID_IAccessible, flags, object_);
    return result > 0 ? result : 0;
}

void ViewAccessibility::Disconnect() {
    if (!object_)
        return;
    object_->Disconnect();
    // Stubs that other processes hold let go of the object, and so of this module, now rather
    // than whenever their clients do.
    CoDisconnectObject(static_cast<IAccessible*>(object_), 0);
    object_->Release();
    object_ = nullptr;
}
