#pragma once
// The two 16 x 16 check-box pictures drawn in the flag columns, pixel for pixel from their row
// strings (O olive = transparent, K black, W white, S silver). Both are indexed images over
// the 16-colour palette, so a painter can swap the olive for the cell's background.

#include <QColor>
#include <QImage>

namespace declarations {

inline constexpr int kCheckImageSize = 16;

// The colour that stands for "transparent" in both pictures.
QColor CheckTransparentColor();

QImage CheckImage();    // imgCheck
QImage UnCheckImage();  // imgUnCheck

// The row strings themselves (16 strings of 16 letters each).
const char* const* CheckRows();
const char* const* UnCheckRows();

}  // namespace declarations
