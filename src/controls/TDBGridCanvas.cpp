#include "controls/TDBGridCanvas.h"

#include <QPainter>

void TCanvas::FillRect(const QRect& rect) { m_painter.fillRect(rect, Brush); }

void TCanvas::BrushCopy(const QRect& dest, const QImage& image, const QRect& src,
                        const QColor& transparent) {
    QRect from = src.intersected(image.rect());
    if (from.isEmpty()) return;
    QImage piece = image.copy(from).convertToFormat(QImage::Format_ARGB32);
    const QRgb key = transparent.rgb() & 0xFFFFFF;
    const QRgb brush = Brush.rgba();
    for (int y = 0; y < piece.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(piece.scanLine(y));
        for (int x = 0; x < piece.width(); ++x)
            if ((line[x] & 0xFFFFFF) == key) line[x] = brush;
    }
    // Unscaled: only as much of dest as the source covers is drawn.
    QRect target(dest.topLeft(), QSize(std::min(dest.width(), piece.width()),
                                       std::min(dest.height(), piece.height())));
    m_painter.save();
    m_painter.setClipRect(target);
    m_painter.drawImage(target.topLeft(), piece);
    m_painter.restore();
}
