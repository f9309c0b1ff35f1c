#pragma once

#include "Pasteboard.h"

#include <QObject>

#include <xcb/xcb.h>

#include <chrono>
#include <memory>

class QClipboard;

namespace tavlin {

class SelectionReader;

// The general clipboard on X11: the CLIPBOARD selection (never the primary selection).
//
// The change count grows on every clipboard change Qt reports: another program taking the
// selection, and our own writes and clears. Another program's content is read on a connection
// of our own (SelectionReader): an owner that stops answering stalls the main thread once per
// change, for `timeout` (four times that at most for one that trickles), where Qt's own reads
// wait five seconds for every conversion. Our own content is read from Qt directly. Types are presented as the engine's identifiers (TargetMapping), a
// text/uri-list as one item per URL, the other types on the first item.
//
// Needs a QGuiApplication on the xcb platform. Main thread.
class X11Pasteboard : public QObject, public Pasteboard {
    Q_OBJECT

public:
    // How long a read waits for the owner's next answer.
    static constexpr std::chrono::milliseconds defaultTimeout{500};
    // One byte more than a record may hold: a transfer that passes it stops there, and what was
    // read is still too large for the reader, which refuses it without us holding more of it.
    static constexpr qsizetype transferLimit = 33'554'432 + 1;

    explicit X11Pasteboard(std::chrono::milliseconds timeout = defaultTimeout, QObject* parent = nullptr);
    ~X11Pasteboard() override;

    // False when there is no X display to read from.
    bool isAvailable() const;

    qint64 changeCount() const override { return *changeCount_; }
    QList<std::shared_ptr<const PasteboardItem>> items() const override;
    std::optional<QString> string(const QString& type) const override;
    void clearContents() override;
    bool writeItems(const QList<ClipItem>& items) override;

    struct Session;

private:
    std::shared_ptr<Session> currentSession() const;
    std::shared_ptr<Session> makeSession(xcb_window_t owner) const;
    // Whether a window belongs to Qt's connection, that is to this process's clipboard.
    bool isOwnWindow(xcb_window_t window) const;

    QClipboard* clipboard_ = nullptr;
    std::shared_ptr<qint64> changeCount_ = std::make_shared<qint64>(0);
    std::shared_ptr<SelectionReader> reader_;
    // What the last read found, kept while the change count and the owner stay the same, so the
    // capture gate and the reader of one change share one set of conversions and one time-out.
    mutable std::shared_ptr<Session> session_;
    uint32_t qtResourceBase_ = 0;
    uint32_t qtResourceMask_ = 0;
};

} // namespace tavlin
