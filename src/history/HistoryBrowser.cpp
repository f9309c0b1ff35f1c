#include "HistoryBrowser.h"

#include "Diagnostics.h"
#include "HistoryRepository.h"
#include "Publish.h"

#include <QPointer>
#include <QSet>

#include <qcoro/qcorofuture.h>

namespace tavlin {

HistoryBrowser::HistoryBrowser(HistoryRepository& repository, QObject* parent)
    : QObject(parent), repository_(repository)
{
}

void HistoryBrowser::setQuery(const QString& query)
{
    publish(this, query_, query, &HistoryBrowser::queryChanged);
}

void HistoryBrowser::setSection(HistorySection section)
{
    publish(this, section_, section, &HistoryBrowser::sectionChanged);
}

void HistoryBrowser::setKindFilter(HistoryKindFilter filter)
{
    publish(this, kindFilter_, filter, &HistoryBrowser::kindFilterChanged);
}

void HistoryBrowser::setSourceFilter(const ClipSourceFilter& filter)
{
    publish(this, sourceFilter_, filter, &HistoryBrowser::sourceFilterChanged);
}

HistoryQuery HistoryBrowser::request() const
{
    return {query_, section_ == HistorySection::favorites, kinds(kindFilter_), sourceFilter_};
}

bool HistoryBrowser::hasFilters() const
{
    // The section is a place, not a filter; a query of spaces is still a query.
    return !query_.isEmpty() || kindFilter_ != HistoryKindFilter::all
        || sourceFilter_.kind == ClipSourceFilter::Case::application
        || sourceFilter_.kind == ClipSourceFilter::Case::unknown
        || (sourceFilter_.kind == ClipSourceFilter::Case::selection
            && (!sourceFilter_.bundleIDs.isEmpty() || sourceFilter_.includesUnknown));
}

void HistoryBrowser::resetFilters()
{
    setQuery(QString());
    setKindFilter(HistoryKindFilter::all);
    setSourceFilter(ClipSourceFilter::all());
}

void HistoryBrowser::toggleSource(const std::optional<QString>& bundleID)
{
    QSet<QString> ids;
    bool includesUnknown = false;
    switch (sourceFilter_.kind) {
    case ClipSourceFilter::Case::application: ids.insert(sourceFilter_.bundleID); break;
    case ClipSourceFilter::Case::selection:
        ids = sourceFilter_.bundleIDs;
        includesUnknown = sourceFilter_.includesUnknown;
        break;
    case ClipSourceFilter::Case::unknown: includesUnknown = true; break;
    case ClipSourceFilter::Case::all: break;
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

void HistoryBrowser::setErrorMessage(const std::optional<QString>& message)
{
    publish(this, errorMessage_, message, &HistoryBrowser::errorMessageChanged);
}

void HistoryBrowser::reportError(const std::exception& error)
{
    setErrorMessage(Diagnostics::userMessage(error));
}

void HistoryBrowser::setPreview(const ClipPreview& preview, const QImage& image,
                                const std::optional<ClipMetadata>& metadata)
{
    previewImage_ = image;
    publish(this, previewContent_, preview, &HistoryBrowser::previewContentChanged);
    publish(this, selectedMetadata_, metadata, &HistoryBrowser::selectedMetadataChanged);
}

void HistoryBrowser::bumpPreviewRevision()
{
    ++previewRevision_;
    Q_EMIT previewRevisionChanged();
}

QCoro::Task<> HistoryBrowser::reload()
{
    QPointer<HistoryBrowser> self(this);
    Q_EMIT historyChanges();
    const quint64 version = ++reloadVersion_;
    const HistoryQuery requested = request();

    // A step's result counts only while no newer reload began and the request still asks for it.
    const auto current = [&] { return self && reloadVersion_ == version && request() == requested; };
    try {
        const HistoryRepository::Page page = co_await repository_.page(requested);
        if (!current())
            co_return;
        publish(this, totalCount_, page.summary.total, &HistoryBrowser::totalCountChanged);
        publish(this, favoriteCount_, page.summary.favorites, &HistoryBrowser::favoriteCountChanged);
        publish(this, matchedCount_, page.matchedCount, &HistoryBrowser::matchedCountChanged);
        publish(this, availableSources_, page.sources, &HistoryBrowser::availableSourcesChanged);
        // The views take the rows along with the page: a row goes before a record that is not its
        // own is listed under its id (the store hands a deleted newest record's id to the next copy).
        QHash<qint64, Clip> listed;
        for (const Clip& clip : clips_)
            listed.insert(clip.id, clip);
        for (const Clip& clip : page.clips) {
            if (!listed.value(clip.id).isSameRecord(clip))
                rowPresentations_.remove(clip.id);
        }
        publish(this, clips_, page.clips, &HistoryBrowser::clipsChanged);
        setErrorMessage(page.readOnlyMessage);
        Q_EMIT pageLoaded();

        const QHash<qint64, ClipRowPresentation> rows = co_await repository_.firstRows(clips_);
        if (current())
            publish(this, rowPresentations_, rows, &HistoryBrowser::rowPresentationsChanged);
    } catch (const std::exception& error) {
        // The old page stays visible; only the message changes.
        if (self && reloadVersion_ == version)
            reportError(error);
    }
}

QCoro::Task<> HistoryBrowser::loadPreview(std::optional<Clip> clip)
{
    QPointer<HistoryBrowser> self(this);
    const quint64 version = ++previewVersion_;
    // The old preview goes at once, before anything loads.
    setPreview(ClipPreview::text(), {}, std::nullopt);
    if (!clip)
        co_return;
    try {
        const ClipRowPresentation row = co_await repository_.rowPresentation(*clip);
        if (!self || previewVersion_ != version)
            co_return;
        const HistoryRepository::Preview preview = co_await repository_.preview(*clip);
        if (self && previewVersion_ == version)
            setPreview(preview.content, preview.image, row.metadata);
    } catch (const std::exception& error) {
        if (self && previewVersion_ == version)
            reportError(error);
    }
}

} // namespace tavlin
