#include "PendingCaptures.h"

#include "Log.h"

namespace tavlin {

void PendingCaptures::append(CapturedClipboard capture, std::optional<QString> source, QDateTime copiedAt)
{
    bytes_ += bytesOf(capture);
    entries_.append({std::move(capture), std::move(source), std::move(copiedAt)});
    dropPastBounds();
}

PendingCaptures::Entry PendingCaptures::takeFirst()
{
    bytes_ -= bytesOf(entries_.first().capture);
    return entries_.takeFirst();
}

void PendingCaptures::putBack(Entry entry)
{
    bytes_ += bytesOf(entry.capture);
    entries_.prepend(std::move(entry));
    dropPastBounds();
}

void PendingCaptures::dropPastBounds()
{
    // The newest copies are the likeliest to be wanted again; the newest one always stays (a
    // single copy is far below the bound in bytes).
    while (entries_.size() > 1 && (entries_.size() > maximumCount || bytes_ > maximumBytes)) {
        const qint64 dropped = bytesOf(entries_.first().capture);
        removeFirst();
        Log::error(QStringLiteral("A copy waiting to be stored was dropped unsaved (%1 bytes): more than %2 "
                                  "copies or %3 bytes were waiting")
                       .arg(dropped)
                       .arg(maximumCount)
                       .arg(maximumBytes));
    }
}

void PendingCaptures::removeFirst()
{
    bytes_ -= bytesOf(entries_.first().capture);
    entries_.removeFirst();
}

qint64 PendingCaptures::bytesOf(const CapturedClipboard& capture)
{
    qint64 bytes = capture.text.size() * qint64(sizeof(QChar));
    for (const ClipItem& item : capture.payload.items) {
        for (const ClipRepresentation& representation : item.representations)
            bytes += representation.data.size() + representation.type.size() * qint64(sizeof(QChar));
    }
    return bytes;
}

} // namespace tavlin
