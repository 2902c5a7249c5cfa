#pragma once
// Reading back what a view drew.
#include <QImage>
#include <QRect>
#include <cstdint>

// The pixel as 0xRRGGBB.
inline std::uint32_t PixelAt(const QImage& image, int x, int y) {
  return image.pixel(x, y) & 0xFFFFFFu;
}

// Whether any pixel of the rectangle differs from the colour.
inline bool AnyPixelBut(const QImage& image, const QRect& area, std::uint32_t colour) {
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x)
      if (PixelAt(image, x, y) != colour) return true;
  return false;
}

// Whether any pixel of the rectangle has the colour.
inline bool AnyPixelOf(const QImage& image, const QRect& area, std::uint32_t colour) {
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x)
      if (PixelAt(image, x, y) == colour) return true;
  return false;
}
