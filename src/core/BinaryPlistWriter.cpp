#include "BinaryPlistWriter.h"

#include <QtEndian>

#include <algorithm>
#include <bit>

namespace tavlin {

namespace {

// Bytes an integer object takes: 1, 2, 4 or 8.
int integerWidth(quint64 value)
{
    if (value <= 0xFF)
        return 1;
    if (value <= 0xFFFF)
        return 2;
    if (value <= 0xFFFF'FFFF)
        return 4;
    return 8;
}

// Bytes references and offsets take: as few as hold the largest, as libplist writes them.
int referenceWidth(quint64 largest)
{
    int width = 1;
    while (width < 8 && largest >> (8 * width) != 0)
        ++width;
    return width;
}

void appendBigEndian(QByteArray& out, quint64 value, int width)
{
    char bytes[8];
    qToBigEndian(value, bytes);
    out.append(bytes + 8 - width, width);
}

const quint8 integerMarker = 0x10;

// The low four bits of an integer's marker give its width as a power of two.
void appendInteger(QByteArray& out, quint64 value)
{
    const int width = integerWidth(value);
    out.append(char(integerMarker | std::countr_zero(unsigned(width))));
    appendBigEndian(out, value, width);
}

// A marker whose low four bits hold a count, or 0xF followed by the count as an integer.
void appendMarked(QByteArray& out, quint8 marker, quint64 count)
{
    if (count < 15) {
        out.append(char(marker | count));
    } else {
        out.append(char(marker | 0x0F));
        appendInteger(out, count);
    }
}

} // namespace

BinaryPlistWriter::Object BinaryPlistWriter::add(Entry entry)
{
    objects_.append(std::move(entry));
    return objects_.size() - 1;
}

BinaryPlistWriter::Object BinaryPlistWriter::integer(quint64 value)
{
    return add({integerMarker, value, {}, {}});
}

BinaryPlistWriter::Object BinaryPlistWriter::string(const QString& text)
{
    if (std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() < 0x80; }))
        return add({0x50, quint64(text.size()), text.toLatin1(), {}});
    // UTF-16, big-endian, of what UTF-8 keeps: a lone surrogate becomes "?" there.
    const QString valid = QString::fromUtf8(text.toUtf8());
    QByteArray bytes(valid.size() * 2, Qt::Uninitialized);
    qToBigEndian<char16_t>(valid.utf16(), valid.size(), bytes.data());
    return add({0x60, quint64(valid.size()), bytes, {}});
}

BinaryPlistWriter::Object BinaryPlistWriter::data(const QByteArray& bytes)
{
    return add({0x40, quint64(bytes.size()), bytes, {}});
}

BinaryPlistWriter::Object BinaryPlistWriter::array(const QList<Object>& elements)
{
    return add({0xA0, quint64(elements.size()), {}, elements});
}

BinaryPlistWriter::Object BinaryPlistWriter::dictionary(const QList<std::pair<Object, Object>>& entries)
{
    // All keys first, then all values in the same order.
    QList<Object> references;
    references.reserve(entries.size() * 2);
    for (const auto& entry : entries)
        references.append(entry.first);
    for (const auto& entry : entries)
        references.append(entry.second);
    return add({0xD0, quint64(entries.size()), {}, references});
}

QByteArray BinaryPlistWriter::finish(Object root) const
{
    const quint64 count = quint64(objects_.size());
    const int referenceSize = referenceWidth(count > 0 ? count - 1 : 0);
    // Each marker takes at most ten bytes with its count.
    qint64 size = 8;
    for (const Entry& entry : objects_)
        size += 10 + entry.bytes.size() + entry.references.size() * referenceSize;

    QByteArray out;
    out.reserve(size + qint64(count) * 8 + 32);
    out.append("bplist00");
    QList<quint64> offsets;
    offsets.reserve(objects_.size());
    for (const Entry& entry : objects_) {
        offsets.append(quint64(out.size()));
        if (entry.marker == integerMarker)
            appendInteger(out, entry.count);
        else
            appendMarked(out, entry.marker, entry.count);
        out.append(entry.bytes);
        for (const Object reference : entry.references)
            appendBigEndian(out, reference, referenceSize);
    }
    const quint64 offsetTable = quint64(out.size());
    const int offsetSize = referenceWidth(offsets.isEmpty() ? 0 : offsets.last());
    for (const quint64 offset : std::as_const(offsets))
        appendBigEndian(out, offset, offsetSize);
    // The trailer: five unused bytes, the sort version, both widths, the object count, the top
    // object and where the offsets start.
    out.append(6, '\0');
    out.append(char(offsetSize));
    out.append(char(referenceSize));
    appendBigEndian(out, count, 8);
    appendBigEndian(out, root, 8);
    appendBigEndian(out, offsetTable, 8);
    return out;
}

} // namespace tavlin
