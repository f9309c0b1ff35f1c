#include "PlistDefaults.h"

#include "Log.h"
#include "PlistNesting.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <plist/plist.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <locale.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace tavlin {

namespace {

// Far above anything this application writes; a larger file is treated as damaged rather than
// read into memory.
constexpr qint64 maximumFileSize = 16 * 1024 * 1024;
// Our values nest a few levels at most (a dictionary of arrays of dictionaries). Conversion and
// libplist's own parser recurse once per level, so deeper files are refused before either runs.
constexpr int maximumNesting = 16;

struct PlistDeleter {
    void operator()(plist_t node) const { plist_free(node); }
};
using PlistPtr = std::unique_ptr<void, PlistDeleter>;

// libplist reads a real number with the C library's strtod, which follows LC_NUMERIC, and
// QCoreApplication sets that from the environment: under a decimal comma (a Russian or German
// desktop) "0.1" would read as 0. This thread parses and prints numbers the C way meanwhile.
class CNumbers {
public:
    CNumbers()
    {
        if (locale_t base = ::duplocale(LC_GLOBAL_LOCALE)) {
            c_ = ::newlocale(LC_NUMERIC_MASK, "C", base);
            if (!c_)
                ::freelocale(base);
        }
        if (c_)
            previous_ = ::uselocale(c_);
    }
    ~CNumbers()
    {
        if (c_) {
            ::uselocale(previous_);
            ::freelocale(c_);
        }
    }
    CNumbers(const CNumbers&) = delete;
    CNumbers& operator=(const CNumbers&) = delete;

private:
    locale_t c_ = nullptr;
    locale_t previous_ = nullptr;
};

QString systemError(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// Nodes of kinds the store does not hold (dates, UIDs) give an invalid QVariant and are left out.
QVariant toVariant(plist_t node)
{
    switch (plist_get_node_type(node)) {
    case PLIST_BOOLEAN: {
        uint8_t value = 0;
        plist_get_bool_val(node, &value);
        return QVariant(value != 0);
    }
    case PLIST_UINT: {
        // libplist keeps every integer as 64 bits; negative ones come back in two's complement.
        uint64_t value = 0;
        plist_get_uint_val(node, &value);
        return QVariant(static_cast<qlonglong>(value));
    }
    case PLIST_REAL: {
        double value = 0;
        plist_get_real_val(node, &value);
        return QVariant(value);
    }
    case PLIST_STRING: {
        uint64_t length = 0;
        const char* value = plist_get_string_ptr(node, &length);
        return QVariant(QString::fromUtf8(value, static_cast<qsizetype>(length)));
    }
    case PLIST_DATA: {
        uint64_t length = 0;
        const char* value = plist_get_data_ptr(node, &length);
        return QVariant(QByteArray(value, static_cast<qsizetype>(length)));
    }
    case PLIST_ARRAY: {
        QVariantList list;
        const uint32_t count = plist_array_get_size(node);
        for (uint32_t i = 0; i < count; ++i) {
            QVariant element = toVariant(plist_array_get_item(node, i));
            if (element.isValid())
                list.append(element);
        }
        return list;
    }
    case PLIST_DICT: {
        QVariantMap map;
        plist_dict_iter iterator = nullptr;
        plist_dict_new_iter(node, &iterator);
        while (true) {
            char* key = nullptr;
            plist_t value = nullptr;
            plist_dict_next_item(node, iterator, &key, &value);
            if (!key)
                break;
            QVariant element = value ? toVariant(value) : QVariant();
            if (element.isValid())
                map.insert(QString::fromUtf8(key), element);
            std::free(key);
        }
        std::free(iterator);
        return map;
    }
    default: return {};
    }
}

// `value` holds only the kinds Defaults::normalized lets through.
plist_t toNode(const QVariant& value)
{
    switch (value.typeId()) {
    case QMetaType::Bool: return plist_new_bool(value.toBool() ? 1 : 0);
    case QMetaType::LongLong: return plist_new_uint(static_cast<uint64_t>(value.toLongLong()));
    case QMetaType::Double: return plist_new_real(value.toDouble());
    case QMetaType::QString: return plist_new_string(value.toString().toUtf8().constData());
    case QMetaType::QByteArray: {
        const QByteArray bytes = value.toByteArray();
        return plist_new_data(bytes.constData(), static_cast<uint64_t>(bytes.size()));
    }
    case QMetaType::QVariantList: {
        plist_t array = plist_new_array();
        for (const QVariant& element : value.toList()) {
            if (plist_t node = toNode(element))
                plist_array_append_item(array, node);
        }
        return array;
    }
    case QMetaType::QVariantMap: {
        plist_t dict = plist_new_dict();
        const QVariantMap map = value.toMap();
        for (auto it = map.cbegin(); it != map.cend(); ++it) {
            if (plist_t node = toNode(it.value()))
                plist_dict_set_item(dict, it.key().toUtf8().constData(), node);
        }
        return dict;
    }
    default: return nullptr;
    }
}

bool writeAll(int fd, const char* bytes, size_t length)
{
    while (length > 0) {
        const ssize_t written = ::write(fd, bytes, length);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        bytes += written;
        length -= static_cast<size_t>(written);
    }
    return true;
}

// Creates the folder (and its parents) and makes the folder itself private.
bool preparePrivateFolder(const QString& folder)
{
    if (!QDir().mkpath(folder)) {
        Log::error(QStringLiteral("Defaults: cannot create %1").arg(folder));
        return false;
    }
    if (::chmod(QFile::encodeName(folder).constData(), 0700) != 0) {
        Log::error(QStringLiteral("Defaults: cannot restrict %1: %2").arg(folder, systemError(errno)));
        return false;
    }
    return true;
}

} // namespace

QString PlistDefaults::standardPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
        + QStringLiteral("/Tavlin/org.tavlin.Tavlin.plist");
}

PlistDefaults::PlistDefaults(QString path, QObject* parent) : Defaults(parent), path_(std::move(path))
{
    load();
}

void PlistDefaults::load()
{
    QFile file(path_);
    if (!file.exists())
        return;

    QString problem;
    QByteArray bytes;
    if (!file.open(QIODevice::ReadOnly)) {
        problem = file.errorString();
    } else if (file.size() > maximumFileSize) {
        problem = QStringLiteral("larger than %1 bytes").arg(maximumFileSize);
    } else {
        bytes = file.readAll();
        if (file.error() != QFileDevice::NoError)
            problem = file.errorString();
    }

    if (problem.isEmpty() && !PlistNesting::isWithin(bytes, maximumNesting))
        problem = QStringLiteral("nested deeper than %1 levels").arg(maximumNesting);
    if (problem.isEmpty()) {
        plist_t root = nullptr;
        const CNumbers cNumbers;
        if (!bytes.isEmpty())
            plist_from_memory(bytes.constData(), static_cast<uint32_t>(bytes.size()), &root);
        PlistPtr owner(root);
        if (!root || plist_get_node_type(root) != PLIST_DICT)
            problem = QStringLiteral("not a property list with a dictionary at its root");
        else
            values_ = toVariant(root).toMap();
    }

    if (!problem.isEmpty()) {
        damaged_ = true;
        values_.clear();
        Log::error(QStringLiteral("Defaults: %1 cannot be read (%2); starting with empty settings, "
                                  "the file is kept as %1.damaged")
                       .arg(path_, problem));
    }
}

void PlistDefaults::store(const QString& key, const QVariant& value)
{
    if (value.isValid())
        values_.insert(key, value);
    else
        values_.remove(key);
    save();
}

bool PlistDefaults::moveDamagedFileAside()
{
    const QByteArray from = QFile::encodeName(path_);
    const QByteArray to = QFile::encodeName(path_ + QStringLiteral(".damaged"));
    if (::rename(from.constData(), to.constData()) != 0 && errno != ENOENT) {
        Log::error(QStringLiteral("Defaults: cannot move the damaged %1 aside: %2; settings are not saved")
                       .arg(path_, systemError(errno)));
        return false;
    }
    damaged_ = false;
    return true;
}

bool PlistDefaults::save()
{
    const QString folder = QFileInfo(path_).absolutePath();
    if (!preparePrivateFolder(folder))
        return false;
    if (damaged_ && !moveDamagedFileAside())
        return false;

    PlistPtr root(toNode(values_));
    char* xml = nullptr;
    uint32_t length = 0;
    {
        const CNumbers cNumbers;
        plist_to_xml(root.get(), &xml, &length);
    }
    if (!xml) {
        Log::error(QStringLiteral("Defaults: cannot encode the settings for %1").arg(path_));
        return false;
    }
    std::unique_ptr<char, void (*)(char*)> xmlOwner(xml, plist_to_xml_free);

    QByteArray temporary = QFile::encodeName(folder + u'/' + QFileInfo(path_).fileName()) + ".XXXXXX";
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC); // created 0600
    if (fd < 0) {
        Log::error(QStringLiteral("Defaults: cannot create a file in %1: %2").arg(folder, systemError(errno)));
        return false;
    }
    bool written = writeAll(fd, xml, length) && ::fsync(fd) == 0;
    const int writeError = errno;
    written = (::close(fd) == 0) && written;
    if (written && ::rename(temporary.constData(), QFile::encodeName(path_).constData()) == 0) {
        // Make the rename itself durable.
        const int folderFd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (folderFd >= 0) {
            ::fsync(folderFd);
            ::close(folderFd);
        }
        return true;
    }
    const int error = written ? errno : writeError;
    ::unlink(temporary.constData());
    Log::error(QStringLiteral("Defaults: cannot write %1: %2").arg(path_, systemError(error)));
    return false;
}

} // namespace tavlin
