#include "CardMetadata.h"

#include "ClipKindLabel.h"

#include <QCoreApplication>
#include <QLocale>

#include <algorithm>
#include <climits>

namespace tavlin {

namespace {

QString pixelSize(qint64 width, qint64 height)
{
    return QStringLiteral("%1 × %2 px").arg(width).arg(height);
}

} // namespace

std::optional<QString> CardMetadata::dimensions(const std::optional<ClipMetadata>& metadata)
{
    if (!metadata || !metadata->pixelWidth || !metadata->pixelHeight)
        return std::nullopt;
    return pixelSize(*metadata->pixelWidth, *metadata->pixelHeight);
}

QString CardMetadata::footer(const std::optional<ClipMetadata>& metadata, ClipKind kind)
{
    return footer(metadata, kind, true);
}

QString CardMetadata::shortFooter(const std::optional<ClipMetadata>& metadata, ClipKind kind)
{
    return footer(metadata, kind, false);
}

QString CardMetadata::footer(const std::optional<ClipMetadata>& metadata, ClipKind kind, bool withLines)
{
    if (metadata) {
        if (kind == ClipKind::file && !metadata->filePaths.isEmpty())
            return folder(metadata->filePaths.first());
        if (const std::optional<QString> size = dimensions(metadata))
            return *size;
        if (metadata->characterCount) {
            // Counts computed apart from the lookups, which the translation tools must read plainly.
            const int characterCount = int(std::min<qint64>(*metadata->characterCount, INT_MAX));
            const int lineCount = int(std::min<qint64>(metadata->lineCount.value_or(0), INT_MAX));
            const QString characters = QCoreApplication::translate("Tavlin", "%n character(s)", nullptr,
                                                                   characterCount);
            if (withLines && lineCount >= 2)
                return QCoreApplication::translate("Tavlin", "%n line(s)", nullptr, lineCount) + QStringLiteral(" · ")
                    + characters;
            return characters;
        }
    }
    return kindName(kind);
}

QString CardMetadata::kindName(ClipKind kind)
{
    // A name in a footer is written as its language writes a heading: English capitalises every
    // word, Russian only the first, so the case comes from the string tables rather than a rule.
    if (kind == ClipKind::richText)
        return QCoreApplication::translate("Tavlin", "Rich Text");
    return displayLabel(kind);
}

QString CardMetadata::folder(const QString& path)
{
    QString trimmed = path;
    while (trimmed.size() > 1 && trimmed.endsWith(u'/'))
        trimmed.chop(1);
    const qsizetype slash = trimmed.lastIndexOf(u'/');
    // No slash: the path is one component and has no folder of its own.
    QString parent = slash < 0 ? QString() : trimmed.left(slash);
    return parent.endsWith(u'/') ? parent : parent + u'/';
}

} // namespace tavlin
