#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>

namespace tavlin {

// The two ways a capture time is written: a short age on rows, a date and time in the preview.
struct HistoryTimestamp {
    // "Now" under a minute (and for times in the future), else whole minutes, hours or days,
    // always rounded down: "5 min", "3 h", "2 d".
    static QString relative(const QDateTime& date, const QDateTime& now);
    // The first moment after `now` at which `relative` reads otherwise; invalid when it never does.
    static QDateTime nextChange(const QDateTime& date, const QDateTime& now);
    // Day, abbreviated month and time of day in the locale's conventions and 12- or 24-hour
    // clock, Gregorian calendar, local time zone: "Dec 6, 3:05 PM", "6 дек., 15:05".
    static QString absolute(const QDateTime& date, const QLocale& locale);
    // The day-and-month part of `absolute` as a QLocale date format ("MMM d", "d MMM").
    static QString dayMonthFormat(const QLocale& locale);
};

} // namespace tavlin
