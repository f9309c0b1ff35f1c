#include "ImageThumbnail.h"

#include "ClipDetails.h"

#include <QBuffer>
#include <QImage>
#include <QImageReader>

#include <algorithm>

namespace tavlin {

namespace {

// Qt refuses to decode an image that needs more than 128 MB, as a 6000 x 6000 BMP or 16-bit PNG
// does, and most formats (all but JPEG) are decoded whole before they are reduced. The limit
// becomes what the largest image that gets a thumbnail needs at 8 bytes a pixel (16-bit RGBA);
// larger images still fail to decode rather than take gigabytes. Qt keeps one limit for the
// process; it is only ever raised, once.
constexpr int largestDecodeMebibytes = int((ClipDetails::maximumThumbnailSourceArea * 8 + (1 << 20) - 1) >> 20);

void allowImagesWithinTheThumbnailBounds()
{
    static const bool raised = [] {
        QImageReader::setAllocationLimit(std::max(QImageReader::allocationLimit(), largestDecodeMebibytes));
        return true;
    }();
    Q_UNUSED(raised);
}

} // namespace

std::optional<QByteArray> ImageThumbnail::png(QImageReader& reader, int maximumEdge)
{
    allowImagesWithinTheThumbnailBounds();
    // The scaled size applies before the orientation transform, so it is the stored size reduced.
    const QSize stored = reader.size();
    if (!stored.isValid() || stored.isEmpty() || maximumEdge < 1)
        return std::nullopt;
    const int longest = std::max(stored.width(), stored.height());
    if (longest > maximumEdge) {
        const double scale = static_cast<double>(maximumEdge) / longest;
        reader.setScaledSize(
            QSize(std::max(1, qRound(stored.width() * scale)), std::max(1, qRound(stored.height() * scale))));
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
