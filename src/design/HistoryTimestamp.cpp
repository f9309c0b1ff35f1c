#include "HistoryTimestamp.h"

#include <QCalendar>
#include <QCoreApplication>

#include <cmath>

namespace tavlin {

namespace {

// One piece of a QLocale date format: a run of one field letter, or literal text (quotes kept).
struct FormatPiece {
    QString text;
    bool field = false;
};

// Field letters are the ASCII letters; anything else, and text in quotes, is literal.
bool isFieldLetter(QChar c)
{
    return c.unicode() < 128 && c.isLetter();
}

QList<FormatPiece> pieces(const QString& format)
{
    QList<FormatPiece> result;
    for (qsizetype i = 0; i < format.size();) {
        const QChar c = format.at(i);
        const bool field = isFieldLetter(c);
        qsizetype end = i + 1;
        if (c == u'\'') {
            while (end < format.size() && format.at(end) != u'\'')
                ++end;
            end = qMin(end + 1, format.size());
        } else {
            while (end < format.size() && format.at(end) != u'\''
                   && (field ? format.at(end) == c : !isFieldLetter(format.at(end))))
                ++end;
        }
        const QString text = format.mid(i, end - i);
        if (!field && !result.isEmpty() && !result.last().field)
            result.last().text += text;
        else
            result.append({text, field});
        i = end;
    }
    return result;
}

bool isYearOrWeekday(const FormatPiece& piece)
{
    return piece.field && (piece.text.startsWith(u'y') || piece.text == u"ddd" || piece.text == u"dddd");
}

// Literal text that only separates fields (spaces, commas, dots): dropped with a field it joins.
bool isSeparator(const FormatPiece& piece)
{
    if (piece.field)
        return false;
    for (QChar c : piece.text) {
        if (c.isLetter())
            return false;
    }
    return true;
}

} // namespace

QString HistoryTimestamp::relative(const QDateTime& date, const QDateTime& now)
{
    if (!date.isValid() || !now.isValid())
        return QCoreApplication::translate("Tavlin", "Now");
    const double age = date.msecsTo(now) / 1000.0;
    if (age < 60)
        return QCoreApplication::translate("Tavlin", "Now");
    // Whole units computed apart from the lookups, which the translation tools must read plainly.
    const int minutes = int(std::floor(age / 60));
    const int hours = int(std::floor(age / 3600));
    const int days = int(std::floor(age / 86400));
    if (age < 3600)
        return QCoreApplication::translate("Tavlin", "%n min", nullptr, minutes);
    if (age < 86400)
        return QCoreApplication::translate("Tavlin", "%n h", nullptr, hours);
    return QCoreApplication::translate("Tavlin", "%n d", nullptr, days);
}

QDateTime HistoryTimestamp::nextChange(const QDateTime& date, const QDateTime& now)
{
    if (!date.isValid() || !now.isValid())
        return {};
    const qint64 age = date.msecsTo(now);
    // The age is shown in whole units of the largest that fits, so it reads otherwise when it
    // reaches the next whole one (a minute old, it first turns from "Now" to "1 min").
    constexpr qint64 minute = 60'000, hour = 60 * minute, day = 24 * hour;
    const qint64 unit = age < hour ? minute : age < day ? hour : day;
    const qint64 reached = age < minute ? minute : (age / unit + 1) * unit;
    return date.addMSecs(reached);
}

QString HistoryTimestamp::dayMonthFormat(const QLocale& locale)
{
    // The locale's long date without its year and weekday keeps the locale's order and
    // punctuation of day and month ("MMMM d", "d MMMM", "d. MMMM", "M月d日").
    QList<FormatPiece> list = pieces(locale.dateFormat(QLocale::LongFormat));
    for (qsizetype i = 0; i < list.size();) {
        if (!isYearOrWeekday(list.at(i))) {
            ++i;
            continue;
        }
        // A field takes the separator after it along; the last one takes the separator before it.
        if (i + 1 < list.size() && !list.at(i + 1).field)
            list.removeAt(i + 1);
        else if (i > 0 && isSeparator(list.at(i - 1))) {
            list.removeAt(--i);
        }
        list.removeAt(i);
    }
    while (!list.isEmpty() && !list.first().field && isSeparator(list.first()))
        list.removeFirst();
    while (!list.isEmpty() && !list.last().field && isSeparator(list.last()))
        list.removeLast();
    QString format;
    for (const FormatPiece& piece : list)
        format += piece.field && piece.text == u"MMMM" ? QStringLiteral("MMM") : piece.text;
    if (!format.contains(u'd') || !format.contains(u'M'))
        return QStringLiteral("d MMM");
    return format;
}

QString HistoryTimestamp::absolute(const QDateTime& date, const QLocale& locale)
{
    const QDateTime local = date.toLocalTime();
    const QCalendar gregorian(QCalendar::System::Gregorian);
    return locale.toString(local.date(), dayMonthFormat(locale), gregorian) + QStringLiteral(", ")
        + locale.toString(local.time(), locale.timeFormat(QLocale::ShortFormat));
}

} // namespace tavlin
