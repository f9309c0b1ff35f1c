#include "ImageThumbnail.h"

#include <QBuffer>
#include <QImage>
#include <QImageReader>

#include <algorithm>

namespace tavlin {

std::optional<QByteArray> ImageThumbnail::png(QImageReader& reader, int maximumEdge)
{
    // The scaled size applies before the orientation transform, so it is the stored size reduced.
    const QSize stored = reader.size();
    if (!stored.isValid() || stored.isEmpty() || maximumEdge < 1)
        return std::nullopt;
    const int longest = std::max(stored.width(), stored.height());
    if (longest > maximumEdge) {
        const double scale = static_cast<double>(maximumEdge) / longest;
        reader.setScaledSize(QSize(std::max(1, qRound(stored.width() * scale)),
                                   std::max(1, qRound(stored.height() * scale))));
    }
    reader.setAutoTransform(true);
    const QImage image = reader.read();
    if (image.isNull())
        return std::nullopt;
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG"))
        return std::nullopt;
    return bytes;
}

} // namespace tavlin
