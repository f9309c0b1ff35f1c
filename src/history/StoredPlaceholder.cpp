#include "StoredPlaceholder.h"

#include <QCoreApplication>

#include <limits>

namespace tavlin {

namespace {

const QString filesPrefix = QStringLiteral("Файлы (");
const QString filesSuffix = QStringLiteral(")");

// A whole decimal number with an optional sign and nothing else: no spaces, only ASCII digits.
bool isDecimalInteger(QStringView text)
{
    if (text.startsWith(u'+') || text.startsWith(u'-'))
        text = text.sliced(1);
    if (text.isEmpty())
        return false;
    for (QChar c : text) {
        if (c < u'0' || c > u'9')
            return false;
    }
    return true;
}

} // namespace

QString StoredPlaceholder::image()
{
    return QStringLiteral("Изображение");
}

QString StoredPlaceholder::pdfDocument()
{
    return QStringLiteral("PDF-документ");
}

QString StoredPlaceholder::formattedText()
{
    return QStringLiteral("Форматированный текст");
}

QString StoredPlaceholder::files(qint64 count)
{
    return filesPrefix + QString::number(count) + filesSuffix;
}

std::optional<QString> StoredPlaceholder::display(const QString& text, ClipKind kind)
{
    switch (kind) {
    case ClipKind::richText:
        if (text == formattedText())
            return QCoreApplication::translate("Tavlin", "Formatted text");
        return std::nullopt;
    case ClipKind::image:
        if (text == image())
            return QCoreApplication::translate("Tavlin", "Image");
        return std::nullopt;
    case ClipKind::other:
        if (text == pdfDocument())
            return QCoreApplication::translate("Tavlin", "PDF document");
        return std::nullopt;
    case ClipKind::file: {
        if (!text.startsWith(filesPrefix) || !text.endsWith(filesSuffix))
            return std::nullopt;
        const QStringView middle = QStringView(text).sliced(filesPrefix.size(),
                                                            text.size() - filesPrefix.size() - filesSuffix.size());
        if (!isDecimalInteger(middle))
            return std::nullopt;
        bool ok = false;
        const qlonglong count = middle.toLongLong(&ok);
        // One file stores its own name, never this placeholder; the count must fit the plural lookup.
        if (!ok || count == 1 || count < std::numeric_limits<int>::min() || count > std::numeric_limits<int>::max())
            return std::nullopt;
        return QCoreApplication::translate("Tavlin", "Files (%n)", nullptr, int(count));
    }
    case ClipKind::text:
    case ClipKind::link: break;
    }
    return std::nullopt;
}

} // namespace tavlin
