#include "ClipPayloadCoder.h"

#include "DecodingError.h"

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

plist_t newString(const QString& text)
{
    return plist_new_string(text.toUtf8().constData());
}

// libplist keeps strings NUL-terminated: such a text would be cut short on disk.
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

plist_t newData(const QByteArray& bytes)
{
    return plist_new_data(bytes.constData(), static_cast<uint64_t>(bytes.size()));
}

plist_t newStrings(const QStringList& list)
{
    plist_t array = plist_new_array();
    for (const QString& text : list)
        plist_array_append_item(array, newString(text));
    return array;
}

void setOptionalInteger(plist_t dict, const char* key, const std::optional<qint64>& value)
{
    if (value)
        plist_dict_set_item(dict, key, plist_new_uint(static_cast<uint64_t>(*value)));
}

plist_t encodeMetadata(const ClipMetadata& metadata)
{
    plist_t dict = plist_new_dict();
    setOptionalInteger(dict, "characterCount", metadata.characterCount);
    setOptionalInteger(dict, "lineCount", metadata.lineCount);
    setOptionalInteger(dict, "pixelWidth", metadata.pixelWidth);
    setOptionalInteger(dict, "pixelHeight", metadata.pixelHeight);
    plist_dict_set_item(dict, "filePaths", newStrings(metadata.filePaths));
    plist_dict_set_item(dict, "fileNames", newStrings(metadata.fileNames));
    if (metadata.thumbnail)
        plist_dict_set_item(dict, "thumbnail", newData(*metadata.thumbnail));
    return dict;
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
    PlistPtr root(plist_new_dict());
    plist_t items = plist_new_array();
    for (const ClipItem& item : payload.items) {
        plist_t representations = plist_new_array();
        for (const ClipRepresentation& representation : item.representations) {
            plist_t entry = plist_new_dict();
            plist_dict_set_item(entry, "type", newString(representation.type));
            plist_dict_set_item(entry, "data", newData(representation.data));
            plist_array_append_item(representations, entry);
        }
        plist_t itemDict = plist_new_dict();
        plist_dict_set_item(itemDict, "representations", representations);
        plist_array_append_item(items, itemDict);
    }
    plist_dict_set_item(root.get(), "items", items);
    if (payload.metadata)
        plist_dict_set_item(root.get(), "metadata", encodeMetadata(*payload.metadata));

    char* bytes = nullptr;
    uint32_t length = 0;
    plist_to_bin(root.get(), &bytes, &length);
    if (!bytes)
        throw DecodingError(QStringLiteral("the payload could not be encoded"));
    // The tree holds a copy of every representation: let it go before the last copy is made.
    root.reset();
    QByteArray encoded(bytes, static_cast<qsizetype>(length));
    plist_to_bin_free(bytes);
    return encoded;
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
