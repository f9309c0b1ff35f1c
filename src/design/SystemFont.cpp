#include "SystemFont.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

namespace tavlin {

QFont SystemFont::regular(int pixelSize, QFont::Weight weight)
{
    QFont font = QGuiApplication::font();
    font.setPixelSize(pixelSize);
    font.setWeight(weight);
    return font;
}

QFont SystemFont::monospaced(int pixelSize, QFont::Weight weight)
{
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPixelSize(pixelSize);
    font.setWeight(weight);
    return font;
}

void SystemFont::prepare()
{
    // Drawn once into a scrap image, each face is loaded with the glyphs of a first paint.
    // Every printable ASCII character: the glyphs a first window of Latin text draws.
    QString printable;
    for (char16_t character = u' '; character <= u'~'; ++character)
        printable.append(QChar(character));
    QImage scrap(8, 8, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&scrap);
    for (const QFont& font : {QGuiApplication::font(), regular(11), regular(13, QFont::Medium),
                              regular(11, QFont::DemiBold), regular(15), monospaced(12)}) {
        painter.setFont(font);
        painter.drawText(QPointF(0, 8), printable);
    }
}

} // namespace tavlin
