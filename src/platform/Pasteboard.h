#pragma once

#include "ClipPayload.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <qcoro/qcorotask.h>

#include <functional>
#include <memory>
#include <optional>

namespace tavlin {

// One item on the clipboard as the reader sees it. Data is fetched per type, on demand, so a
// reader can stop before converting types it does not keep.
class PasteboardItem {
public:
    virtual ~PasteboardItem() = default;
    // Type identifiers as the engine names them ("public.utf8-plain-text", "public.png", ...).
    virtual QStringList types() const = 0;
    // The bytes for `type`, or nothing when the owner offers none. The owner may take its time to
    // answer: the main thread's event loop runs meanwhile. The caller keeps the item alive until
    // the answer is in.
    virtual QCoro::Task<std::optional<QByteArray>> data(QString type) const = 0;
    // Told once the reader asks nothing more of the item, however its read ended: bytes the item
    // read ahead for a type it was not asked for are let go then, not when the next copy comes.
    virtual void endRead() const { }
};

// The general clipboard: what the capture gate, the reader and the writer use of it. Main thread.
// Reading another program's content is asynchronous, and one change costs a bounded time in all:
// what is not in by then reads as absent.
class Pasteboard {
public:
    virtual ~Pasteboard() = default;
    // Grows by one on every change of the clipboard's owner or content, our own writes included.
    virtual qint64 changeCount() const = 0;
    // Told the new count each time it grows, as the change is announced and before anything can
    // read the new content: the moment to note where a change came from. One observer at a time.
    using ChangeObserver = std::function<void(qint64 changeCount)>;
    virtual void setChangeObserver(ChangeObserver observer) = 0;
    // The application whose program holds the content that items() presents, when the platform
    // can tell; a copy is its own application's whichever window is active.
    virtual std::optional<QString> ownerApplicationID() const { return std::nullopt; }
    // The items in clipboard order; empty when the clipboard holds nothing.
    virtual QCoro::Task<QList<std::shared_ptr<const PasteboardItem>>> items() const = 0;
    virtual void clearContents() = 0;
    // Writes all items in one call, each with its representations in order; true when the
    // clipboard accepted them (on X11: we own the selection afterwards).
    virtual bool writeItems(const QList<ClipItem>& items) = 0;
};

} // namespace tavlin
