#include "page/core/help_texts.h"

#include "page/core/web_host.h"

namespace help {

std::wstring PopupText(int id, uint32_t dropCount) {
    switch (id) {
    case 1049:
        return std::wstring(L"Kestrow propWeave Module.\nFor more information and free updates "
                            L"visit ") +
               web::kHost;
    case 1053:
        return std::wstring(L"Uses your default internet browser to open website ") + web::kHost;
    case 1054:
    case 1124:
        return L"Opens Kestrow Hex Editor online help in your default browser over the "
               L"internet.\n\nShortcut: (Alt+H) and SPACE";
    case 1116:
        return L"Shows curently selected file content.\n\nShortcut: (Alt+V)";
    case 1117:
    case 1123:
        return L"Displays the name of the file which currently is being edited and allows select "
               L"another file to edit.\nIf there is only one file selected this control is "
               L"disabled.\n\nShortcut: (Alt+F)";
    case 1118:
        return L"Shows the icon for the file or files you are looking at. If it\u2019s possible, "
               L"contents of the file is shown.";
    case 1119:
    case 1121:
        return dropCount > 1 ? L"Shows how many files and folders were selected when you choose "
                               L"to look at the properties."
                             : L"Displays the name of the file or folder.";
    case 1120:
    case 1122:
        return L"Shows where the file or folder is located on your computer.";
    default:
        return std::wstring();
    }
}

} // namespace help
