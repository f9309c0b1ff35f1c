#include "ClipPayloadCoder.h"

#include "BinaryPlistWriter.h"
#include "DecodingError.h"

#include <QHash>
#include <QList>

#include <plist/plist.h>

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <memory>

namespace tavlin {

namespace {

struct PlistDeleter {
    void operator()(void* node) const { plist_free(static_cast<plist_t>(node)); }
};
using PlistPtr = std::unique_ptr<void, PlistDeleter>;

// libplist reads strings back NUL-terminated: such a text would return cut short.
void refuseNulCharacters(const ClipPayload& payload)
{
    const auto holdsNul = [](const QString& text) { return text.contains(QChar(u'\0')); };
    bool found = false;
    for (const ClipItem& item : payload.items) {
        for (const ClipRepresentation& representation : item.representations)
            found = found || holdsNul(representation.type);
    }
    if (payload.metadata) {
        for (const QStringList* list : {&payload.metadata->filePaths, &payload.metadata->fileNames})
            found = found || std::any_of(list->begin(), list->end(), holdsNul);
    }
    if (found)
        throw DecodingError(QStringLiteral("a text of the payload holds a NUL character"));
}

using Object = BinaryPlistWriter::Object;

Object strings(BinaryPlistWriter& plist, const QStringList& list)
{
    QList<Object> elements;
    elements.reserve(list.size());
    for (const QString& text : list)
        elements.append(plist.string(text));
    return plist.array(elements);
}

Object encodeMetadata(BinaryPlistWriter& plist, const ClipMetadata& metadata)
{
    QList<std::pair<Object, Object>> entries;
    const auto setOptional = [&](const char* key, const std::optional<qint64>& value) {
        if (value)
            entries.append({plist.string(QLatin1String(key)), plist.integer(static_cast<quint64>(*value))});
    };
    setOptional("characterCount", metadata.characterCount);
    setOptional("lineCount", metadata.lineCount);
    setOptional("pixelWidth", metadata.pixelWidth);
    setOptional("pixelHeight", metadata.pixelHeight);
    entries.append({plist.string(QStringLiteral("filePaths")), strings(plist, metadata.filePaths)});
    entries.append({plist.string(QStringLiteral("fileNames")), strings(plist, metadata.fileNames)});
    if (metadata.thumbnail)
        entries.append({plist.string(QStringLiteral("thumbnail")), plist.data(*metadata.thumbnail)});
    return plist.dictionary(entries);
}

[[noreturn]] void fail(const char* what)
{
    throw DecodingError(QString::fromUtf8(what));
}

plist_t required(plist_t dict, const char* key, plist_type type)
{
    plist_t node = plist_dict_get_item(dict, key);
    if (!node)
        fail("a required key is missing");
    if (plist_get_node_type(node) != type)
        fail("a value has the wrong type");
    return node;
}

plist_t optional(plist_t dict, const char* key, plist_type type)
{
    plist_t node = plist_dict_get_item(dict, key);
    if (node && plist_get_node_type(node) != type)
        fail("a value has the wrong type");
    return node;
}

QString stringValue(plist_t node)
{
    if (plist_get_node_type(node) != PLIST_STRING)
        fail("a value has the wrong type");
    uint64_t length = 0;
    const char* text = plist_get_string_ptr(node, &length);
    return QString::fromUtf8(text, static_cast<qsizetype>(length));
}

QByteArray dataValue(plist_t node)
{
    uint64_t length = 0;
    const char* bytes = plist_get_data_ptr(node, &length);
    return QByteArray(bytes, static_cast<qsizetype>(length));
}

std::optional<qint64> optionalInteger(plist_t dict, const char* key)
{
    plist_t node = optional(dict, key, PLIST_UINT);
    if (!node)
        return std::nullopt;
    uint64_t value = 0;
    plist_get_uint_val(node, &value);
    return static_cast<qint64>(value);
}

// The elements of an array in order. libplist finds an element of a parsed array by index by
// walking the array from its start: indexing in a loop is quadratic in the number of items.
QList<plist_t> elements(plist_t array)
{
    QList<plist_t> list;
    plist_array_iter iterator = nullptr;
    plist_array_new_iter(array, &iterator);
    while (true) {
        plist_t element = nullptr;
        plist_array_next_item(array, iterator, &element);
        if (!element)
            break;
        list.append(element);
    }
    std::free(iterator);
    return list;
}

QStringList stringList(plist_t dict, const char* key)
{
    QStringList list;
    for (plist_t element : elements(required(dict, key, PLIST_ARRAY)))
        list.append(stringValue(element));
    return list;
}

ClipMetadata decodeMetadata(plist_t dict)
{
    ClipMetadata metadata;
    metadata.characterCount = optionalInteger(dict, "characterCount");
    metadata.lineCount = optionalInteger(dict, "lineCount");
    metadata.pixelWidth = optionalInteger(dict, "pixelWidth");
    metadata.pixelHeight = optionalInteger(dict, "pixelHeight");
    metadata.filePaths = stringList(dict, "filePaths");
    metadata.fileNames = stringList(dict, "fileNames");
    if (plist_t thumbnail = optional(dict, "thumbnail", PLIST_DATA))
        metadata.thumbnail = dataValue(thumbnail);
    return metadata;
}

plist_t dict(plist_t node)
{
    if (plist_get_node_type(node) != PLIST_DICT)
        fail("a value has the wrong type");
    return node;
}

} // namespace

QByteArray ClipPayloadCoder::encode(const ClipPayload& payload)
{
    refuseNulCharacters(payload);
    BinaryPlistWriter plist;
    // An item takes four objects with one representation, each metadata entry one: close enough.
    plist.reserve(payload.items.size() * 4
                  + (payload.metadata ? payload.metadata->filePaths.size() + payload.metadata->fileNames.size() : 0)
                  + 32);
    const Object typeKey = plist.string(QStringLiteral("type"));
    const Object dataKey = plist.string(QStringLiteral("data"));
    const Object representationsKey = plist.string(QStringLiteral("representations"));
    // A file list repeats one type in each of its items: each type is written once and shared.
    QHash<QString, Object> types;
    const auto type = [&](const QString& name) {
        const auto found = types.constFind(name);
        return found != types.cend() ? *found : *types.insert(name, plist.string(name));
    };
    QList<Object> items;
    items.reserve(payload.items.size());
    for (const ClipItem& item : payload.items) {
        QList<Object> representations;
        for (const ClipRepresentation& representation : item.representations) {
            representations.append(
                plist.dictionary({{typeKey, type(representation.type)}, {dataKey, plist.data(representation.data)}}));
        }
        items.append(plist.dictionary({{representationsKey, plist.array(representations)}}));
    }
    QList<std::pair<Object, Object>> root = {{plist.string(QStringLiteral("items")), plist.array(items)}};
    if (payload.metadata)
        root.append({plist.string(QStringLiteral("metadata")), encodeMetadata(plist, *payload.metadata)});
    return plist.finish(plist.dictionary(root));
}

qint64 ClipPayloadCoder::minimumEncodedSize(const ClipPayload& payload)
{
    qint64 size = 0;
    for (const ClipItem& item : payload.items) {
        for (const ClipRepresentation& representation : item.representations)
            size += representation.data.size();
    }
    if (payload.metadata) {
        for (const QStringList* strings : {&payload.metadata->filePaths, &payload.metadata->fileNames}) {
            for (const QString& string : *strings)
                size += string.size();
        }
        if (payload.metadata->thumbnail)
            size += payload.metadata->thumbnail->size();
    }
    return size;
}

ClipPayload ClipPayloadCoder::decode(const QByteArray& bytes)
{
    if (bytes.size() > std::numeric_limits<uint32_t>::max())
        fail("the data is too large");
    plist_t parsed = nullptr;
    plist_from_bin(bytes.constData(), static_cast<uint32_t>(bytes.size()), &parsed);
    PlistPtr root(parsed);
    if (!root || plist_get_node_type(root.get()) != PLIST_DICT)
        fail("the data is not a binary property list of a dictionary");

    ClipPayload payload;
    for (plist_t itemDict : elements(required(root.get(), "items", PLIST_ARRAY))) {
        ClipItem item;
        for (plist_t entry : elements(required(dict(itemDict), "representations", PLIST_ARRAY))) {
            dict(entry);
            item.representations.append(
                {stringValue(required(entry, "type", PLIST_STRING)), dataValue(required(entry, "data", PLIST_DATA))});
        }
        payload.items.append(std::move(item));
    }
    if (plist_t metadata = optional(root.get(), "metadata", PLIST_DICT))
        payload.metadata = decodeMetadata(metadata);
    return payload;
}

} // namespace tavlin
