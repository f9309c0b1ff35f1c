#include "HistoryMonitor.h"

#include "ClipboardCodec.h"
#include "Diagnostics.h"
#include "HistoryBrowser.h"
#include "HistoryRepository.h"
#include "Log.h"
#include "Pasteboard.h"
#include "StorageError.h"
#include "Workspace.h"

#include <QCoreApplication>
#include <QPointer>

#include <algorithm>
#include <chrono>

#include <qcoro/qcorofuture.h>
#include <qcoro/qcorotimer.h>

namespace tavlin {

using namespace std::chrono_literals;

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
    waits_.end();
    pasteboard_.setChangeObserver({});
    // The copy being stored is the repository's to report: it may yet be saved.
    const qsizetype unsaved = pending_.size();
    if (unsaved > 0) {
        Log::error(
            waitingForHistory_
                ? QStringLiteral("%1 copies were never saved: another program held the history until Tavlin quit")
                      .arg(unsaved)
                : QStringLiteral("%1 copies were never saved: Tavlin quit while they waited for the copy before "
                                 "them to be stored")
                      .arg(unsaved));
    }
}

QCoro::Task<> HistoryMonitor::runMonitoring()
{
    QPointer<HistoryMonitor> self(this);
    const quint64 token = ++monitoringOwner_;
    co_await browser_.reload();
    // A newer loop (or stopMonitoring) takes the token; this one then ends at its next check.
    while (self && monitoringOwner_ == token) {
        const auto lookStarted = std::chrono::steady_clock::now();
        if (!isMonitoringSuspended_) {
            // Copies refused while another program held the history are offered again.
            if (!pending_.isEmpty())
                storeAndShow();
            co_await look();
            if (!self)
                break;
            // Stored beside the loop, not before its next look at the clipboard: a copy made
            // while a big one is being stored, or its page read back, is read at its tick and
            // waits in the queue, rather than being replaced by the next one unseen.
            if (!pending_.isEmpty())
                storeAndShow();
        }
        if (!self || monitoringOwner_ != token)
            break;
        // Every interval from the start of the last look, as a repeating timer would: after a
        // look that took longer (a big copy being read and stored) the next comes at once, so a
        // copy made meanwhile does not wait a whole interval more.
        const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now()
                                                                                - lookStarted);
        const bool slept = co_await waits_.sleep(std::max(monitoringInterval - took, 0ms));
        if (!slept)
            break;
    }
}

void HistoryMonitor::stopMonitoring()
{
    ++monitoringOwner_;
}

QCoro::Task<> HistoryMonitor::tick()
{
    QPointer<HistoryMonitor> self(this);
    co_await look();
    if (self)
        co_await storeAndShow();
}

QCoro::Task<> HistoryMonitor::look()
{
    QPointer<HistoryMonitor> self(this);
    if (pasteboard_.changeCount() == observedChange_)
        co_return;
    observedChange_ = pasteboard_.changeCount();
    const QDateTime copiedAt = QDateTime::currentDateTime();
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
    // The owner answers in its own time; the event loop runs meanwhile, and a copy back may
    // change the clipboard and what counts as seen. This tick reads the change it saw, from the
    // items it gave: what its owner answered whole is that copy, even once another has replaced
    // it, and the newer one is read at the next tick, after it.
    const qint64 change = observedChange_;
    const QList<std::shared_ptr<const PasteboardItem>> items = co_await pasteboard_.items();
    if (!self)
        co_return;
    QSet<QString> types;
    qsizetype listed = 0;
    for (const auto& item : items) {
        if (++listed % ClipboardCodec::itemsPerTurn == 0) {
            co_await QCoro::sleepFor(0ms);
            if (!self)
                co_return;
        }
        for (const QString& type : item->types())
            types.insert(type);
    }
    if (!gate_.shouldCapture(change, types, source))
        co_return;

    std::optional<CapturedClipboard> capture;
    try {
        capture = co_await ClipboardCodec::read(items);
    } catch (const std::exception& error) {
        if (self)
            browser_.reportError(error);
        co_return;
    }
    if (!self || !capture)
        co_return;
    // The active application became excluded while the copy was read: nothing is kept.
    if (gate_.isExcluded(workspace_.frontmostApplicationID()))
        co_return;
    pending_.append(*std::move(capture), source, copiedAt);
}

QCoro::Task<> HistoryMonitor::storeAndShow()
{
    if (storingPending_)
        co_return;
    QPointer<HistoryMonitor> self(this);
    const StoreOutcome outcome = co_await storePending();
    if (self)
        co_await show(outcome);
}

QCoro::Task<HistoryMonitor::StoreOutcome> HistoryMonitor::storePending()
{
    QPointer<HistoryMonitor> self(this);
    storingPending_ = true;
    StoreOutcome outcome;
    // Copies queued while one is stored join this run, in their turn.
    while (!pending_.isEmpty()) {
        PendingCaptures::Entry next = pending_.takeFirst();
        try {
            co_await repository_.insert(next.capture, next.source, retention_, next.copiedAt);
        } catch (const std::exception& error) {
            if (!self)
                co_return {};
            // Another program holds the history: this copy and those after it wait for a later
            // tick. The refusal is logged once while they wait.
            if (const auto* storage = dynamic_cast<const StorageError*>(&error); storage && storage->isBusy()) {
                if (!waitingForHistory_)
                    Diagnostics::userMessage(error);
                waitingForHistory_ = true;
                pending_.putBack(std::move(next));
                outcome.failure = QCoreApplication::translate(
                    "Tavlin",
                    "Another program is using the history. Your copies are kept and saved as soon as it’s free.");
                break;
            }
            outcome.failure = Diagnostics::userMessage(error);
            continue;
        }
        if (!self)
            co_return {};
        outcome.stored = true;
    }
    storingPending_ = false;
    if (pending_.isEmpty())
        waitingForHistory_ = false;
    co_return outcome;
}

QCoro::Task<> HistoryMonitor::show(StoreOutcome outcome)
{
    QPointer<HistoryMonitor> self(this);
    if (outcome.stored)
        co_await browser_.reload();
    // After the reload, which clears the message of the last page.
    if (self && outcome.failure)
        browser_.setErrorMessage(outcome.failure);
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
