#include "declarations/CheckImages.h"

namespace declarations {
namespace {

// clang-format off
constexpr const char* kCheck[kCheckImageSize] = {
    "OOOOOOOOOOOOOOOO", "OOOOOOOOOOOOOSOO", "OOKKKKKKKKKKOSOO", "OOKWWWWWWWWWOSOO",
    "OOKWWWWWWWKWOSOO", "OOKWWWWWWKKWOSOO", "OOKWKWWWKKKWOSOO", "OOKWKKWKKKWWOSOO",
    "OOKWKKKKKWWWOSOO", "OOKWWKKKWWWWOSOO", "OOKWWWKWWWWWOSOO", "OOKWWWWWWWWWOSOO",
    "OOOOOOOOOOOOOSOO", "OSSSSSSSSSSSSSOO", "OOOOOOOOOOOOOOOO", "OOOOOOOOOOOOOOOO",
};
constexpr const char* kUnCheck[kCheckImageSize] = {
    "OOOOOOOOOOOOOOOO", "OOOOOOOOOOOOOSOO", "OOKKKKKKKKKKOSOO", "OOKWWWWWWWWWOSOO",
    "OOKWWWWWWWWWOSOO", "OOKWWWWWWWWWOSOO", "OOKWWWWWWWWWOSOO", "OOKWWWWWWWWWOSOO",
    "OOKWWWWWWWWWOSOO", "OOKWWWWWWWWWOSOO", "OOKWWWWWWWWWOSOO", "OOKWWWWWWWWWOSOO",
    "OOOOOOOOOOOOOSOO", "OSSSSSSSSSSSSSOO", "OOOOOOOOOOOOOOOO", "OOOOOOOOOOOOOOOO",
};
// clang-format on

// The classic 16-colour palette; the letters used by the pictures map into it.
const QList<QRgb>& Palette16() {
    static const QList<QRgb> palette = {
        qRgb(0, 0, 0),       qRgb(128, 0, 0),   qRgb(0, 128, 0),   qRgb(128, 128, 0),
        qRgb(0, 0, 128),     qRgb(128, 0, 128), qRgb(0, 128, 128), qRgb(128, 128, 128),
        qRgb(192, 192, 192), qRgb(255, 0, 0),   qRgb(0, 255, 0),   qRgb(255, 255, 0),
        qRgb(0, 0, 255),     qRgb(255, 0, 255), qRgb(0, 255, 255), qRgb(255, 255, 255),
    };
    return palette;
}

int PaletteIndex(char letter) {
    switch (letter) {
        case 'K':
            return 0;
        case 'O':
            return 3;
        case 'S':
            return 8;
        case 'W':
            return 15;
    }
    return 3;  // unreachable for the fixed tables above; olive keeps a stray letter invisible
}

QImage FromRows(const char* const* rows) {
    QImage image(kCheckImageSize, kCheckImageSize, QImage::Format_Indexed8);
    image.setColorTable(Palette16());
    for (int y = 0; y < kCheckImageSize; ++y)
        for (int x = 0; x < kCheckImageSize; ++x) image.setPixel(x, y, PaletteIndex(rows[y][x]));
    return image;
}

}  // namespace

QColor CheckTransparentColor() { return QColor(128, 128, 0); }

QImage CheckImage() { return FromRows(kCheck); }
QImage UnCheckImage() { return FromRows(kUnCheck); }

const char* const* CheckRows() { return kCheck; }
const char* const* UnCheckRows() { return kUnCheck; }

}  // namespace declarations
