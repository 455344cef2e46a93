#pragma once
// The drawing surface handed to OnDrawColumnCell: a QPainter on the grid with a brush that the
// grid sets to the cell's background (the selection colour for the selected cell) before the call.

#include <QColor>
#include <QImage>
#include <QRect>

class QPainter;

class TCanvas {
  public:
    explicit TCanvas(QPainter& painter) : m_painter(painter) {}
    TCanvas(const TCanvas&) = delete;
    TCanvas& operator=(const TCanvas&) = delete;

    QColor Brush;  // current brush colour

    // Fills rect with the brush colour.
    void FillRect(const QRect& rect);
    // Copies source rectangle src of image to dest without scaling (dest's size is used; parts
    // beyond the image stay as they are), drawing pixels of colour transparent in the brush
    // colour.
    void BrushCopy(const QRect& dest, const QImage& image, const QRect& src,
                   const QColor& transparent);
    QPainter& Painter() { return m_painter; }

  private:
    QPainter& m_painter;
};
