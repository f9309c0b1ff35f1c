#include "ClipRowPresentation.h"

#include <QBuffer>
#include <QImageReader>

namespace tavlin {

QImage ClipRowPresentation::decodeImage(const QByteArray& bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    QImageReader reader(&buffer);
    const QSize size = reader.size();
    if (!size.isValid() || size.width() > imageLimit || size.height() > imageLimit)
        return {};
    return reader.read();
}

} // namespace tavlin
