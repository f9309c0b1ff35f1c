#pragma once

#include <QLocale>
#include <QString>

namespace tavlin {

// Byte counts as the interface shows them: 1024-based, the unit chosen by size ("512 bytes",
// "12 KB", "1.5 MB", "32 MB", "1.25 GB"), zero spelled out, in the given locale.
struct ByteCountFormatter {
    static QString format(qint64 bytes, const QLocale& locale = QLocale());
};

} // namespace tavlin
