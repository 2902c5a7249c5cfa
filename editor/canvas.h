#pragma once
// The drawing surface of the note view and the line display, in the
// coordinates the views are described in: rectangles run from (x1, y1) up to
// but not including (x2, y2), and so do lines. Coordinates far outside the
// image are fine; everything is clipped to it. Solid shapes are written
// straight into the pixels, text goes through QPainter.
#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QRect>
#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

namespace editor {

// Fonts are sized in points at 96 pixels per inch, in pixels, so that a picture
// is the same on every screen and in every image.
QFont PointFont(const char* family, int points, bool bold = false);

class TCanvas {
public:
  // Turns the image into Format_RGB32 first if it is of another format.
  explicit TCanvas(QImage& image);

  int Width() const { return width_; }
  int Height() const { return height_; }

  // Colours are written as 0xRRGGBB.
  void FillBox(std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2,
               std::uint32_t colour);
  void OutlineBox(std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2,
                  std::uint32_t pen);
  // Filled with the brush and outlined with the pen; the 3 x 3 corner ellipses
  // leave each corner pixel out.
  void RoundBox(std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2,
                std::uint32_t pen, std::uint32_t brush);
  // Filled, without outline: the pixels whose centres lie inside.
  void Ellipse(std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2,
               std::uint32_t brush);
  void VerticalLine(std::int64_t x, std::int64_t y1, std::int64_t y2, std::uint32_t pen);
  void HorizontalLine(std::int64_t x1, std::int64_t x2, std::int64_t y, std::uint32_t pen);
  // Every other pixel from y1 on; the ones between keep what lies below.
  void DottedVerticalLine(std::int64_t x, std::int64_t y1, std::int64_t y2, std::uint32_t pen);
  // Pixels 0x00RRGGBB, row by row, stretched into the rectangle by taking the
  // nearest source pixel.
  void StretchPixels(std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2,
                     const std::uint32_t* pixels, int width, int height);
  // Straight segments through the points, `width` pixels wide, not smoothed, so
  // the same points give the same pixels; nothing outside the clip rectangle.
  void Polyline(const std::vector<QPoint>& points, std::uint32_t pen, int width, const QRect& clip);
  // Text with its top left corner at (x, y) on a transparent background.
  void Text(std::int64_t x, std::int64_t y, const QString& text, const QFont& font,
            std::uint32_t colour);

private:
  QRgb* Line(int y) { return reinterpret_cast<QRgb*>(bits_ + std::ptrdiff_t(y) * stride_); }
  QPainter& Painter();

  QImage& image_;
  int width_;
  int height_;
  uchar* bits_;
  qsizetype stride_;
  std::optional<QPainter> painter_;
};

} // namespace editor
