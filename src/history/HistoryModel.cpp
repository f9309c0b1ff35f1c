#include "HistoryModel.h"

#include "ClipboardCodec.h"
#include "Diagnostics.h"
#include "Pasteboard.h"
#include "Publish.h"

#include <QCoreApplication>
#include <QPointer>
#include <QStandardPaths>

#include <qcoro/qcorofuture.h>
#include <qcoro/qcorotimer.h>

namespace tavlin {

HistoryModel::HistoryModel(const QString& databasePath, Pasteboard& pasteboard, SourceProvider sourceProvider,
                           QObject* parent)
    : QObject(parent),
      databasePath_(databasePath),
      repository_(std::make_unique<HistoryRepository>(databasePath)),
      pasteboard_(pasteboard),
      sourceProvider_(std::move(sourceProvider)),
      gate_(pasteboard.changeCount())
{
    // Whatever is on the clipboard at launch counts as seen: it is never captured.
    observedChange_ = pasteboard_.changeCount();
    pasteboard_.setChangeObserver([this](qint64 changeCount) {
        announcedChange_ = changeCount;
        announcedSource_ = sourceProvider_ ? sourceProvider_() : std::nullopt;
    });
}

HistoryModel::~HistoryModel()
{
    pasteboard_.setChangeObserver({});
}

QString HistoryModel::defaultDatabasePath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/Tavlin/history.sqlite");
}

void HistoryModel::setQuery(const QString& query)
{
    publish(this, query_, query, &HistoryModel::queryChanged);
}

void HistoryModel::setSection(HistorySection section)
{
    publish(this, section_, section, &HistoryModel::sectionChanged);
}

void HistoryModel::setKindFilter(HistoryKindFilter filter)
{
    publish(this, kindFilter_, filter, &HistoryModel::kindFilterChanged);
}

void HistoryModel::setSourceFilter(const ClipSourceFilter& filter)
{
    publish(this, sourceFilter_, filter, &HistoryModel::sourceFilterChanged);
}

HistoryQuery HistoryModel::request() const
{
    return {query_, section_ == HistorySection::favorites, kinds(kindFilter_), sourceFilter_};
}

bool HistoryModel::hasFilters() const
{
    // The section is a place, not a filter; a query of spaces is still a query.
    return !query_.isEmpty() || kindFilter_ != HistoryKindFilter::all || sourceFilter_.kind == ClipSourceFilter::Case::application
        || sourceFilter_.kind == ClipSourceFilter::Case::unknown
        || (sourceFilter_.kind == ClipSourceFilter::Case::selection
            && (!sourceFilter_.bundleIDs.isEmpty() || sourceFilter_.includesUnknown));
}

void HistoryModel::resetFilters()
{
    setQuery(QString());
    setKindFilter(HistoryKindFilter::all);
    setSourceFilter(ClipSourceFilter::all());
}

void HistoryModel::toggleSource(const std::optional<QString>& bundleID)
{
    QSet<QString> ids;
    bool includesUnknown = false;
    switch (sourceFilter_.kind) {
    case ClipSourceFilter::Case::application:
        ids.insert(sourceFilter_.bundleID);
        break;
    case ClipSourceFilter::Case::selection:
        ids = sourceFilter_.bundleIDs;
        includesUnknown = sourceFilter_.includesUnknown;
        break;
    case ClipSourceFilter::Case::unknown:
        includesUnknown = true;
        break;
    case ClipSourceFilter::Case::all:
        break;
    }
    if (bundleID) {
        if (!ids.remove(*bundleID))
            ids.insert(*bundleID);
    } else {
        includesUnknown = !includesUnknown;
    }
    setSourceFilter(ids.isEmpty() && !includesUnknown ? ClipSourceFilter::all()
                                                      : ClipSourceFilter::selection(ids, includesUnknown));
}

void HistoryModel::setErrorMessage(const std::optional<QString>& message)
{
    publish(this, errorMessage_, message, &HistoryModel::errorMessageChanged);
}

void HistoryModel::reportError(const std::exception& error)
{
    setErrorMessage(Diagnostics::userMessage(error));
}

void HistoryModel::setPreview(const ClipPreview& preview, const std::optional<ClipMetadata>& metadata)
{
    publish(this, previewContent_, preview, &HistoryModel::previewContentChanged);
    publish(this, selectedMetadata_, metadata, &HistoryModel::selectedMetadataChanged);
}

void HistoryModel::bumpPreviewRevision()
{
    ++previewRevision_;
    Q_EMIT previewRevisionChanged();
}

QCoro::Task<> HistoryModel::reload()
{
    QPointer<HistoryModel> self(this);
    Q_EMIT historyChanges();
    const quint64 version = ++reloadVersion_;
    const HistoryQuery requested = request();

    HistoryRepository::Page page;
    try {
        page = co_await repository_->page(requested);
    } catch (const std::exception& error) {
        // The old page stays visible; only the message changes.
        if (self && reloadVersion_ == version)
            reportError(error);
        co_return;
    }
    if (!self || reloadVersion_ != version || !(request() == requested))
        co_return;

    publish(this, totalCount_, page.summary.total, &HistoryModel::totalCountChanged);
    publish(this, favoriteCount_, page.summary.favorites, &HistoryModel::favoriteCountChanged);
    publish(this, matchedCount_, page.matchedCount, &HistoryModel::matchedCountChanged);
    publish(this, availableSources_, page.sources, &HistoryModel::availableSourcesChanged);
    publish(this, clips_, page.clips, &HistoryModel::clipsChanged);
    setErrorMessage(std::nullopt);

    QHash<qint64, ClipRowPresentation> rows;
    try {
        rows = co_await repository_->firstRows(clips_);
    } catch (const std::exception& error) {
        if (self && reloadVersion_ == version)
            reportError(error);
        co_return;
    }
    if (!self || reloadVersion_ != version || !(request() == requested))
        co_return;
    publish(this, rowPresentations_, rows, &HistoryModel::rowPresentationsChanged);
}

QCoro::Task<> HistoryModel::loadPreview(std::optional<Clip> clip)
{
    QPointer<HistoryModel> self(this);
    const quint64 version = ++previewVersion_;
    // The old preview goes at once, before anything loads.
    setPreview(ClipPreview::text(), std::nullopt);
    if (!clip)
        co_return;
    try {
        const ClipRowPresentation row = co_await repository_->rowPresentation(*clip);
        if (!self || previewVersion_ != version)
            co_return;
        const ClipPreview preview = co_await repository_->preview(*clip);
        if (self && previewVersion_ == version)
            setPreview(preview, row.metadata);
    } catch (const std::exception& error) {
        if (self && previewVersion_ == version)
            reportError(error);
    }
}

QCoro::Task<std::optional<ClipRowPresentation>> HistoryModel::rowPresentation(Clip clip)
{
    QPointer<HistoryModel> self(this);
    try {
        co_return co_await repository_->rowPresentation(clip);
    } catch (const std::exception& error) {
        if (self)
            reportError(error);
    }
    co_return std::nullopt;
}

QCoro::Task<RetentionImpact> HistoryModel::applyRetention(HistoryRetention retention,
                                                          std::optional<qint64> maximumEvictions)
{
    QPointer<HistoryModel> self(this);
    const RetentionImpact impact = co_await repository_->applyRetention(retention, maximumEvictions);
    if (!self)
        co_return impact;
    retention_ = retention;
    if (impact.evictedCount < 1)
        co_return impact;
    co_await loadPreview(std::nullopt);
    if (!self)
        co_return impact;
    co_await reload();
    if (self)
        bumpPreviewRevision();
    co_return impact;
}

QCoro::Task<RetentionImpact> HistoryModel::retentionImpact(HistoryRetention retention)
{
    co_return co_await repository_->retentionImpact(retention);
}

QCoro::Task<> HistoryModel::runMonitoring()
{
    QPointer<HistoryModel> self(this);
    const quint64 token = ++monitoringOwner_;
    co_await reload();
    // A newer loop (or stopMonitoring) takes the token; this one then ends at its next check.
    while (self && monitoringOwner_ == token) {
        if (!isMonitoringSuspended_)
            co_await tick();
        if (!self || monitoringOwner_ != token)
            break;
        co_await QCoro::sleepFor(monitoringInterval);
    }
}

void HistoryModel::stopMonitoring()
{
    ++monitoringOwner_;
}

QCoro::Task<> HistoryModel::tick()
{
    QPointer<HistoryModel> self(this);
    if (pasteboard_.changeCount() == observedChange_)
        co_return;
    observedChange_ = pasteboard_.changeCount();
    // The application active when the copy was made, not when this tick runs: a password copied
    // just before switching windows stays its manager's.
    const std::optional<QString> source = announcedChange_ == observedChange_ ? announcedSource_
        : sourceProvider_                                                   ? sourceProvider_()
                                                                            : std::nullopt;
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
        reportError(error);
        co_return;
    }
    if (!capture)
        co_return;
    // Another copy landed while reading, or the active application became excluded: the next
    // tick looks at the newer state instead.
    if (pasteboard_.changeCount() != observedChange_)
        co_return;
    if (gate_.isExcluded(sourceProvider_ ? sourceProvider_() : std::nullopt))
        co_return;

    try {
        co_await repository_->insert(*capture, source, retention_);
    } catch (const std::exception& error) {
        if (self)
            reportError(error);
        co_return;
    }
    // Stored: its bytes need not stay while the new page loads.
    capture.reset();
    if (self)
        co_await reload();
}

void HistoryModel::updateExcludedSources(const QStringList& bundleIDs)
{
    gate_.userExcludedSources = QSet<QString>(bundleIDs.begin(), bundleIDs.end());
}

void HistoryModel::ignoreCurrentPasteboard()
{
    observedChange_ = pasteboard_.changeCount();
    gate_.ignore(observedChange_);
}

QCoro::Task<bool> HistoryModel::copy(Clip clip, Condition condition)
{
    // Made in a statement of its own: GCC 12 destroys temporaries of a co_await expression twice.
    QCoro::Task<CopyOutcome> copying = copyReporting(std::move(clip), std::move(condition));
    const CopyOutcome outcome = co_await std::move(copying);
    co_return outcome.written;
}

QCoro::Task<HistoryModel::CopyOutcome> HistoryModel::copyReporting(Clip clip, Condition condition)
{
    QPointer<HistoryModel> self(this);
    const quint64 version = ++copyVersion_;
    const qint64 startCount = pasteboard_.changeCount();
    const auto fail = [this](const QString& message) {
        setErrorMessage(message);
        return CopyOutcome{false, message};
    };
    ClipPayload payload;
    try {
        payload = co_await repository_->payload(clip);
    } catch (const std::exception& error) {
        if (!self || copyVersion_ != version)
            co_return CopyOutcome{};
        co_return fail(Diagnostics::userMessage(error));
    }
    if (!self || copyVersion_ != version || (condition && !condition()))
        co_return CopyOutcome{};
    if (pasteboard_.changeCount() != startCount)
        co_return fail(QCoreApplication::translate("Tavlin", "The clipboard changed. Copy the record again."));
    const bool written = ClipboardCodec::restore(payload, pasteboard_);
    // Our own write, whole or partial, must never come back as a new record.
    ignoreCurrentPasteboard();
    if (written)
        co_return CopyOutcome{true, std::nullopt};
    co_return fail(QCoreApplication::translate("Tavlin", "Could not write the data to the clipboard."));
}

QCoro::Task<bool> HistoryModel::edit(QFuture<void> work)
{
    QPointer<HistoryModel> self(this);
    try {
        co_await work;
    } catch (const std::exception& error) {
        if (self)
            reportError(error);
        co_return false;
    }
    co_return bool(self);
}

QCoro::Task<> HistoryModel::setFavorite(Clip clip, bool isFavorite)
{
    QPointer<HistoryModel> self(this);
    if (co_await edit(repository_->setFavorite(clip.id, isFavorite)) && self)
        co_await reload();
}

QCoro::Task<> HistoryModel::deleteClip(Clip clip)
{
    QPointer<HistoryModel> self(this);
    ++copyVersion_; // a copy of any record still loading gives up
    if (co_await edit(repository_->deleteClip(clip.id)) && self)
        co_await reload();
}

QCoro::Task<> HistoryModel::clear(bool keepingFavorites)
{
    QPointer<HistoryModel> self(this);
    ++copyVersion_;
    if (!co_await edit(repository_->clear(keepingFavorites)) || !self)
        co_return;
    co_await loadPreview(std::nullopt);
    if (!self)
        co_return;
    co_await reload();
    if (self)
        bumpPreviewRevision();
}

} // namespace tavlin
