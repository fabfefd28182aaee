// What a user sees of a window: its client area copied from the screen, pixel by pixel.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

class Capture {
  public:
    // Copies the client area of `window` as it is on the screen now (caret included).
    explicit Capture(HWND window);

    int width() const { return width_; }
    int height() const { return height_; }
    COLORREF At(int x, int y) const;
    // Pixels of `colour` within [left, right) x [top, bottom), clipped to the capture.
    int Count(COLORREF colour, RECT area) const;
    // Pixels within the area that differ from `colour`.
    int CountOther(COLORREF colour, RECT area) const;
    // True when both captures hold the same pixels in the given areas (same sizes).
    bool SameAs(const Capture& other, RECT mine, POINT theirs) const;
    // Writes a 24-bit BMP file.
    bool SaveBmp(const std::wstring& path) const;

  private:
    int width_ = 0;
    int height_ = 0;
    std::vector<uint32_t> pixels_; // 0x00RRGGBB, top row first
};

inline RECT Area(int left, int top, int right, int bottom) {
    return RECT{left, top, right, bottom};
}
