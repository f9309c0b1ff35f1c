#include "ScaledImage.h"

#include <QPainter>

#include <gtest/gtest.h>

using namespace tavlin;

namespace {

QImage filled(QSize size, QColor color)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(color);
    return image;
}

// One-pixel black and white squares: any scaling down turns them grey.
QImage checkerboard(int edge)
{
    QImage image(edge, edge, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < edge; ++y)
        for (int x = 0; x < edge; ++x)
            image.setPixel(x, y, (x + y) % 2 ? qRgb(0, 0, 0) : qRgb(255, 255, 255));
    return image;
}

QImage drawn(const QImage& image, QSize canvas, qreal ratio = 1)
{
    QImage out(canvas * ratio, QImage::Format_ARGB32_Premultiplied);
    out.setDevicePixelRatio(ratio);
    out.fill(Qt::transparent);
    QPainter painter(&out);
    ScaledImage::draw(painter, QRectF(QPointF(0, 0), QSizeF(canvas)), image);
    return out;
}

} // namespace

// Kept copies are reused only for the same image at the same size in device pixels.
TEST(ScaledImage, EachImageAndSizeIsDrawnFromItsOwnCopy)
{
    const QImage red = filled({200, 100}, Qt::red);
    const QImage blue = filled({200, 100}, Qt::blue);
    EXPECT_EQ(drawn(red, {40, 20}).pixelColor(20, 10), QColor(Qt::red));
    EXPECT_EQ(drawn(blue, {40, 20}).pixelColor(20, 10), QColor(Qt::blue)) << "another image of the same size";

    // Drawn small first, then at its own size: the small copy must not be stretched up.
    const QImage board = checkerboard(32);
    const QImage small = drawn(board, {4, 4});
    const QRgb grey = small.pixel(1, 1);
    EXPECT_NEAR(qRed(grey), 128, 40) << "scaled down smoothly";
    const QImage whole = drawn(board, {32, 32});
    for (const QPoint at : {QPoint(0, 0), QPoint(1, 0), QPoint(7, 12), QPoint(30, 31)})
        EXPECT_EQ(whole.pixel(at), board.pixel(at)) << at.x() << "," << at.y();

    // On a high-density screen the copy has the device's pixels, not the layout's.
    const QImage dense = drawn(board, {16, 16}, 2);
    for (const QPoint at : {QPoint(0, 0), QPoint(1, 0), QPoint(7, 12), QPoint(30, 31)})
        EXPECT_EQ(dense.pixel(at), board.pixel(at)) << at.x() << "," << at.y();
}
