#include "PayloadPreview.h"

#include "ClipboardCodec.h"
#include "ClipboardReadError.h"
#include "ImageThumbnail.h"
#include "PasteboardTypes.h"

#include <QBuffer>
#include <QImageReader>

namespace tavlin {

ClipPreview PayloadPreview::make(const ClipPayload& payload, ClipKind kind)
{
    switch (kind) {
    case ClipKind::richText:
        for (const ClipItem& item : payload.items) {
            for (const ClipRepresentation& representation : item.representations) {
                if ((representation.type == PasteboardTypes::rtf || representation.type == PasteboardTypes::flatRTFD)
                    && representation.data.size() <= maximumRichTextBytes)
                    return ClipPreview::richText(representation.data, representation.type);
            }
        }
        return ClipPreview::text();
    case ClipKind::image:
        for (const ClipItem& item : payload.items) {
            for (const ClipRepresentation& representation : item.representations) {
                if (!PasteboardTypes::conformsToImage(representation.type))
                    continue;
                QBuffer buffer;
                buffer.setData(representation.data);
                buffer.open(QIODevice::ReadOnly);
                QImageReader reader(&buffer);
                if (std::optional<QByteArray> png = ImageThumbnail::png(reader, imageEdge))
                    return ClipPreview::image(std::move(*png));
            }
        }
        throw ClipboardReadError::imagePreviewUnavailable();
    case ClipKind::text:
    case ClipKind::link:
    case ClipKind::file:
    case ClipKind::other: break;
    }
    return ClipPreview::text();
}

} // namespace tavlin
