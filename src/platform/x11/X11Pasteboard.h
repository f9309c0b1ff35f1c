#pragma once

#include "Pasteboard.h"
#include "SelectionReader.h"

#include <QObject>

#include <xcb/xcb.h>

#include <chrono>
#include <functional>
#include <memory>

class QClipboard;

namespace tavlin {

// The general clipboard on X11: the CLIPBOARD selection (never the primary selection).
//
// The change count grows on every clipboard change Qt reports: another program taking the
// selection, and our own writes and clears. A read that finds the copy it reads gone (another
// owner, or the same window's newer copy, or the owner quit) counts that change at once (Qt could
// only announce it later), asks nothing more of it, and never goes on with the new owner; Qt's
// later announcement of it is then not counted again.
//
// Another program's content is read on a connection of our own (SelectionReader), without the
// main thread waiting on the owner: each conversion takes at most half of `budget`, counted from
// when the owner can start on it (owners answer one request at a time), with at most `timeout`
// between two pieces of an answer, and all conversions of one change end within `budget` of its
// first read. The owner has the whole half of `budget` to begin an answer, the list of its formats
// as a picture it encodes first, unless a newer copy replaces its own: waiting on it then would
// hold up the newer one. A target not in by its time reads as absent and is logged with why; the
// other targets are still asked for, and what the owner answered is kept. A target answered with
// no bytes reads as if it had not been offered: the type is read from its next target, and a PNG
// from the picture's other encodings, each as its own type. What an owner answered whole before
// its copy left the clipboard stays readable from that copy's items; what it did not is logged
// with why. Our own content is read from Qt directly. Types are presented as the engine's
// identifiers (TargetMapping), a file list (text/uri-list, or else a file manager's
// x-special/gnome-copied-files) as one item per URL, the other types on the first item.
//
// Its destruction ends every read under way, which then finishes with what it has.
//
// Needs a QGuiApplication on the xcb platform. Main thread.
class X11Pasteboard : public QObject, public Pasteboard {
    Q_OBJECT

public:
    // How long a read waits for the next piece of an answer under way.
    static constexpr std::chrono::milliseconds defaultTimeout{1000};
    // How long the reads of one change may take in all.
    static constexpr std::chrono::milliseconds defaultBudget{8000};
    // One byte more than a record may hold: a transfer that passes it stops there, and what was
    // read is still too large for the reader, which refuses it without us holding more of it.
    static constexpr qsizetype transferLimit = 33'554'432 + 1;

    // The application of the program that created a window (the workspace knows how to tell).
    using WindowApplication = std::function<std::optional<QString>(quint32 window)>;

    explicit X11Pasteboard(std::chrono::milliseconds timeout = defaultTimeout,
                           std::chrono::milliseconds budget = defaultBudget, QObject* parent = nullptr);
    ~X11Pasteboard() override;

    // Without it, ownerApplicationID() knows none.
    void setWindowApplication(WindowApplication windowApplication)
    {
        windowApplication_ = std::move(windowApplication);
    }

    // False when there is no X display to read from.
    bool isAvailable() const;

    qint64 changeCount() const override;
    void setChangeObserver(ChangeObserver observer) override;
    // The application of the selection owner whose content items() presents.
    std::optional<QString> ownerApplicationID() const override;
    QCoro::Task<QList<std::shared_ptr<const PasteboardItem>>> items() const override;
    void clearContents() override;
    bool writeItems(const QList<ClipItem>& items) override;

    struct Session;
    struct Changes;

private:
    // The session of the current change and owner; its content is loaded on first use.
    std::shared_ptr<Session> currentSession() const;
    std::shared_ptr<Session> makeSession(SelectionReader::Ownership ownership) const;
    // Whether a window belongs to Qt's connection, that is to this process's clipboard.
    bool isOwnWindow(xcb_window_t window) const;

    // Runs one of Qt's clipboard writes, whose announcement is ours.
    template <class Write>
    void write(Write&& write);

    QClipboard* clipboard_ = nullptr;
    std::shared_ptr<Changes> changes_;
    bool writing_ = false;
    WindowApplication windowApplication_;
    std::shared_ptr<SelectionReader> reader_;
    std::chrono::milliseconds budget_;
    // What the last read found, kept while the change count and the owner stay the same, so the
    // capture gate and the reader of one change share one set of conversions and one budget.
    mutable std::shared_ptr<Session> session_;
    uint32_t qtResourceBase_ = 0;
    uint32_t qtResourceMask_ = 0;
};

} // namespace tavlin
