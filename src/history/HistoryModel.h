#pragma once

#include "CaptureGate.h"
#include "Clip.h"
#include "ClipPreview.h"
#include "ClipRowPresentation.h"
#include "HistoryQuery.h"
#include "HistoryRepository.h"
#include "HistoryRetention.h"
#include "HistorySection.h"
#include "HistorySummary.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QString>

#include <qcoro/qcorotask.h>

#include <functional>
#include <memory>
#include <optional>

namespace tavlin {

class Pasteboard;

// The one view model of the history, shared by every window. Main thread only: its state
// changes only there, each published property with its own change signal. Repository work runs
// on the repository's thread; each asynchronous operation is a coroutine that resumes on the
// main thread and drops its result when a newer call of the same kind has started since.
class HistoryModel : public QObject {
    Q_OBJECT

public:
    // The application that a clipboard change is attributed to: the one active when called. The
    // model asks as each change is announced, so moving on before the next tick changes nothing.
    using SourceProvider = std::function<std::optional<QString>()>;
    using Condition = std::function<bool()>;

    static constexpr std::chrono::milliseconds monitoringInterval{650};

    HistoryModel(const QString& databasePath, Pasteboard& pasteboard, SourceProvider sourceProvider,
                 QObject* parent = nullptr);
    ~HistoryModel() override;

    // ~/.local/share/Tavlin/history.sqlite (under $XDG_DATA_HOME when set).
    static QString defaultDatabasePath();

    const QList<Clip>& clips() const { return clips_; }
    const QString& query() const { return query_; }
    HistorySection section() const { return section_; }
    HistoryKindFilter kindFilter() const { return kindFilter_; }
    const ClipSourceFilter& sourceFilter() const { return sourceFilter_; }
    const QList<ClipSourceSummary>& availableSources() const { return availableSources_; }
    qint64 totalCount() const { return totalCount_; }
    qint64 favoriteCount() const { return favoriteCount_; }
    qint64 matchedCount() const { return matchedCount_; }
    const std::optional<QString>& errorMessage() const { return errorMessage_; }
    const ClipPreview& previewContent() const { return previewContent_; }
    int previewRevision() const { return previewRevision_; }
    const QHash<qint64, ClipRowPresentation>& rowPresentations() const { return rowPresentations_; }
    const std::optional<ClipMetadata>& selectedMetadata() const { return selectedMetadata_; }
    const QString& databasePath() const { return databasePath_; }

    // Changing the browsing state does not reload: the windows reload when the request changes.
    void setQuery(const QString& query);
    void setSection(HistorySection section);
    void setKindFilter(HistoryKindFilter filter);
    void setSourceFilter(const ClipSourceFilter& filter);

    HistoryQuery request() const;
    bool hasFilters() const;
    void resetFilters();
    // Adds or removes one source (nothing = records of no known source) from the filter.
    void toggleSource(const std::optional<QString>& bundleID);

    QCoro::Task<> reload();
    QCoro::Task<> loadPreview(std::optional<Clip> clip);
    QCoro::Task<std::optional<ClipRowPresentation>> rowPresentation(Clip clip);
    // Throws the repository's error; nothing in the model changes then.
    QCoro::Task<RetentionImpact> applyRetention(HistoryRetention retention, std::optional<qint64> maximumEvictions);
    QCoro::Task<RetentionImpact> retentionImpact(HistoryRetention retention);

    // Monitoring: polls the clipboard every 0.65 s until stopped or until a newer loop takes over.
    QCoro::Task<> runMonitoring();
    // Ends the running loop at its next check.
    void stopMonitoring();
    QCoro::Task<> tick();
    void updateExcludedSources(const QStringList& bundleIDs);
    // Treats whatever the clipboard holds now as already seen.
    void ignoreCurrentPasteboard();
    const HistoryRetention& retention() const { return retention_; }
    void setRetention(const HistoryRetention& retention) { retention_ = retention; }
    bool isMonitoringSuspended() const { return isMonitoringSuspended_; }
    void setMonitoringSuspended(bool suspended) { isMonitoringSuspended_ = suspended; }

    // What one copy did: written, or why not. A copy that gave way (to a newer copy, a clear, a
    // false condition) has no failure text: it failed for no reason of its own.
    struct CopyOutcome {
        bool written = false;
        std::optional<QString> failure;
    };

    // Puts the record back on the clipboard; true only when it is there now. `condition` is
    // asked once the payload has loaded; false gives up silently.
    QCoro::Task<bool> copy(Clip clip, Condition condition = {});
    // The same copy, handing back its own failure text: errorMessage is the last failure of any
    // operation, and may belong to another.
    QCoro::Task<CopyOutcome> copyReporting(Clip clip, Condition condition = {});
    // A page for any query, read past the browsing state (the Quick Panel keeps its own).
    QFuture<HistoryRepository::Page> page(const HistoryQuery& query) { return repository_->page(query); }
    QCoro::Task<> setFavorite(Clip clip, bool isFavorite);
    QCoro::Task<> deleteClip(Clip clip);
    QCoro::Task<> clear(bool keepingFavorites);

Q_SIGNALS:
    // Sent at the start of every reload.
    void historyChanges();
    void clipsChanged();
    void queryChanged();
    void sectionChanged();
    void kindFilterChanged();
    void sourceFilterChanged();
    void availableSourcesChanged();
    void totalCountChanged();
    void favoriteCountChanged();
    void matchedCountChanged();
    void errorMessageChanged();
    void previewContentChanged();
    void previewRevisionChanged();
    void rowPresentationsChanged();
    void selectedMetadataChanged();

private:
    void setErrorMessage(const std::optional<QString>& message);
    void reportError(const std::exception& error);
    void setPreview(const ClipPreview& preview, const std::optional<ClipMetadata>& metadata);
    void bumpPreviewRevision();
    // Awaits a store edit; false (with the error published) when it failed or the model is gone.
    QCoro::Task<bool> edit(QFuture<void> work);

    QString databasePath_;
    std::unique_ptr<HistoryRepository> repository_;
    Pasteboard& pasteboard_;
    SourceProvider sourceProvider_;
    CaptureGate gate_;
    qint64 observedChange_ = 0;
    // The application active when the latest change was announced, and that change's count.
    qint64 announcedChange_ = -1;
    std::optional<QString> announcedSource_;

    QList<Clip> clips_;
    QString query_;
    HistorySection section_ = HistorySection::history;
    HistoryKindFilter kindFilter_ = HistoryKindFilter::all;
    ClipSourceFilter sourceFilter_;
    QList<ClipSourceSummary> availableSources_;
    qint64 totalCount_ = 0;
    qint64 favoriteCount_ = 0;
    qint64 matchedCount_ = 0;
    std::optional<QString> errorMessage_;
    ClipPreview previewContent_;
    int previewRevision_ = 0;
    QHash<qint64, ClipRowPresentation> rowPresentations_;
    std::optional<ClipMetadata> selectedMetadata_;

    quint64 reloadVersion_ = 0;
    quint64 previewVersion_ = 0;
    quint64 copyVersion_ = 0;
    HistoryRetention retention_ = HistoryRetention::standard();
    bool isMonitoringSuspended_ = false;
    quint64 monitoringOwner_ = 0;
};

} // namespace tavlin
