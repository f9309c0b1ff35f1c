#pragma once

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageReader>
#include <QSize>
#include <QtEndian>

#include <array>

// Real image bytes for the capture tests, made on the spot.
namespace tavlin::test {

inline QByteArray encoded(const QImage& image, const char* format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

inline QByteArray png(int width, int height, QColor color = Qt::darkCyan)
{
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(color);
    return encoded(image, "PNG");
}

// A JPEG whose EXIF orientation tag says how to turn it for display (6: a quarter turn clockwise).
inline QByteArray jpegWithOrientation(int width, int height, quint16 orientation)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::red);
    const QByteArray jpeg = encoded(image, "JPEG");
    // APP1 "Exif": a little-endian TIFF header and one IFD with the single Orientation entry.
    QByteArray tiff = QByteArray::fromHex("49492a0008000000" "0100" "1201" "0300" "01000000");
    tiff += char(orientation & 0xff);
    tiff += char(orientation >> 8);
    tiff += QByteArray(2, '\0');
    tiff += QByteArray(4, '\0');
    const QByteArray payload = QByteArray("Exif\0\0", 6) + tiff;
    QByteArray segment = QByteArray::fromHex("ffe1");
    segment += char((payload.size() + 2) >> 8);
    segment += char((payload.size() + 2) & 0xff);
    segment += payload;
    return jpeg.left(2) + segment + jpeg.mid(2);
}

inline quint32 crc32(const QByteArray& bytes)
{
    static const auto table = [] {
        std::array<quint32, 256> t{};
        for (quint32 n = 0; n < 256; ++n) {
            quint32 c = n;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xedb88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    quint32 crc = 0xffffffffu;
    for (char byte : bytes)
        crc = table[(crc ^ static_cast<quint8>(byte)) & 0xff] ^ (crc >> 8);
    return crc ^ 0xffffffffu;
}

inline QByteArray pngChunk(const char* type, const QByteArray& data)
{
    QByteArray body = QByteArray(type, 4) + data;
    QByteArray length(4, '\0');
    qToBigEndian<quint32>(data.size(), length.data());
    QByteArray crc(4, '\0');
    qToBigEndian<quint32>(crc32(body), crc.data());
    return length + body + crc;
}

// A valid, all-black, 1-bit PNG of any size: large images that cost almost nothing to store, yet
// decode for real (and slowly) if anything tries to.
inline QByteArray blackBitmapPNG(int width, int height)
{
    QByteArray header(13, '\0');
    qToBigEndian<quint32>(width, header.data());
    qToBigEndian<quint32>(height, header.data() + 4);
    header[8] = 1; // bit depth
    header[9] = 0; // greyscale
    const QByteArray rows(qsizetype(height) * (1 + (width + 7) / 8), '\0');
    const QByteArray zlib = qCompress(rows, 9).mid(4); // qCompress prefixes the length to a zlib stream
    return QByteArray::fromHex("89504e470d0a1a0a") + pngChunk("IHDR", header) + pngChunk("IDAT", zlib)
        + pngChunk("IEND", {});
}

inline QSize imageSize(const QByteArray& bytes)
{
    return QImage::fromData(bytes).size();
}

} // namespace tavlin::test
