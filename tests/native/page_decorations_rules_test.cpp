// The page's decoration rules without a window: the banner bitmap for a control width, the
// popup texts and anchor, the view's height when it fills the page, the web addresses.
#include <gtest/gtest.h>

#include "page/core/banner_choice.h"
#include "page/core/help_texts.h"
#include "page/core/view_size_rules.h"
#include "page/core/web_host.h"

TEST(BannerChoice, NearestSizeByControlWidth) {
    struct Case {
        int width, id, bitmapWidth, bitmapHeight;
    };
    const Case cases[] = {
        {120, 163, 120, 16}, {160, 165, 160, 20}, {200, 166, 200, 25},
        {230, 164, 240, 31}, {240, 164, 240, 31}, {121, 164, 240, 31},
        {0, 164, 240, 31},   {241, 167, 620, 80}, {300, 167, 620, 80},
    };
    for (const Case& c : cases) {
        const banner::Choice got = banner::ChooseBitmap(c.width);
        EXPECT_EQ(got.id, c.id) << c.width;
        EXPECT_EQ(got.width, c.bitmapWidth) << c.width;
        EXPECT_EQ(got.height, c.bitmapHeight) << c.width;
    }
}

TEST(HelpTexts, EachControlAndThoseWithout) {
    struct Case {
        int id;
        uint32_t dropCount;
        const wchar_t* text;
    };
    const wchar_t* chooser =
        L"Displays the name of the file which currently is being edited and allows select "
        L"another file to edit.\nIf there is only one file selected this control is "
        L"disabled.\n\nShortcut: (Alt+F)";
    const wchar_t* onlineHelp = L"Opens Kestrow Hex Editor online help in your default browser "
                                L"over the internet.\n\nShortcut: (Alt+H) and SPACE";
    const wchar_t* several = L"Shows how many files and folders were selected when you choose "
                             L"to look at the properties.";
    const Case cases[] = {
        {1049, 1,
         L"Kestrow propWeave Module.\nFor more information and free updates visit "
         L"www.example.com"},
        {1053, 1, L"Uses your default internet browser to open website www.example.com"},
        {1054, 1, onlineHelp},
        {1124, 3, onlineHelp},
        {1116, 1, L"Shows curently selected file content.\n\nShortcut: (Alt+V)"},
        {1117, 1, chooser},
        {1123, 2, chooser},
        {1118, 1,
         L"Shows the icon for the file or files you are looking at. If it\u2019s possible, "
         L"contents of the file is shown."},
        {1119, 0, L"Displays the name of the file or folder."},
        {1121, 1, L"Displays the name of the file or folder."},
        {1119, 2, several},
        {1121, 5, several},
        {1120, 1, L"Shows where the file or folder is located on your computer."},
        {1122, 4, L"Shows where the file or folder is located on your computer."},
        {1040, 1, L""},
        {1041, 1, L""},
        {1051, 1, L""},
        {1134, 1, L""},
        {0, 1, L""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(help::PopupText(c.id, c.dropCount), c.text) << c.id << " " << c.dropCount;
}

TEST(HelpTexts, AnchorIsTheLeftEdgeEightBelowTheMiddle) {
    const help::Anchor a = help::PopupAnchor(30, 100, 121); // height 21: middle rounds down
    EXPECT_EQ(a.x, 30);
    EXPECT_EQ(a.y, 118);
    const help::Anchor b = help::PopupAnchor(-50, -40, -20);
    EXPECT_EQ(b.x, -50);
    EXPECT_EQ(b.y, -22);
}

TEST(ViewSize, FullHeightFromThePageAndTheNameLabel) {
    // A page from y 100 to 460 on the screen with "Name:" 9 pixels below its top: the view
    // keeps 2 x 9 pixels of the page's 360.
    EXPECT_EQ(viewsize::FullHeight(100, 460, 109), 342);
    EXPECT_EQ(viewsize::FullHeight(0, 300, 10), 280);
    EXPECT_EQ(viewsize::FullHeight(-200, 100, -190), 280); // a page above the screen's top
}

TEST(WebHost, AddressesOfTheTwoLinks) {
    EXPECT_EQ(web::ModulesAddress(), L"http://www.example.com/kb/?kphm");
    EXPECT_EQ(web::HelpAddress(), L"http://www.example.com/kb/?kphh");
}
