#include "declarations/CheckImages.h"

#include <gtest/gtest.h>

#include <string>

namespace {

char Letter(QRgb rgb) {
    if (rgb == qRgb(128, 128, 0)) return 'O';
    if (rgb == qRgb(0, 0, 0)) return 'K';
    if (rgb == qRgb(255, 255, 255)) return 'W';
    if (rgb == qRgb(192, 192, 192)) return 'S';
    return '?';
}

std::string Picture(const QImage& image) {
    std::string s;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) s += Letter(image.pixel(x, y));
        s += '\n';
    }
    return s;
}

TEST(CheckImages, CheckedBoxPixelForPixel) {
    EXPECT_EQ(Picture(declarations::CheckImage()),
              "OOOOOOOOOOOOOOOO\nOOOOOOOOOOOOOSOO\nOOKKKKKKKKKKOSOO\nOOKWWWWWWWWWOSOO\n"
              "OOKWWWWWWWKWOSOO\nOOKWWWWWWKKWOSOO\nOOKWKWWWKKKWOSOO\nOOKWKKWKKKWWOSOO\n"
              "OOKWKKKKKWWWOSOO\nOOKWWKKKWWWWOSOO\nOOKWWWKWWWWWOSOO\nOOKWWWWWWWWWOSOO\n"
              "OOOOOOOOOOOOOSOO\nOSSSSSSSSSSSSSOO\nOOOOOOOOOOOOOOOO\nOOOOOOOOOOOOOOOO\n");
}

TEST(CheckImages, UncheckedBoxPixelForPixel) {
    EXPECT_EQ(Picture(declarations::UnCheckImage()),
              "OOOOOOOOOOOOOOOO\nOOOOOOOOOOOOOSOO\nOOKKKKKKKKKKOSOO\nOOKWWWWWWWWWOSOO\n"
              "OOKWWWWWWWWWOSOO\nOOKWWWWWWWWWOSOO\nOOKWWWWWWWWWOSOO\nOOKWWWWWWWWWOSOO\n"
              "OOKWWWWWWWWWOSOO\nOOKWWWWWWWWWOSOO\nOOKWWWWWWWWWOSOO\nOOKWWWWWWWWWOSOO\n"
              "OOOOOOOOOOOOOSOO\nOSSSSSSSSSSSSSOO\nOOOOOOOOOOOOOOOO\nOOOOOOOOOOOOOOOO\n");
}

TEST(CheckImages, SixteenColourPicturesWhoseOliveIsTheTransparentColour) {
    QImage image = declarations::CheckImage();
    EXPECT_EQ(image.size(), QSize(16, 16));
    EXPECT_EQ(image.colorCount(), 16);
    EXPECT_EQ(QColor(image.pixel(0, 0)), declarations::CheckTransparentColor());
}

}  // namespace
