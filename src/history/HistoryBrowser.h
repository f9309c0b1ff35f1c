#pragma once

#include "Clip.h"
#include "ClipPreview.h"
#include "ClipRowPresentation.h"
#include "HistoryQuery.h"
#include "HistorySection.h"
#include "HistorySummary.h"

#include <QHash>
#include <QImage>
#include <QList>
#include <QObject>
#include <QString>

#include <qcoro/qcorotask.h>

#include <exception>
#include <optional>

namespace tavlin {

class HistoryRepository;

// The history window's browsing state: its question (query, section, filters), the page that
// answers it with its counts and sources, the selected record's preview, and the last error of
// any history operation. Main thread only: each published property has its own change signal.
// Every asynchronous load drops its result when a newer load of the same kind has started.
class HistoryBrowser : public QObject {
    Q_OBJECT

public:
    explicit HistoryBrowser(HistoryRepository& repository, QObject* parent = nullptr);

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
    // The preview's image, decoded away from the main thread; set before the content is published.
    const QImage& previewImage() const { return previewImage_; }
    int previewRevision() const { return previewRevision_; }
    const QHash<qint64, ClipRowPresentation>& rowPresentations() const { return rowPresentations_; }
    const std::optional<ClipMetadata>& selectedMetadata() const { return selectedMetadata_; }

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
    // Tells the windows that records may have gone from under their preview.
    void bumpPreviewRevision();

    void setErrorMessage(const std::optional<QString>& message);
    void reportError(const std::exception& error);

Q_SIGNALS:
    // Sent at the start of every reload.
    void historyChanges();
    void clipsChanged();
    // A reload's page has been published, also when it lists what was listed before.
    void pageLoaded();
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
    void setPreview(const ClipPreview& preview, const QImage& image, const std::optional<ClipMetadata>& metadata);

    HistoryRepository& repository_;
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
    QImage previewImage_;
    int previewRevision_ = 0;
    QHash<qint64, ClipRowPresentation> rowPresentations_;
    std::optional<ClipMetadata> selectedMetadata_;

    quint64 reloadVersion_ = 0;
    quint64 previewVersion_ = 0;
};

} // namespace tavlin
