#include "page/core/help_texts.h"

#include "page/core/web_host.h"
#include "resources/resource_ids.h"

namespace help {

std::wstring PopupText(int id, uint32_t dropCount) {
    switch (id) {
    case IDC_BANNER:
        return std::wstring(L"Kestrow propWeave Module.\nFor more information and free updates "
                            L"visit ") +
               web::kHost;
    case IDC_MODULES_LINK:
        return std::wstring(L"Uses your default internet browser to open website ") + web::kHost;
    case IDC_HELP_LINK:
    case IDC_HELP_LABEL:
        return L"Opens Kestrow Hex Editor online help in your default browser over the "
               L"internet.\n\nShortcut: (Alt+H) and SPACE";
    case IDC_HEX_VIEW:
        return L"Shows curently selected file content.\n\nShortcut: (Alt+V)";
    case IDC_FILE_CHOOSER:
    case IDC_FILE_LABEL:
        return L"Displays the name of the file which currently is being edited and allows select "
               L"another file to edit.\nIf there is only one file selected this control is "
               L"disabled.\n\nShortcut: (Alt+F)";
    case IDC_HEADER_ICON:
        return L"Shows the icon for the file or files you are looking at. If it\u2019s possible, "
               L"contents of the file is shown.";
    case IDC_NAME_LABEL:
    case IDC_NAME_TEXT:
        return dropCount > 1 ? L"Shows how many files and folders were selected when you choose "
                               L"to look at the properties."
                             : L"Displays the name of the file or folder.";
    case IDC_LOCATION_LABEL:
    case IDC_LOCATION_TEXT:
        return L"Shows where the file or folder is located on your computer.";
    default:
        return std::wstring();
    }
}

} // namespace help
