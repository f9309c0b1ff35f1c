// Payload files: names, the digest, loading with verification.
#include "HistoryStore.h"

#include "ClipPayloadCoder.h"
#include "FileSystemError.h"
#include "PlistNesting.h"
#include "StorageError.h"

#include <QFile>

#include <openssl/evp.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace tavlin {

namespace {

class Sha256 {
public:
    Sha256() : context_(EVP_MD_CTX_new())
    {
        if (!context_ || EVP_DigestInit_ex(context_.get(), EVP_sha256(), nullptr) != 1)
            throw std::bad_alloc();
    }

    void update(const void* bytes, std::size_t length) { EVP_DigestUpdate(context_.get(), bytes, length); }
    void update(const QByteArray& bytes) { update(bytes.constData(), static_cast<std::size_t>(bytes.size())); }

    // Counts and lengths go in as unsigned 64-bit big-endian numbers.
    void updateCount(quint64 count)
    {
        std::array<unsigned char, 8> bytes{};
        for (int i = 7; i >= 0; --i) {
            bytes[static_cast<std::size_t>(i)] = static_cast<unsigned char>(count & 0xff);
            count >>= 8;
        }
        update(bytes.data(), bytes.size());
    }

    void updateSized(const QByteArray& bytes)
    {
        updateCount(static_cast<quint64>(bytes.size()));
        update(bytes);
    }

    QString hexDigest()
    {
        std::array<unsigned char, EVP_MAX_MD_SIZE> digest{};
        unsigned int length = 0;
        EVP_DigestFinal_ex(context_.get(), digest.data(), &length);
        return QString::fromLatin1(QByteArray(reinterpret_cast<const char*>(digest.data()), length).toHex());
    }

private:
    struct Free {
        void operator()(EVP_MD_CTX* context) const { EVP_MD_CTX_free(context); }
    };
    std::unique_ptr<EVP_MD_CTX, Free> context_;
};

bool isHexDigit(QChar c)
{
    return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || (c >= QLatin1Char('a') && c <= QLatin1Char('f'))
        || (c >= QLatin1Char('A') && c <= QLatin1Char('F'));
}

bool isUUIDText(QStringView text)
{
    if (text.size() != 36)
        return false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const bool hyphen = i == 8 || i == 13 || i == 18 || i == 23;
        if (hyphen ? text[i] != QLatin1Char('-') : !isHexDigit(text[i]))
            return false;
    }
    return true;
}

[[noreturn]] void damaged(const char* detail)
{
    throw StorageError(QString::fromUtf8(detail), StorageError::Kind::damagedRecord);
}

} // namespace

QString HistoryStore::fingerprint(const ClipPayload& payload)
{
    return fingerprint(payload, &ClipMetadata::sortedKeyJSON);
}

bool HistoryStore::matchesDigest(const ClipPayload& payload, const QString& digest)
{
    if (fingerprint(payload) == digest)
        return true;
    // Earlier builds hashed an image record's thumbnail with its "/" bare; their records stay
    // good as long as they match that form.
    const bool hadBareSlashes = payload.metadata && payload.metadata->thumbnail
        && payload.metadata->thumbnail->toBase64().contains('/');
    return hadBareSlashes && fingerprint(payload, &ClipMetadata::earlierSortedKeyJSON) == digest;
}

QString HistoryStore::fingerprint(const ClipPayload& payload, QByteArray (ClipMetadata::*metadataJSON)() const)
{
    Sha256 hash;
    hash.updateCount(static_cast<quint64>(payload.items.size()));
    for (const ClipItem& item : payload.items) {
        // Representations are hashed in canonical order, so the same content read in another
        // order deduplicates; items keep their order, which is part of the content.
        QList<const ClipRepresentation*> sorted;
        sorted.reserve(item.representations.size());
        for (const ClipRepresentation& representation : item.representations)
            sorted.append(&representation);
        std::sort(sorted.begin(), sorted.end(), [](const ClipRepresentation* a, const ClipRepresentation* b) {
            const QByteArray typeA = a->type.toUtf8();
            const QByteArray typeB = b->type.toUtf8();
            if (typeA != typeB)
                return typeA < typeB;
            return a->data < b->data;
        });
        hash.updateCount(static_cast<quint64>(sorted.size()));
        for (const ClipRepresentation* representation : std::as_const(sorted)) {
            hash.updateSized(representation->type.toUtf8());
            hash.updateSized(representation->data);
        }
    }
    if (payload.metadata) {
        static const QByteArray tag = QByteArrayLiteral("Tavlin.capture-metadata.v1");
        hash.update(tag);
        hash.updateSized(((*payload.metadata).*metadataJSON)());
    }
    return hash.hexDigest();
}

bool HistoryStore::isValidPayloadFileName(QStringView name)
{
    return name.size() == 41 && name.endsWith(QLatin1String(".clip")) && isUUIDText(name.first(36));
}

QString HistoryStore::payloadPath(const QString& fileName) const
{
    // Names come from the database: nothing that could point outside the folder gets through.
    if (!isValidPayloadFileName(fileName))
        damaged("Invalid reference to clipboard data");
    return payloadDirectory_ + QLatin1Char('/') + fileName;
}

bool HistoryStore::removeFiles(const QStringList& fileNames) const
{
    bool removed = true;
    for (const QString& name : fileNames) {
        if (isValidPayloadFileName(name)
            && ::unlink(QFile::encodeName(payloadDirectory_ + QLatin1Char('/') + name).constData()) != 0
            && errno != ENOENT)
            removed = false;
    }
    return removed;
}

std::optional<ClipPayload> HistoryStore::loadPayload(qint64 id)
{
    SqliteStatement statement = prepare(
        "SELECT payload_filename, payload_digest, payload_bytes, kind FROM clips WHERE id = ?");
    if (statement.bindInt64(1, id) != SQLITE_OK)
        throwUnavailable();
    const int result = statement.step();
    if (result == SQLITE_DONE)
        return std::nullopt;
    if (result != SQLITE_ROW)
        throwUnavailable();

    const std::optional<QString> fileName = statement.text(0);
    const std::optional<QString> digest = statement.text(1);
    const qint64 storedBytes = statement.int64(2);
    if (!fileName) {
        if (statement.text(3) == QStringLiteral("text") && !digest && storedBytes == 0)
            return std::nullopt; // a legacy row: its text column is the whole record
        damaged("Missing reference to clipboard data");
    }
    if (!digest)
        damaged("Missing checksum of clipboard data");
    const QString path = payloadPath(*fileName);
    const QByteArray native = QFile::encodeName(path);

    struct stat info { };
    if (::lstat(native.constData(), &info) != 0)
        FileSystemError::throwErrno(path);
    if (!S_ISREG(info.st_mode))
        damaged("Invalid clipboard data file");
    if (info.st_size < 1 || info.st_size > maximumPayloadBytes || info.st_size != storedBytes)
        damaged("Corrupted clipboard data size");

    // O_NOFOLLOW: a link swapped in after the check above is refused, never followed.
    const int fd = ::open(native.constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ELOOP)
            damaged("Invalid clipboard data file");
        FileSystemError::throwErrno(path);
    }
    QByteArray bytes(storedBytes + 1, Qt::Uninitialized);
    qint64 total = 0;
    while (total < bytes.size()) {
        const ssize_t count = ::read(fd, bytes.data() + total, static_cast<std::size_t>(bytes.size() - total));
        if (count < 0) {
            if (errno == EINTR)
                continue;
            const int error = errno;
            ::close(fd);
            throw FileSystemError(error, path);
        }
        if (count == 0)
            break;
        total += count;
    }
    ::close(fd);
    if (total != storedBytes)
        damaged("Clipboard data changed while being read");
    bytes.truncate(total);

    // libplist's parser recurses once per level: a file nested deeper than any payload would
    // overflow the stack of the thread reading it.
    if (!PlistNesting::isWithin(bytes, ClipPayloadCoder::maximumNesting))
        damaged("Clipboard data nested deeper than a payload");
    ClipPayload payload = ClipPayloadCoder::decode(bytes);
    if (!matchesDigest(payload, *digest))
        damaged("Corrupted clipboard data: checksum mismatch");
    return payload;
}

} // namespace tavlin
