#pragma once

#include "CaptureGate.h"
#include "CoroutineWaits.h"
#include "HistoryRetention.h"
#include "PendingCaptures.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <qcoro/qcorotask.h>

#include <chrono>
#include <functional>
#include <optional>

namespace tavlin {

class Workspace;

class HistoryBrowser;
class HistoryRepository;
class Pasteboard;

// Capture: watches the clipboard, decides what is kept and stores it under the current retention,
// then reloads the browsing state. Main thread only.
class HistoryMonitor : public QObject {
    Q_OBJECT

public:
    static constexpr std::chrono::milliseconds monitoringInterval{650};

    // A clipboard change is attributed to the workspace's frontmost application, asked as each
    // change is announced, so moving on before the next tick changes nothing.
    HistoryMonitor(HistoryRepository& repository, Pasteboard& pasteboard, const Workspace& workspace,
                   HistoryBrowser& browser, QObject* parent = nullptr);
    ~HistoryMonitor() override;

    // Polls the clipboard every 0.65 s until stopped, until a newer loop takes over or until the
    // monitor goes, which ends a loop waiting for its next tick there and then.
    QCoro::Task<> runMonitoring();
    // Ends the running loop at its next check.
    void stopMonitoring();
    // One look at the clipboard: stores what changed and shows it on the page.
    QCoro::Task<> tick();
    void updateExcludedSources(const QStringList& bundleIDs);
    // Treats whatever the clipboard holds now as already seen.
    void ignoreCurrentPasteboard();
    const HistoryRetention& retention() const { return retention_; }
    void setRetention(const HistoryRetention& retention) { retention_ = retention; }
    bool isMonitoringSuspended() const { return isMonitoringSuspended_; }
    void setMonitoringSuspended(bool suspended) { isMonitoringSuspended_ = suspended; }

private:
    // What a look at the clipboard stored: whether any copy, and the message of the last refusal.
    struct StoreOutcome {
        bool stored = false;
        std::optional<QString> failure;
    };

    // Reads a new copy on the clipboard and queues it behind the copies still waiting. Waits for
    // the clipboard's owner, never for the history: copies keep being read while one is stored.
    QCoro::Task<> look();
    // Stores the waiting copies in order, then shows the page, unless a run doing so is under way:
    // that run takes the copies queued meanwhile.
    QCoro::Task<> storeAndShow();
    // Stores the waiting copies in order, until the history refuses one because another program
    // holds it.
    QCoro::Task<StoreOutcome> storePending();
    // Reloads the page when a copy was stored, then shows the refusal, if any.
    QCoro::Task<> show(StoreOutcome outcome);

    HistoryRepository& repository_;
    Pasteboard& pasteboard_;
    const Workspace& workspace_;
    HistoryBrowser& browser_;
    CaptureGate gate_;
    qint64 observedChange_ = 0;
    // The application active when the latest change was announced, and that change's count.
    qint64 announcedChange_ = -1;
    std::optional<QString> announcedSource_;
    HistoryRetention retention_ = HistoryRetention::standard();
    bool isMonitoringSuspended_ = false;
    quint64 monitoringOwner_ = 0;
    // Copies read but not yet stored, in the order they were made: behind the one being stored, or
    // waiting while another program holds the history.
    PendingCaptures pending_;
    bool storingPending_ = false;
    bool waitingForHistory_ = false;
    CoroutineWaits waits_;
};

} // namespace tavlin
