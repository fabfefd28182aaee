#include "support/pixels.h"

#include <algorithm>

#include "hexedit/win32_handles.h"

Capture::Capture(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    width_ = client.right;
    height_ = client.bottom;
    if (width_ <= 0 || height_ <= 0)
        return;
    pixels_.assign(static_cast<size_t>(width_) * height_, 0);

    ScopedWindowDc screen(window);
    UniqueMemoryDc memory(CreateCompatibleDC(screen.get()));
    UniqueBitmap bitmap(CreateCompatibleBitmap(screen.get(), width_, height_));
    {
        ScopedSelectObject use(memory.get(), bitmap.get());
        BitBlt(memory.get(), 0, 0, width_, height_, screen.get(), 0, 0, SRCCOPY);
    }
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width_;
    info.bmiHeader.biHeight = -height_; // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    GetDIBits(memory.get(), bitmap.get(), 0, static_cast<UINT>(height_), pixels_.data(), &info,
              DIB_RGB_COLORS);
}

COLORREF Capture::At(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_)
        return CLR_INVALID;
    const uint32_t p = pixels_[static_cast<size_t>(y) * width_ + x];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
}

int Capture::Count(COLORREF colour, RECT area) const {
    int n = 0;
    for (int y = std::max<int>(0, area.top); y < std::min<int>(height_, area.bottom); ++y)
        for (int x = std::max<int>(0, area.left); x < std::min<int>(width_, area.right); ++x)
            n += At(x, y) == colour ? 1 : 0;
    return n;
}

int Capture::CountOther(COLORREF colour, RECT area) const {
    int n = 0;
    for (int y = std::max<int>(0, area.top); y < std::min<int>(height_, area.bottom); ++y)
        for (int x = std::max<int>(0, area.left); x < std::min<int>(width_, area.right); ++x)
            n += At(x, y) != colour ? 1 : 0;
    return n;
}

bool Capture::SameAs(const Capture& other, RECT mine, POINT theirs) const {
    for (int y = mine.top; y < mine.bottom; ++y)
        for (int x = mine.left; x < mine.right; ++x)
            if (At(x, y) != other.At(theirs.x + x - mine.left, theirs.y + y - mine.top))
                return false;
    return true;
}

bool Capture::SaveBmp(const std::wstring& path) const {
    const int stride = (width_ * 3 + 3) & ~3;
    const DWORD imageSize = static_cast<DWORD>(stride) * static_cast<DWORD>(height_);
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER header{};
    file.bfType = 0x4D42; // "BM"
    file.bfOffBits = sizeof(file) + sizeof(header);
    file.bfSize = file.bfOffBits + imageSize;
    header.biSize = sizeof(header);
    header.biWidth = width_;
    header.biHeight = height_; // bottom row first
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    header.biSizeImage = imageSize;
    std::vector<uint8_t> image(imageSize, 0);
    for (int y = 0; y < height_; ++y) {
        uint8_t* row = image.data() + static_cast<size_t>(height_ - 1 - y) * stride;
        for (int x = 0; x < width_; ++x) {
            const COLORREF c = At(x, y);
            row[3 * x] = GetBValue(c);
            row[3 * x + 1] = GetGValue(c);
            row[3 * x + 2] = GetRValue(c);
        }
    }
    UniqueFile out(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!out)
        return false;
    DWORD written = 0;
    return WriteFile(out.get(), &file, sizeof(file), &written, nullptr) &&
           WriteFile(out.get(), &header, sizeof(header), &written, nullptr) &&
           WriteFile(out.get(), image.data(), imageSize, &written, nullptr);
}
