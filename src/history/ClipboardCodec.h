#pragma once

#include "CapturedClipboard.h"
#include "ClipPayload.h"

#include <QByteArray>
#include <QString>
#include <QUrl>

#include <qcoro/qcorotask.h>

#include <memory>
#include <optional>

namespace tavlin {

class Pasteboard;
class PasteboardItem;

// Turns the clipboard into what a record keeps, and puts a kept payload back. Main thread; a read
// waits for the clipboard's owner and for the plain text of rich text without blocking it.
struct ClipboardCodec {
    // All kept bytes of one read together; exactly this many still pass.
    static constexpr qint64 maximumRecordBytes = 33'554'432;
    // The UTF-8 size of a text record; exactly this many still pass.
    static constexpr qint64 maximumTextBytes = 1'048'576;
    // Items looked at between two turns of the event loop: a file manager's select-all of a
    // million files is one item a file, and is read in slices of a few milliseconds.
    static constexpr qsizetype itemsPerTurn = 16'384;

    // The capture of what the clipboard holds, or nothing when nothing is worth recording.
    // Throws ClipboardReadError when the kept content exceeds maximumRecordBytes. The pasteboard
    // outlives the read.
    static QCoro::Task<std::optional<CapturedClipboard>> read(const Pasteboard& pasteboard);
    // The same of items the clipboard gave before: they are one copy, read whole as far as its
    // owner answered, though the clipboard may have changed since.
    static QCoro::Task<std::optional<CapturedClipboard>> read(QList<std::shared_ptr<const PasteboardItem>> items);
    // Writes every item and representation of `payload` back, replacing the clipboard's content.
    // False, with the clipboard untouched, for a payload without items.
    static bool restore(const ClipPayload& payload, Pasteboard& pasteboard);

    // The seven text, rich-text, URL and PDF types of PasteboardTypes, and every image type.
    static bool isKeptType(const QString& type);
    // A text worth a record: no NUL, not only white space, at most maximumTextBytes of UTF-8.
    static bool isRecordableText(const QString& text);
    // The URL held by a file-URL representation, or nothing when the bytes are no UTF-8 URL.
    static std::optional<QUrl> url(const QByteArray& representation);
    // The last path component, as a file name ("My File.txt" for ".../My%20File.txt").
    static QString lastPathComponent(const QUrl& url);
};

} // namespace tavlin
