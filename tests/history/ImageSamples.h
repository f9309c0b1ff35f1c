#pragma once

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>
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
    QByteArray tiff = QByteArray::fromHex("49492a0008000000"
                                          "0100"
                                          "1201"
                                          "0300"
                                          "01000000");
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

// A valid, all-black PNG of any size, depth and colour type (0 grey, 2 RGB, 4 grey with alpha,
// 6 RGBA): large images that cost little to make, yet decode for real if anything tries to.
inline QByteArray blackPNG(int width, int height, int bitDepth = 1, int colourType = 0)
{
    const int channels = colourType == 2 ? 3 : colourType == 4 ? 2 : colourType == 6 ? 4 : 1;
    QByteArray header(13, '\0');
    qToBigEndian<quint32>(width, header.data());
    qToBigEndian<quint32>(height, header.data() + 4);
    header[8] = char(bitDepth);
    header[9] = char(colourType);
    const qsizetype rowBytes = 1 + (qsizetype(width) * channels * bitDepth + 7) / 8;
    const QByteArray zlib = qCompress(QByteArray(height * rowBytes, '\0'), 1).mid(4); // past qCompress's length
    return QByteArray::fromHex("89504e470d0a1a0a") + pngChunk("IHDR", header) + pngChunk("IDAT", zlib)
        + pngChunk("IEND", {});
}

// An uncompressed 24-bit BMP, all black: it decodes to 4 bytes a pixel.
inline QByteArray blackBMP(int width, int height)
{
    const qsizetype rowBytes = (qsizetype(width) * 3 + 3) / 4 * 4;
    QByteArray header(54, '\0');
    header[0] = 'B';
    header[1] = 'M';
    qToLittleEndian<quint32>(quint32(54 + rowBytes * height), header.data() + 2);
    qToLittleEndian<quint32>(54, header.data() + 10);
    qToLittleEndian<quint32>(40, header.data() + 14);
    qToLittleEndian<qint32>(width, header.data() + 18);
    qToLittleEndian<qint32>(height, header.data() + 22);
    qToLittleEndian<quint16>(1, header.data() + 26);
    qToLittleEndian<quint16>(24, header.data() + 28);
    return header + QByteArray(rowBytes * height, '\0');
}

// A flat image in `format`, written with the format's compression where it has one.
inline QByteArray flatImage(int width, int height, const char* format)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    writer.setCompression(1);
    writer.write(image);
    return bytes;
}

inline QSize imageSize(const QByteArray& bytes)
{
    return QImage::fromData(bytes).size();
}

} // namespace tavlin::test
