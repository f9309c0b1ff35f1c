#include "ByteCountFormatter.h"

#include <QCoreApplication>

#include <cmath>

namespace tavlin {

QString ByteCountFormatter::format(qint64 bytes, const QLocale& locale)
{
    if (bytes == 0)
        return QCoreApplication::translate("Core", "Zero KB");
    const double magnitude = std::abs(static_cast<double>(bytes));
    if (magnitude < 1024) {
        const int count = static_cast<int>(bytes);
        return QCoreApplication::translate("Core", "%n byte(s)", nullptr, count);
    }

    // Kilobytes whole, megabytes to one decimal, larger units to two; trailing zeros dropped.
    struct Unit {
        const char* format;
        int decimals;
    };
    static const Unit units[] = {
        {QT_TRANSLATE_NOOP("Core", "%1 KB"), 0}, {QT_TRANSLATE_NOOP("Core", "%1 MB"), 1},
        {QT_TRANSLATE_NOOP("Core", "%1 GB"), 2}, {QT_TRANSLATE_NOOP("Core", "%1 TB"), 2},
        {QT_TRANSLATE_NOOP("Core", "%1 PB"), 2},
    };
    double value = static_cast<double>(bytes) / 1024.0;
    std::size_t unit = 0;
    while (unit + 1 < std::size(units) && std::abs(value) >= 1024.0) {
        value /= 1024.0;
        ++unit;
    }
    const double scale = std::pow(10.0, units[unit].decimals);
    double rounded = std::round(value * scale) / scale;
    // Rounding can carry into the next unit (1023.96 KB reads as 1 MB, not 1024 KB).
    if (std::abs(rounded) >= 1024.0 && unit + 1 < std::size(units)) {
        ++unit;
        const double nextScale = std::pow(10.0, units[unit].decimals);
        rounded = std::round(rounded / 1024.0 * nextScale) / nextScale;
    }
    const QString number = locale.toString(rounded, 'f', QLocale::FloatingPointShortest);
    return QCoreApplication::translate("Core", units[unit].format).arg(number);
}

} // namespace tavlin
