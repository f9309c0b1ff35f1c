#include "HistoryMonitor.h"

#include "ClipboardCodec.h"
#include "HistoryBrowser.h"
#include "HistoryRepository.h"
#include "Pasteboard.h"
#include "StorageError.h"
#include "Workspace.h"

#include <QPointer>

#include <qcoro/qcorofuture.h>
#include <qcoro/qcorotimer.h>

namespace tavlin {

HistoryMonitor::HistoryMonitor(HistoryRepository& repository, Pasteboard& pasteboard, const Workspace& workspace,
                               HistoryBrowser& browser, QObject* parent)
    : QObject(parent), repository_(repository), pasteboard_(pasteboard), workspace_(workspace), browser_(browser),
      gate_(pasteboard.changeCount())
{
    // Whatever is on the clipboard at launch counts as seen: it is never captured.
    observedChange_ = pasteboard_.changeCount();
    pasteboard_.setChangeObserver([this](qint64 changeCount) {
        announcedChange_ = changeCount;
        announcedSource_ = workspace_.frontmostApplicationID();
    });
}

HistoryMonitor::~HistoryMonitor()
{
    pasteboard_.setChangeObserver({});
}

QCoro::Task<> HistoryMonitor::runMonitoring()
{
    QPointer<HistoryMonitor> self(this);
    const quint64 token = ++monitoringOwner_;
    co_await browser_.reload();
    // A newer loop (or stopMonitoring) takes the token; this one then ends at its next check.
    while (self && monitoringOwner_ == token) {
        if (!isMonitoringSuspended_)
            co_await tick();
        if (!self || monitoringOwner_ != token)
            break;
        co_await QCoro::sleepFor(monitoringInterval);
    }
}

void HistoryMonitor::stopMonitoring()
{
    ++monitoringOwner_;
}

QCoro::Task<> HistoryMonitor::tick()
{
    QPointer<HistoryMonitor> self(this);
    if (pasteboard_.changeCount() == observedChange_)
        co_return;
    const qint64 previouslyObserved = observedChange_;
    const qint64 previouslyJudged = gate_.lastChangeCount;
    observedChange_ = pasteboard_.changeCount();
    // The application active when the copy was made, not when this tick runs: a password copied
    // just before switching windows stays its manager's.
    const std::optional<QString> source = announcedChange_ == observedChange_ ? announcedSource_
                                                                              : workspace_.frontmostApplicationID();
    // A copy made in an excluded application is never captured, not even after switching away;
    // nor is one whose content an excluded application holds, whichever window was active.
    if (gate_.isExcluded(source) || gate_.isExcluded(pasteboard_.ownerApplicationID())) {
        gate_.ignore(observedChange_);
        co_return;
    }
    QSet<QString> types;
    for (const auto& item : pasteboard_.items()) {
        for (const QString& type : item->types())
            types.insert(type);
    }
    if (!gate_.shouldCapture(observedChange_, types, source))
        co_return;

    std::optional<CapturedClipboard> capture;
    try {
        capture = ClipboardCodec::read(pasteboard_);
    } catch (const std::exception& error) {
        browser_.reportError(error);
        co_return;
    }
    if (!capture)
        co_return;
    // Another copy landed while reading, or the active application became excluded: the next
    // tick looks at the newer state instead.
    if (pasteboard_.changeCount() != observedChange_)
        co_return;
    if (gate_.isExcluded(workspace_.frontmostApplicationID()))
        co_return;

    try {
        co_await repository_.insert(*capture, source, retention_);
    } catch (const std::exception& error) {
        if (!self)
            co_return;
        browser_.reportError(error);
        // Another program held the history. The copy is still on the clipboard, so it stays
        // unseen: the next tick reads and stores it again, unless something newer was copied.
        if (const auto* storage = dynamic_cast<const StorageError*>(&error); storage && storage->isBusy()) {
            observedChange_ = previouslyObserved;
            gate_.ignore(previouslyJudged);
        }
        co_return;
    }
    // Stored: its bytes need not stay while the new page loads.
    capture.reset();
    if (self)
        co_await browser_.reload();
}

void HistoryMonitor::updateExcludedSources(const QStringList& bundleIDs)
{
    gate_.userExcludedSources = QSet<QString>(bundleIDs.begin(), bundleIDs.end());
}

void HistoryMonitor::ignoreCurrentPasteboard()
{
    observedChange_ = pasteboard_.changeCount();
    gate_.ignore(observedChange_);
}

} // namespace tavlin
