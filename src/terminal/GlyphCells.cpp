#include "terminal/GlyphCells.h"

#include <QGlyphRun>
#include <QPaintEngine>
#include <QPainter>
#include <QString>
#include <cstring>

#include "terminal/terminal_info.h"

namespace tw {

namespace {

constexpr int MAX_ROW = 64;

}  // namespace

void GlyphCells::setFont(const QFont& font, QSize cell, int ascent, QColor text,
                         QColor background) {
  glyphsUsable_ = false;
  cellsFormat_ = QImage::Format_Invalid;  // every cell is drawn again
  cell_ = cell;
  ascent_ = ascent;
  text_ = text;
  background_ = background;
  rawFont_ = QRawFont::fromFont(font);
  if (!rawFont_.isValid() || font.underline() || font.strikeOut()) return;
  QString chars(256, QLatin1Char(' '));
  for (int byte = 0; byte < 256; ++byte) {
    chars[byte] = QLatin1Char(ShownChar(static_cast<unsigned char>(byte)));
  }
  int count = static_cast<int>(glyphOf_.size());
  glyphsUsable_ = rawFont_.glyphIndexesForChars(chars.constData(), 256, glyphOf_.data(), &count) &&
                  count == 256;
}

void GlyphCells::setBackground(QColor background) {
  if (background == background_) return;
  background_ = background;
  cellsFormat_ = QImage::Format_Invalid;
}

void GlyphCells::drawGlyphs(QPainter& painter, const unsigned char* bytes, int count,
                            QPointF origin) const {
  std::array<quint32, MAX_ROW> glyphs;
  std::array<QPointF, MAX_ROW> positions;
  for (int i = 0; i < count; ++i) {
    glyphs[static_cast<size_t>(i)] = glyphOf_[bytes[i]];
    positions[static_cast<size_t>(i)] = QPointF(i * cell_.width(), 0);
  }
  QGlyphRun run;
  run.setRawFont(rawFont_);
  run.setRawData(glyphs.data(), positions.data(), count);
  painter.setPen(text_);
  painter.drawGlyphRun(origin, run);
}

// A glyph is drawn alone in the middle of a canvas three cells wide and one
// cell high (a row is clipped to its cells' height as well). Ink in the
// outer cells would fall on a neighbour, where the order of blending
// matters: rows holding such a glyph are drawn glyph by glyph.
void GlyphCells::prepareCell(int byte) {
  const int w = cell_.width(), h = cell_.height();
  const size_t bytesPerPixel = static_cast<size_t>(probe_.depth() / 8);
  probe_.fill(background_);
  {
    QPainter painter(&probe_);
    const auto b = static_cast<unsigned char>(byte);
    drawGlyphs(painter, &b, 1, QPointF(w, ascent_));
  }
  const uchar* blank = blank_.constScanLine(0);
  const size_t side = static_cast<size_t>(w) * bytesPerPixel;
  CellState state = INSIDE;
  for (int y = 0; y < h; ++y) {
    const uchar* line = probe_.constScanLine(y);
    if (std::memcmp(line, blank, side) != 0 || std::memcmp(line + 2 * side, blank, side) != 0) {
      state = OVERHANGS;
    }
    std::memcpy(cells_.scanLine(y) + static_cast<size_t>(byte) * side, line + side, side);
  }
  state_[static_cast<size_t>(byte)] = state;
}

bool GlyphCells::cellsInside(const unsigned char* bytes, int count, QImage::Format format) {
  if (format != cellsFormat_) {
    cellsFormat_ = format;
    state_.fill(UNKNOWN);
    const int w = cell_.width(), h = cell_.height();
    probe_ = QImage(3 * w, h, format);
    cells_ = QImage(256 * w, h, format);
    row_ = QImage(MAX_ROW * w, h, format);
    blank_ = QImage(w, 1, format);
    if (probe_.isNull() || cells_.isNull() || row_.isNull() || blank_.isNull() ||
        probe_.depth() % 8 != 0) {
      state_.fill(OVERHANGS);
      return false;
    }
    blank_.fill(background_);
  }
  for (int i = 0; i < count; ++i) {
    if (state_[bytes[i]] == UNKNOWN) prepareCell(bytes[i]);
    if (state_[bytes[i]] == OVERHANGS) return false;
  }
  return true;
}

bool GlyphCells::drawRow(QPainter& painter, const unsigned char* bytes, int count, QPoint topLeft) {
  if (!glyphsUsable_ || count <= 0 || count > MAX_ROW) return false;
  for (int i = 0; i < count; ++i) {
    if (glyphOf_[bytes[i]] == 0) return false;
  }
  // Cells are copied only onto an image, one device pixel per pixel, drawn
  // plainly; anything else gets the glyphs.
  QPaintEngine* engine = painter.paintEngine();
  QPaintDevice* target = engine != nullptr ? engine->paintDevice() : nullptr;
  const bool plain = target != nullptr && target->devType() == QInternal::Image &&
                     painter.device()->devicePixelRatio() == 1.0 &&
                     painter.worldTransform().type() <= QTransform::TxTranslate &&
                     painter.opacity() == 1.0 &&
                     painter.compositionMode() == QPainter::CompositionMode_SourceOver;
  if (!plain || !cellsInside(bytes, count, static_cast<const QImage*>(target)->format())) {
    drawGlyphs(painter, bytes, count, QPointF(topLeft.x(), topLeft.y() + ascent_));
    ++rowsDrawn_;
    return true;
  }
  const size_t cellBytes = static_cast<size_t>(cell_.width() * (cells_.depth() / 8));
  for (int y = 0; y < cell_.height(); ++y) {
    uchar* out = row_.scanLine(y);
    const uchar* in = cells_.constScanLine(y);
    for (int i = 0; i < count; ++i) {
      std::memcpy(out + static_cast<size_t>(i) * cellBytes, in + bytes[i] * cellBytes, cellBytes);
    }
  }
  painter.setCompositionMode(QPainter::CompositionMode_Source);
  painter.drawImage(QPointF(topLeft), row_, QRectF(0, 0, count * cell_.width(), cell_.height()));
  painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
  ++rowsCopied_;
  return true;
}

}  // namespace tw
