#include "HostileFiles.h"

namespace tavlin::test {

namespace {

void appendNumber(QByteArray& bytes, quint64 value, int width)
{
    for (int shift = (width - 1) * 8; shift >= 0; shift -= 8)
        bytes.append(char((value >> shift) & 0xff));
}

} // namespace

QByteArray binaryArrayGraph(const QList<QList<quint32>>& references)
{
    const int referenceSize = references.size() < 0x100 ? 1 : references.size() < 0x10000 ? 2 : 4;
    QByteArray bytes("bplist00");
    QList<quint64> offsets;
    for (const QList<quint32>& array : references) {
        offsets.append(quint64(bytes.size()));
        if (array.size() < 15) {
            bytes.append(char(0xA0 | array.size()));
        } else {
            bytes.append(char(0xAF));
            bytes.append(char(0x12)); // a four-byte count follows
            appendNumber(bytes, quint64(array.size()), 4);
        }
        for (const quint32 index : array)
            appendNumber(bytes, index, referenceSize);
    }
    const quint64 tableOffset = quint64(bytes.size());
    for (const quint64 offset : offsets)
        appendNumber(bytes, offset, 8);
    bytes.append(QByteArray(6, '\0'));
    bytes.append(char(8));
    bytes.append(char(referenceSize));
    appendNumber(bytes, quint64(references.size()), 8);
    appendNumber(bytes, 0, 8);
    appendNumber(bytes, tableOffset, 8);
    return bytes;
}

QByteArray nestedBinaryArrays(int depth)
{
    QList<QList<quint32>> references(depth);
    for (int i = 0; i + 1 < depth; ++i)
        references[i] = {quint32(i + 1)};
    return binaryArrayGraph(references);
}

QByteArray nestedXmlArrays(int depth)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict><key>deep</key>"
        + QByteArray("<array>").repeated(depth) + QByteArray("</array>").repeated(depth) + "</dict></plist>\n";
}

} // namespace tavlin::test
