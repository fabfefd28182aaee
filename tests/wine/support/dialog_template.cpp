#include "support/dialog_template.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

class Reader {
  public:
    explicit Reader(const BYTE* at) : base_(at), at_(at) {}
    template <typename T> T Take() {
        T value;
        std::memcpy(&value, at_, sizeof(T));
        at_ += sizeof(T);
        return value;
    }
    std::wstring SzOrOrd(bool classField) {
        const WORD first = Take<WORD>();
        if (first == 0xFFFF) {
            const WORD ordinal = Take<WORD>();
            if (classField) {
                switch (ordinal) {
                case 0x80:
                    return L"Button";
                case 0x81:
                    return L"Edit";
                case 0x82:
                    return L"Static";
                case 0x85:
                    return L"ComboBox";
                }
            }
            return L"#" + std::to_wstring(ordinal);
        }
        std::wstring text;
        for (WORD c = first; c != 0; c = Take<WORD>())
            text += static_cast<wchar_t>(c);
        return text;
    }
    void AlignDword() {
        while ((at_ - base_) % 4)
            ++at_;
    }

  private:
    const BYTE* base_;
    const BYTE* at_;
};

} // namespace

TemplateDialog ParseDialogTemplate(int id) {
    TemplateDialog dialog;
    HRSRC found = FindResourceW(nullptr, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(5));
    if (!found)
        return dialog;
    Reader r(static_cast<const BYTE*>(LockResource(LoadResource(nullptr, found))));
    dialog.found = true;
    dialog.version = r.Take<WORD>();
    dialog.signature = r.Take<WORD>();
    if (dialog.signature != 0xFFFF)
        return dialog;
    r.Take<DWORD>(); // help id
    r.Take<DWORD>(); // extended style
    dialog.style = r.Take<DWORD>();
    const WORD count = r.Take<WORD>();
    dialog.x = r.Take<short>();
    dialog.y = r.Take<short>();
    dialog.cx = r.Take<short>();
    dialog.cy = r.Take<short>();
    r.SzOrOrd(false); // menu
    r.SzOrOrd(false); // class
    dialog.title = r.SzOrOrd(false);
    dialog.pointSize = r.Take<WORD>();
    r.Take<WORD>(); // weight
    r.Take<BYTE>(); // italic
    r.Take<BYTE>(); // charset
    dialog.face = r.SzOrOrd(false);
    for (WORD i = 0; i < count; ++i) {
        r.AlignDword();
        TemplateItem item;
        r.Take<DWORD>(); // help id
        item.exStyle = r.Take<DWORD>();
        item.style = r.Take<DWORD>();
        item.x = r.Take<short>();
        item.y = r.Take<short>();
        item.cx = r.Take<short>();
        item.cy = r.Take<short>();
        item.id = r.Take<DWORD>();
        item.className = r.SzOrOrd(true);
        item.text = r.SzOrOrd(false);
        const WORD extra = r.Take<WORD>();
        for (WORD b = 0; b < extra; ++b)
            r.Take<BYTE>();
        dialog.items.push_back(item);
    }
    return dialog;
}

void ExpectTemplateItems(const TemplateDialog& dialog, const std::vector<ExpectedItem>& expected) {
    ASSERT_EQ(dialog.items.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        const TemplateItem& item = dialog.items[i];
        const ExpectedItem& want = expected[i];
        SCOPED_TRACE(testing::Message() << "control " << static_cast<int>(want.id));
        EXPECT_EQ(item.id, want.id);
        // Window class names are case-insensitive; the compiler may store them upper-case.
        EXPECT_EQ(_wcsicmp(item.className.c_str(), want.className), 0) << item.className;
        EXPECT_EQ(item.text, want.text);
        EXPECT_EQ(item.x, want.x);
        EXPECT_EQ(item.y, want.y);
        EXPECT_EQ(item.cx, want.cx);
        EXPECT_EQ(item.cy, want.cy);
        EXPECT_EQ(item.style, want.style | WS_CHILD | WS_VISIBLE);
        EXPECT_EQ(item.exStyle, 0u);
    }
}
