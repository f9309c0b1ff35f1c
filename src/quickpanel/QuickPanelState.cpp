#include "QuickPanelState.h"

#include "Diagnostics.h"
#include "HistoryOperations.h"

#include <QCoreApplication>
#include <QPointer>

#include <qcoro/qcorofuture.h>

namespace tavlin {

QuickPanelState::QuickPanelState(HistoryOperations& history, PrepareRow prepareRow, QObject* parent)
    : QObject(parent), history_(history), prepareRow_(std::move(prepareRow))
{
    if (!prepareRow_) {
        const QPointer<HistoryOperations> source(&history);
        prepareRow_ = [source](Clip clip) -> QCoro::Task<std::optional<ClipRowPresentation>> {
            if (!source)
                co_return std::nullopt;
            QCoro::Task<std::optional<ClipRowPresentation>> loading = source->rowPresentation(clip);
            co_return co_await std::move(loading);
        };
    }
    connect(&history, &HistoryOperations::historyChanges, this, &QuickPanelState::scheduleReload);
}

void QuickPanelState::setQuery(const QString& query)
{
    if (query_ == query)
        return;
    publish(query_, query, &QuickPanelState::queryChanged);
    scheduleReload();
}

void QuickPanelState::setFavoritesOnly(bool favoritesOnly)
{
    if (favoritesOnly_ == favoritesOnly)
        return;
    publish(favoritesOnly_, favoritesOnly, &QuickPanelState::favoritesOnlyChanged);
    scheduleReload();
}

void QuickPanelState::setSelectedID(std::optional<qint64> id)
{
    publish(selectedID_, id, &QuickPanelState::selectedIDChanged);
}

void QuickPanelState::open()
{
    ++session_;
    loading_.clear();
    setQuery(QString());
    setFavoritesOnly(false);
    setSelectedID(std::nullopt);
    publish(clips_, {}, &QuickPanelState::clipsChanged);
    publish(rows_, {}, &QuickPanelState::rowsChanged);
    publish(errorMessage_, {}, &QuickPanelState::errorMessageChanged);
    publish(isCopying_, false, &QuickPanelState::isCopyingChanged);
    active_ = true;
    loadingFirstPage_ = true;
    scheduleReload();
}

void QuickPanelState::endFirstPage()
{
    if (!loadingFirstPage_)
        return;
    loadingFirstPage_ = false;
    Q_EMIT firstPageEnded();
}

void QuickPanelState::close()
{
    active_ = false;
    ++session_;
    ++version_;
    loading_.clear();
    publish(isCopying_, false, &QuickPanelState::isCopyingChanged);
    endFirstPage();
}

void QuickPanelState::scheduleReload()
{
    if (!active_)
        return;
    const quint64 version = ++version_;
    // Queued, so that a burst of changes in one turn of the event loop loads once.
    QMetaObject::invokeMethod(
        this,
        [this, version] {
            if (version_ == version)
                reload();
        },
        Qt::QueuedConnection);
}

QCoro::Task<> QuickPanelState::reload()
{
    const QPointer<QuickPanelState> self(this);
    const quint64 version = ++version_;
    const QString query = query_;
    const bool favoritesOnly = favoritesOnly_;
    // Awaitables are made in statements of their own: GCC 12 destroys temporaries of a co_await
    // expression twice.
    QFuture<HistoryRepository::Page> loading = history_.page(
        HistoryQuery{query, favoritesOnly, {}, ClipSourceFilter::all()});
    HistoryRepository::Page page;
    try {
        page = co_await loading;
    } catch (const std::exception& error) {
        // The previous page stays; only the message changes.
        if (self && version_ == version) {
            publish(errorMessage_, std::optional(Diagnostics::userMessage(error)),
                    &QuickPanelState::errorMessageChanged);
            endFirstPage();
        }
        co_return;
    }
    if (!self || version_ != version || query_ != query || favoritesOnly_ != favoritesOnly)
        co_return;
    QSet<qint64> ids;
    for (const Clip& clip : page.clips)
        ids.insert(clip.id);
    // A row stays with its record, not with an id that another record has taken since.
    QHash<qint64, Clip> listed;
    for (const Clip& clip : clips_)
        listed.insert(clip.id, clip);
    QHash<qint64, ClipRowPresentation> kept;
    for (const Clip& clip : page.clips) {
        const auto row = rows_.constFind(clip.id);
        if (row != rows_.cend() && listed.value(clip.id).isSameRecord(clip))
            kept.insert(clip.id, *row);
    }
    publish(clips_, page.clips, &QuickPanelState::clipsChanged);
    publish(rows_, kept, &QuickPanelState::rowsChanged);
    if (!selectedID_ || !ids.contains(*selectedID_))
        setSelectedID(clips_.isEmpty() ? std::nullopt : std::optional(clips_.first().id));
    publish(errorMessage_, {}, &QuickPanelState::errorMessageChanged);
    Q_EMIT pageLoaded();
    endFirstPage();
}

void QuickPanelState::moveSelection(int step)
{
    if (clips_.isEmpty())
        return;
    qsizetype current = -1;
    for (qsizetype i = 0; i < clips_.size(); ++i) {
        if (selectedID_ && clips_[i].id == *selectedID_) {
            current = i;
            break;
        }
    }
    if (current < 0)
        current = step > 0 ? -1 : clips_.size();
    const qsizetype target = std::clamp<qsizetype>(current + step, 0, clips_.size() - 1);
    setSelectedID(clips_[target].id);
}

std::optional<Clip> QuickPanelState::selectedClip() const
{
    for (const Clip& clip : clips_) {
        if (selectedID_ && clip.id == *selectedID_)
            return clip;
    }
    return std::nullopt;
}

QCoro::Task<> QuickPanelState::loadRow(Clip clip)
{
    const QPointer<QuickPanelState> self(this);
    const quint64 session = session_;
    if (rows_.contains(clip.id) || loading_.contains(clip.id))
        co_return;
    loading_.insert(clip.id);
    QCoro::Task<std::optional<ClipRowPresentation>> preparing = prepareRow_(clip);
    const std::optional<ClipRowPresentation> row = co_await std::move(preparing);
    if (!self || session_ != session)
        co_return;
    loading_.remove(clip.id);
    if (!clips_.contains(clip))
        co_return;
    QHash<qint64, ClipRowPresentation> rows = rows_;
    if (row)
        rows.insert(clip.id, *row);
    else
        rows.remove(clip.id);
    publish(rows_, rows, &QuickPanelState::rowsChanged);
}

QCoro::Task<bool> QuickPanelState::copy(Clip clip)
{
    if (!active_ || isCopying_)
        co_return false;
    const QPointer<QuickPanelState> self(this);
    const quint64 session = session_;
    publish(isCopying_, true, &QuickPanelState::isCopyingChanged);
    QCoro::Task<HistoryOperations::CopyOutcome> copying = history_.copyReporting(
        clip, [self, session] { return self && self->active_ && self->session_ == session; });
    const HistoryOperations::CopyOutcome outcome = co_await std::move(copying);
    if (!self || !active_ || session_ != session)
        co_return false;
    publish(isCopying_, false, &QuickPanelState::isCopyingChanged);
    if (!outcome.written) {
        // Only this copy's own failure: the model's message may belong to any other operation.
        const QString message = outcome.failure.value_or(
            QCoreApplication::translate("Tavlin", "Could not copy the record. Try again."));
        publish(errorMessage_, std::optional(message), &QuickPanelState::errorMessageChanged);
    }
    co_return outcome.written;
}

} // namespace tavlin
