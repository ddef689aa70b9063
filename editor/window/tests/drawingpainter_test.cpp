#include "window/drawingpainter.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

namespace {

using kn4::editor::DrawingPrimitive;
using kn4::editor::KnitPicture;
using kn4::rgb;
using Kind = DrawingPrimitive::Kind;

class DrawingPainterTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        static int argc = 1;
        static char name[] = "editor_drawingpainter_tests";
        static char *argv[] = {name, nullptr};
        if (!qApp)
            new QGuiApplication(argc, argv);
    }

    static DrawingPrimitive line(Kind kind, int x1, int y1, int x2, int y2, kn4::Colour colour)
    {
        DrawingPrimitive item;
        item.kind = kind;
        item.x1 = x1;
        item.y1 = y1;
        item.x2 = x2;
        item.y2 = y2;
        item.colour = colour;
        return item;
    }

    QImage paint(const KnitPicture &picture)
    {
        QImage image(320, 382, QImage::Format_RGB32);
        image.fill(Qt::black);  // the painter clears it
        QPainter painter(&image);
        kn4::editor::paintKnitDrawing(painter, picture);
        return image;
    }
};

TEST_F(DrawingPainterTest, LinesAndMarksCoverExactlyTheirPixels)
{
    KnitPicture picture;
    picture.primitives.push_back(line(Kind::Course, 140, 381, 179, 381, rgb(255, 0, 255)));
    picture.primitives.push_back(line(Kind::Dash, 150, 381, 154, 381, rgb(0, 255, 0)));
    picture.primitives.push_back(line(Kind::WhiteMark, 172, 379, 172, 381, rgb(255, 255, 255)));
    picture.primitives.push_back(line(Kind::WhiteMark, 10, 20, 14, 18, rgb(0, 0, 255)));
    const QImage image = paint(picture);

    const QRgb white = qRgb(255, 255, 255);
    EXPECT_EQ(image.pixel(0, 0), white);
    EXPECT_EQ(image.pixel(139, 381), white);
    EXPECT_EQ(image.pixel(140, 381), qRgb(255, 0, 255));
    EXPECT_EQ(image.pixel(179, 381), qRgb(255, 0, 255));
    EXPECT_EQ(image.pixel(180, 381), white);
    EXPECT_EQ(image.pixel(140, 380), white);
    // Later primitives paint over earlier ones.
    EXPECT_EQ(image.pixel(149, 381), qRgb(255, 0, 255));
    EXPECT_EQ(image.pixel(150, 381), qRgb(0, 255, 0));
    EXPECT_EQ(image.pixel(154, 381), qRgb(0, 255, 0));
    EXPECT_EQ(image.pixel(155, 381), qRgb(255, 0, 255));
    EXPECT_EQ(image.pixel(172, 381), white);
    EXPECT_EQ(image.pixel(172, 379), white);
    EXPECT_EQ(image.pixel(172, 378), white);
    // A slanted mark reaches both its ends, without blending.
    EXPECT_EQ(image.pixel(10, 20), qRgb(0, 0, 255));
    EXPECT_EQ(image.pixel(14, 18), qRgb(0, 0, 255));
    int blue = 0;
    for (int x = 8; x <= 16; ++x)
        for (int y = 16; y <= 22; ++y) {
            const QRgb pixel = image.pixel(x, y);
            EXPECT_TRUE(pixel == white || pixel == qRgb(0, 0, 255)) << x << "," << y;
            blue += pixel == qRgb(0, 0, 255);
        }
    EXPECT_GE(blue, 5);
    EXPECT_LE(blue, 6);
}

TEST_F(DrawingPainterTest, TextsHangBelowTheirPoint)
{
    KnitPicture picture;
    DrawingPrimitive text = line(Kind::Text, 100, 100, 100, 100, rgb(120, 120, 120));
    text.text = "Densit\xe0 80";  // Windows-1252
    text.bold = true;
    text.pointSize = 8;
    picture.primitives.push_back(text);
    const QImage image = paint(picture);

    int inked = 0;
    int above = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != qRgb(255, 255, 255)) {
                ++inked;
                above += y < 100 || x < 100;
                EXPECT_LT(y, 116);
            }
    EXPECT_GT(inked, 20);
    EXPECT_EQ(above, 0);
}

} // namespace
