#include "ClipMetadata.h"

namespace tavlin {

namespace {

void appendString(QByteArray& out, const QByteArray& utf8, bool escapeSlashes = true)
{
    out += '"';
    // Bytes that need no escape are copied a run at a time: a list of 100,000 file paths is
    // hashed with every record it belongs to.
    qsizetype run = 0;
    for (qsizetype i = 0; i < utf8.size(); ++i) {
        const auto byte = static_cast<unsigned char>(utf8[i]);
        if (byte >= 0x20 && byte != '"' && byte != '\\' && (byte != '/' || !escapeSlashes))
            continue;
        out.append(utf8.constData() + run, i - run);
        run = i + 1;
        switch (byte) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '/': out += "\\/"; break;
        case '\b': out += "\\b"; break;
        case '\f': out += "\\f"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default: out += "\\u00"; out += QByteArray::number(byte, 16).rightJustified(2, '0');
        }
    }
    out.append(utf8.constData() + run, utf8.size() - run);
    out += '"';
}

void appendStrings(QByteArray& out, const QStringList& list)
{
    out += '[';
    for (qsizetype i = 0; i < list.size(); ++i) {
        if (i > 0)
            out += ',';
        appendString(out, list[i].toUtf8());
    }
    out += ']';
}

} // namespace

QByteArray ClipMetadata::sortedKeyJSON() const
{
    return json(ThumbnailSlashes::escaped);
}

QByteArray ClipMetadata::earlierSortedKeyJSON() const
{
    return json(ThumbnailSlashes::bare);
}

QByteArray ClipMetadata::json(ThumbnailSlashes slashes) const
{
    // Written by hand because the digest needs one exact byte sequence: QJsonDocument neither
    // sorts nor escapes the way stored digests expect.
    QByteArray out = "{";
    // A list of 100,000 files makes megabytes: room for them at once rather than by growing
    // (escaped slashes counted in).
    qsizetype expected = 256 + (thumbnail ? thumbnail->size() * 2 : 0);
    for (const QStringList* list : {&fileNames, &filePaths}) {
        for (const QString& text : *list)
            expected += text.size() * 5 / 4 + 3;
    }
    out.reserve(expected);
    auto key = [&out](const char* name) {
        if (out.size() > 1)
            out += ',';
        out += '"';
        out += name;
        out += "\":";
    };
    if (characterCount) {
        key("characterCount");
        out += QByteArray::number(*characterCount);
    }
    key("fileNames");
    appendStrings(out, fileNames);
    key("filePaths");
    appendStrings(out, filePaths);
    if (lineCount) {
        key("lineCount");
        out += QByteArray::number(*lineCount);
    }
    if (pixelHeight) {
        key("pixelHeight");
        out += QByteArray::number(*pixelHeight);
    }
    if (pixelWidth) {
        key("pixelWidth");
        out += QByteArray::number(*pixelWidth);
    }
    if (thumbnail) {
        key("thumbnail");
        appendString(out, thumbnail->toBase64(), slashes == ThumbnailSlashes::escaped);
    }
    out += '}';
    return out;
}

} // namespace tavlin
