// The view as assistive technology sees it through Active Accessibility: the view itself
// (child 0) and one child, the caret cell (child 1). The texts come from hexedit/core; this
// object only hands them out, and keeps to the system's own object for the control in all
// else.
#pragma once

#include <windows.h>

#include "hexedit/core/accessible_text.h"

class CHexEdit;
class AccessibleView;

// The caret cell's child id.
constexpr LONG kCaretCellChild = 1;

// Accessible objects alive in this process, also those a client holds after their view has
// gone; the module must stay loaded while there are any.
LONG LiveAccessibleObjects();

// The view's side of it: its accessible object, made when first asked for and let go of when
// the view or the editor goes, and what the caret cell said at the last focus event.
class ViewAccessibility {
  public:
    ViewAccessibility() = default;
    ~ViewAccessibility() { Disconnect(); }
    ViewAccessibility(const ViewAccessibility&) = delete;
    ViewAccessibility& operator=(const ViewAccessibility&) = delete;

    // The answer to WM_GETOBJECT for OBJID_CLIENT; 0 when there is none to give, so the
    // system's own object answers.
    LRESULT Answer(CHexEdit& editor, WPARAM flags);
    // From now on a client still holding the object is told the view is gone.
    void Disconnect();

    a11y::CaretFacts told;     // as of the last focus event for the caret cell
    bool focused = false;      // from WM_SETFOCUS to WM_KILLFOCUS: no need to ask the system
    int handling = 0;          // input messages being handled; menus and dialogs nest them
    bool focusArrived = false; // WM_SETFOCUS came while one was

  private:
    AccessibleView* object_ = nullptr;
};
