#include "editor/canvas.h"

#include <QFontMetrics>
#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <vector>

namespace editor {
namespace {

// Far enough outside the image that nothing drawn there can show.
constexpr std::int64_t Margin = 8;
// No syllable or number is wider than this.
constexpr std::int64_t WidestText = 4096;
constexpr QRgb Opaque = 0xFF000000u;
// From this width on, rows are copied rather than filled pixel by pixel.
constexpr int WideBox = 32;

int Clip(std::int64_t value, int size) {
  return static_cast<int>(std::clamp<std::int64_t>(value, -Margin, size + Margin));
}

int Inside(std::int64_t value, int size) {
  return static_cast<int>(std::clamp<std::int64_t>(value, 0, size));
}

} // namespace

QFont PointFont(const char* family, int points, bool bold) {
  QFont font(QString::fromLatin1(family));
  font.setPixelSize(static_cast<int>(std::nearbyint(points * 96.0 / 72.0)));
  font.setBold(bold);
  return font;
}

TCanvas::TCanvas(QImage& image) : image_(image) {
  if (!image_.isNull() && image_.format() != QImage::Format_RGB32)
    image_.convertTo(QImage::Format_RGB32);
  width_ = image_.width();
  height_ = image_.height();
  bits_ = image_.bits();
  stride_ = image_.bytesPerLine();
}

QPainter& TCanvas::Painter() {
  if (!painter_) painter_.emplace(&image_);
  return *painter_;
}

void TCanvas::FillBox(std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2,
                      std::uint32_t colour) {
  const int left = Inside(x1, width_), right = Inside(x2, width_);
  const int top = Inside(y1, height_), bottom = Inside(y2, height_);
  if (right <= left || bottom <= top) return;
  const QRgb value = Opaque | colour;
  if (right - left < WideBox) {
    for (int y = top; y < bottom; ++y)
      std::fill(Line(y) + left, Line(y) + right, value);
    return;
  }
  // Copying the first row is much faster than filling each.
  std::fill(Line(top) + left, Line(top) + right, value);
  for (int y = top + 1; y < bottom; ++y)
    std::memcpy(Line(y) + left, Line(top) + left, std::size_t(right - left) * sizeof(QRgb));
}

void TCanvas::OutlineBox(std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2,
                         std::uint32_t pen) {
  int left = Clip(x1, width_), right = Clip(x2, width_);
  int top = Clip(y1, height_), bottom = Clip(y2, height_);
  if (left > right) std::swap(left, right);
  if (top > bottom) std::swap(top, bottom);
  if (right == left || bottom == top) return;
  FillBox(left, top, right, top + 1, pen);
  FillBox(left, bottom - 1, right, bottom, pen);
  FillBox(left, top, left + 1, bottom, pen);
  FillBox(right - 1, top, right, bottom, pen);
}

void TCanvas::RoundBox(std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2,
                       std::uint32_t pen, std::uint32_t brush) {
  const int left = Clip(x1, width_), right = Clip(x2, width_);
  const int top = Clip(y1, height_), bottom = Clip(y2, height_);
  if (right <= left || bottom <= top) return;
  FillBox(left + 1, top + 1, right - 1, bottom - 1, brush);
  FillBox(left + 1, top, right - 1, top + 1, pen);
  FillBox(left + 1, bottom - 1, right - 1, bottom, pen);
  FillBox(left, top + 1, left + 1, bottom - 1, pen);
  FillBox(right - 1, top + 1, right, bottom - 1, pen);
}

void TCanvas::Ellipse(std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2,
                      std::uint32_t brush) {
  if (x2 <= x1 || y2 <= y1) return;
  // Row by row, so that small circles come out round and symmetric.
  const double cx = (double(x1) + double(x2)) / 2, rx = (double(x2) - double(x1)) / 2;
  const double cy = (double(y1) + double(y2)) / 2, ry = (double(y2) - double(y1)) / 2;
  auto column = [this](double x) {
    return static_cast<std::int64_t>(std::clamp(x, double(-Margin), double(width_ + Margin)));
  };
  for (int y = Inside(y1, height_); y < Inside(y2, height_); ++y) {
    const double dy = (y + 0.5 - cy) / ry;
    const double half = rx * std::sqrt(std::max(0.0, 1 - dy * dy));
    FillBox(column(std::ceil(cx - half - 0.5)), y, column(std::floor(cx + half - 0.5) + 1), y + 1,
            brush);
  }
}

void TCanvas::VerticalLine(std::int64_t x, std::int64_t y1, std::int64_t y2, std::uint32_t pen) {
  FillBox(x, y1, x + 1, y2, pen);
}

void TCanvas::HorizontalLine(std::int64_t x1, std::int64_t x2, std::int64_t y, std::uint32_t pen) {
  FillBox(x1, y, x2, y + 1, pen);
}

void TCanvas::DottedVerticalLine(std::int64_t x, std::int64_t y1, std::int64_t y2,
                                 std::uint32_t pen) {
  if (x < 0 || x >= width_) return;
  std::int64_t first = std::max<std::int64_t>(y1, 0);
  first += (first - y1) % 2; // the dots keep their places when the top is clipped
  for (std::int64_t y = first; y < std::min<std::int64_t>(y2, height_); y += 2)
    Line(static_cast<int>(y))[x] = Opaque | pen;
}

void TCanvas::StretchPixels(std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2,
                            const std::uint32_t* pixels, int width, int height) {
  const int left = Inside(x1, width_), right = Inside(x2, width_);
  const int top = Inside(y1, height_), bottom = Inside(y2, height_);
  if (right <= left || bottom <= top || width <= 0 || height <= 0) return;
  // The source column and row under each target pixel's centre.
  const double xScale = width / (double(x2) - double(x1));
  const double yScale = height / (double(y2) - double(y1));
  std::vector<int> columns(std::size_t(right - left));
  for (int x = left; x < right; ++x)
    columns[std::size_t(x - left)] =
        std::min(width - 1, static_cast<int>((x - double(x1) + 0.5) * xScale));
  int previousRow = -1;
  for (int y = top; y < bottom; ++y) {
    const int row = std::min(height - 1, static_cast<int>((y - double(y1) + 0.5) * yScale));
    QRgb* line = Line(y) + left;
    if (row == previousRow) {
      std::memcpy(line, Line(y - 1) + left, columns.size() * sizeof(QRgb));
      continue;
    }
    auto* source = const_cast<std::uint32_t*>(pixels + std::ptrdiff_t(row) * width);
    // Analyser threads may be filling these pixels right now.
    for (std::size_t i = 0; i < columns.size(); ++i)
      line[i] = Opaque |
                std::atomic_ref<std::uint32_t>(source[columns[i]]).load(std::memory_order_relaxed);
    previousRow = row;
  }
}

void TCanvas::Polyline(const std::vector<QPoint>& points, std::uint32_t pen, int width,
                       const QRect& clip) {
  if (points.empty() || clip.isEmpty()) return;
  QPainter& painter = Painter();
  painter.setClipRect(clip);
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.setPen(QPen(QColor::fromRgb(pen), width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  if (points.size() == 1)
    painter.drawPoint(points.front());
  else
    painter.drawPolyline(points.data(), static_cast<int>(points.size()));
  painter.setClipping(false);
}

void TCanvas::Text(std::int64_t x, std::int64_t y, const QString& text, const QFont& font,
                   std::uint32_t colour) {
  if (text.isEmpty() || x >= width_ || y >= height_ || x < -WidestText || y < -WidestText) return;
  QPainter& painter = Painter();
  painter.setFont(font);
  painter.setPen(QColor::fromRgb(colour));
  painter.drawText(
      QPoint(static_cast<int>(x), static_cast<int>(y) + painter.fontMetrics().ascent()), text);
}

} // namespace editor
