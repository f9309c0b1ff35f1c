#pragma once

#include "Clip.h"
#include "ClipRowPresentation.h"
#include "HistoryRepository.h"
#include "HistoryRetention.h"

#include <QFuture>
#include <QObject>
#include <QString>

#include <qcoro/qcorotask.h>

#include <functional>
#include <optional>

namespace tavlin {

class HistoryBrowser;
class HistoryMonitor;
class Pasteboard;

// What both windows do with records: read a page or a row, copy a record back, mark, delete,
// clear, and apply retention. Edits reload the browsing state and report their errors there.
// Main thread only; repository work runs on the repository's thread.
class HistoryOperations : public QObject {
    Q_OBJECT

public:
    using Condition = std::function<bool()>;

    // What one copy did: written, or why not. A copy that gave way (to a newer copy, a clear, a
    // false condition) has no failure text: it failed for no reason of its own.
    struct CopyOutcome {
        bool written = false;
        std::optional<QString> failure;
    };

    HistoryOperations(HistoryRepository& repository, Pasteboard& pasteboard, HistoryMonitor& monitor,
                      HistoryBrowser& browser, QObject* parent = nullptr);

    // A page for any query, read past the browsing state (the Quick Panel keeps its own).
    QFuture<HistoryRepository::Page> page(const HistoryQuery& query) { return repository_.page(query); }
    QCoro::Task<std::optional<ClipRowPresentation>> rowPresentation(Clip clip);

    // Puts the record back on the clipboard; true only when it is there now. `condition` is
    // asked once the payload has loaded; false gives up silently.
    QCoro::Task<bool> copy(Clip clip, Condition condition = {});
    // The same copy, handing back its own failure text: the browser's error message is the last
    // failure of any operation, and may belong to another.
    QCoro::Task<CopyOutcome> copyReporting(Clip clip, Condition condition = {});
    QCoro::Task<> setFavorite(Clip clip, bool isFavorite);
    QCoro::Task<> deleteClip(Clip clip);
    QCoro::Task<> clear(bool keepingFavorites);
    // Throws the repository's error; nothing in the model changes then.
    QCoro::Task<RetentionImpact> applyRetention(HistoryRetention retention, std::optional<qint64> maximumEvictions);
    QCoro::Task<RetentionImpact> retentionImpact(HistoryRetention retention);

Q_SIGNALS:
    // The history may have changed: sent at the start of every reload of the browsing state.
    void historyChanges();

private:
    // Awaits a store edit; false (with the error published) when it failed or this is gone.
    QCoro::Task<bool> edit(QFuture<void> work);
    // Clears the preview, reloads, and has the windows load their preview anew.
    QCoro::Task<> reloadAfterRemoval();
    // Awaits a delete or clear, then reloads, also after a failure, whose error it publishes.
    QCoro::Task<> removal(QFuture<void> work, bool manyRecords);

    HistoryRepository& repository_;
    Pasteboard& pasteboard_;
    HistoryMonitor& monitor_;
    HistoryBrowser& browser_;
    quint64 copyVersion_ = 0;
};

} // namespace tavlin
