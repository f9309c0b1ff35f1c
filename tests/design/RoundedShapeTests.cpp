#include "RoundedShape.h"

#include <QPainter>

#include <gtest/gtest.h>

#include <cstdlib>

using namespace tavlin;

namespace {

struct Look {
    QRectF rect;
    qreal radius;
    QColor fill;
    QColor edge;
    qreal width;
};

QImage canvas()
{
    QImage image(140, 90, QImage::Format_RGB32);
    image.fill(QColor(250, 248, 245));
    return image;
}

// Drawn as a painter draws a path: the reference the shape's own drawing must match.
QImage drawnAfresh(const Look& look, const QTransform& transform)
{
    QImage image = canvas();
    QPainter painter(&image);
    painter.setTransform(transform);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(look.fill);
    painter.drawPath(RoundedShape::path(look.rect, look.radius));
    const qreal half = look.width / 2;
    painter.setPen(QPen(look.edge, look.width));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(
        RoundedShape::path(look.rect.adjusted(half, half, -half, -half), qMax<qreal>(0, look.radius - half)));
    return image;
}

QImage drawnAsShape(const Look& look, const QTransform& transform)
{
    QImage image = canvas();
    QPainter painter(&image);
    painter.setTransform(transform);
    RoundedShape::fill(painter, look.rect, look.radius, look.fill);
    RoundedShape::strokeInside(painter, look.rect, look.radius, look.edge, look.width);
    return image;
}

int largestDifference(const QImage& a, const QImage& b)
{
    int largest = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            largest = std::max(
                {largest, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)), std::abs(qBlue(p) - qBlue(q))});
        }
    }
    return largest;
}

} // namespace

// Shapes are drawn from pixmaps kept for their look. Drawn again, wherever it falls within a
// pixel, moved by the painter or not, a shape looks as it does drawn afresh; shapes of one size
// in other colours, edges or radii never show one another's pixmap.
TEST(RoundedShape, AShapeDrawnAgainLooksAsDrawnAfreshWhereverItFalls)
{
    const QColor surface(255, 255, 255);
    const QColor border(0, 0, 0, 36);
    const QColor accent(120, 80, 220);
    const QColor selected(120, 80, 220, 40);
    const QList<Look> looks = {
        {QRectF(7, 2, 110, 52), 10, surface, border, 0.75},      {QRectF(7, 2, 110, 52), 10, selected, accent, 1.5},
        {QRectF(7, 2, 110, 52), 10, accent, accent, 2},          {QRectF(7, 2, 110, 52), 6, surface, border, 0.75},
        {QRectF(7.5, 2.25, 110, 52), 10, surface, border, 0.75}, {QRectF(10.5, 20.5, 80.5, 28), 14, accent, border, 1},
    };
    const QList<QTransform> transforms = {QTransform(), QTransform::fromTranslate(3, 5),
                                          QTransform::fromTranslate(0.5, 12.25), QTransform::fromScale(1.2, 1.2)};
    for (int round = 0; round < 2; ++round) {
        for (qsizetype i = 0; i < looks.size(); ++i) {
            for (const QTransform& transform : transforms) {
                EXPECT_LE(largestDifference(drawnAsShape(looks[i], transform), drawnAfresh(looks[i], transform)), 6)
                    << "look " << i << ", moved by " << transform.dx() << ", " << transform.dy() << ", scaled by "
                    << transform.m11() << ", round " << round;
            }
        }
    }
}
