#pragma once

#include "CapturedClipboard.h"

#include <QDateTime>
#include <QList>
#include <QString>

#include <optional>

namespace tavlin {

// Copies read but not stored yet, oldest first: behind the copy being stored, or refused while
// another program held the history. Bounded in memory: past 16 copies or 64 MiB the oldest go,
// and the log says so.
class PendingCaptures {
public:
    static constexpr qsizetype maximumCount = 16;
    static constexpr qint64 maximumBytes = 64 << 20;

    struct Entry {
        CapturedClipboard capture;
        // The application it was copied in.
        std::optional<QString> source;
        // When it was copied: a copy that waits is stored with that time, not the time it is stored.
        QDateTime copiedAt;
    };

    // Keeps `capture` after the copies already waiting, dropping the oldest beyond the bounds.
    void append(CapturedClipboard capture, std::optional<QString> source,
                QDateTime copiedAt = QDateTime::currentDateTime());
    bool isEmpty() const { return entries_.isEmpty(); }
    qsizetype size() const { return entries_.size(); }
    qint64 bytes() const { return bytes_; }
    const Entry& first() const { return entries_.first(); }
    void removeFirst();
    // The oldest copy, out of the queue while it is being stored: copies that queue up meanwhile
    // never push it out.
    Entry takeFirst();
    // Puts a copy the history refused back in front, to be offered again first.
    void putBack(Entry entry);

private:
    static qint64 bytesOf(const CapturedClipboard& capture);
    void dropPastBounds();

    QList<Entry> entries_;
    qint64 bytes_ = 0;
};

} // namespace tavlin
