// Draws one row of the character screen without shaping its text. A cell
// holds one Latin-1 byte in a fixed-pitch face, so each byte value has one
// glyph, looked up once per font. Each byte's cell is also drawn once
// (glyph over background, in the format of the surface painted on); a row
// whose glyphs all stay inside their own cells is then its cells copied
// side by side: the same pixels as blending the glyphs one by one, at a
// fraction of the cost.
#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QRawFont>
#include <QSize>
#include <array>

class QPainter;

namespace tw {

class GlyphCells {
 public:
  // `font` advances every glyph by exactly one cell; `ascent` places the
  // baseline below the cell's top.
  void setFont(const QFont& font, QSize cell, int ascent, QColor text, QColor background);
  // The background of the surface changed (palette): the drawn cells go.
  void setBackground(QColor background);

  // Draws `count` bytes (at most 64) as one row of cells from `topLeft`.
  // False when a byte has no glyph in the face or lines run through the
  // text (underline, strike-out): the row is then left to drawText, and
  // nothing has been drawn.
  bool drawRow(QPainter& painter, const unsigned char* bytes, int count, QPoint topLeft);

  // A byte the face has no glyph for is drawn by one of the font's
  // fallbacks, which advances by its own width, not by one cell: drawn in
  // a row's text, it would move every later byte out of its column, by an
  // amount that depends on where the painted part of the row starts.
  // Such a row is drawn with blanks in their place (`blankLacking` copies
  // the row so and says whether it held any), then `drawLacking` draws
  // each of them alone, clipped to its own cell. So are the bytes text
  // drawing would hide when lines run through the text.
  bool blankLacking(const unsigned char* bytes, int count, unsigned char* out) const;
  void drawLacking(QPainter& painter, const unsigned char* bytes, int count, QPoint topLeft) const;

  // Rows copied from drawn cells and rows drawn glyph by glyph so far.
  int rowsCopied() const { return rowsCopied_; }
  int rowsDrawn() const { return rowsDrawn_; }

 private:
  enum CellState : unsigned char { UNKNOWN, INSIDE, OVERHANGS };
  bool cellsInside(const unsigned char* bytes, int count, QImage::Format format);
  void prepareCell(int byte);
  void drawGlyphs(QPainter& painter, const unsigned char* bytes, int count, QPointF origin) const;

  QRawFont rawFont_;
  QFont lackingFont_;  // the font without its lines, drawn under the blanks
  std::array<quint32, 256> glyphOf_{};
  bool glyphsKnown_ = false;
  std::array<bool, 256> alone_{};  // drawn alone in its cell
  bool linesThrough_ = false;
  QSize cell_;
  int ascent_ = 0;
  QColor text_;
  QColor background_;

  // Each byte's cell is drawn when a row first needs it, at x = byte * cell
  // width, in `cellsFormat_`; its state says whether its glyph stays inside.
  QImage cells_;
  QImage probe_;
  QImage row_;
  QImage blank_;  // one line of one cell's background
  QImage::Format cellsFormat_ = QImage::Format_Invalid;
  std::array<CellState, 256> state_{};
  int rowsCopied_ = 0;
  int rowsDrawn_ = 0;
};

}  // namespace tw
