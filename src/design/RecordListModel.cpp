#include "RecordListModel.h"

#include "CardMetadata.h"
#include "ClipKindLabel.h"
#include "CopyFeedback.h"
#include "SourceApplicationIcon.h"
#include "StoredPlaceholder.h"
#include "TextCharacters.h"

namespace tavlin {

RecordListModel::RecordListModel(const SourceApplicationIcon& sources, QObject* parent)
    : QAbstractListModel(parent), sources_(sources)
{
}

RecordListModel::~RecordListModel() = default;

void RecordListModel::setIdentifierPrefix(const QString& prefix, bool withID)
{
    identifierPrefix_ = prefix;
    identifierWithID_ = withID;
}

void RecordListModel::setCopyFeedback(CopyFeedback* feedback)
{
    if (feedback_ == feedback)
        return;
    if (feedback_)
        disconnect(feedback_, nullptr, this, nullptr);
    feedback_ = feedback;
    confirmed_ = feedback ? feedback->confirmation() : std::nullopt;
    if (feedback)
        connect(feedback, &CopyFeedback::confirmationChanged, this, &RecordListModel::confirmationChanged);
}

void RecordListModel::confirmationChanged()
{
    // Only the record that lost the confirmation and the one that gained it change.
    const std::optional<CopyFeedback::Confirmation> old = std::exchange(confirmed_, feedback_->confirmation());
    for (const auto& confirmation : {old, confirmed_}) {
        const int row = confirmation ? rowOf(confirmation->clipID) : -1;
        if (row >= 0)
            Q_EMIT dataChanged(index(row), index(row), {ConfirmationRole});
    }
}

void RecordListModel::setRecords(const QList<Clip>& clips)
{
    QHash<qint64, int> wanted;
    for (int i = 0; i < clips.size(); ++i)
        wanted.insert(clips[i].id, i);

    // Gone: each run of neighbouring rows leaves at once, from the bottom up.
    for (int end = int(clips_.size()) - 1; end >= 0;) {
        if (wanted.contains(clips_[end].id)) {
            --end;
            continue;
        }
        int start = end;
        while (start > 0 && !wanted.contains(clips_[start - 1].id))
            --start;
        beginRemoveRows({}, start, end);
        for (int row = start; row <= end; ++row) {
            entries_.remove(clips_[row].id);
            requested_.remove(clips_[row].id);
        }
        clips_.remove(start, end - start + 1);
        endRemoveRows();
        end = start - 1;
    }

    // Kept records in their new order (rarely needed: a page keeps its order), then the new ones.
    QList<qint64> keptOrder;
    for (const Clip& clip : clips) {
        if (entries_.contains(clip.id))
            keptOrder.append(clip.id);
    }
    for (int target = 0; target < keptOrder.size(); ++target) {
        if (clips_[target].id == keptOrder[target])
            continue;
        const int from = rowOf(keptOrder[target]);
        beginMoveRows({}, from, from, {}, target);
        clips_.move(from, target);
        endMoveRows();
    }
    for (int row = 0; row < clips.size();) {
        if (row < clips_.size() && clips_[row].id == clips[row].id) {
            if (clips_[row] != clips[row]) {
                Entry& entry = entries_[clips[row].id];
                // Another record under the same id shows nothing of the old one's stored row and
                // loads its own.
                if (!clips_[row].isSameRecord(clips[row])) {
                    entry.row.reset();
                    requested_.remove(clips[row].id);
                }
                clips_[row] = clips[row];
                entry.shown.reset();
                changed(row);
            }
            ++row;
            continue;
        }
        int end = row;
        while (end + 1 < clips.size() && !entries_.contains(clips[end + 1].id))
            ++end;
        beginInsertRows({}, row, end);
        for (int i = row; i <= end; ++i) {
            clips_.insert(i, clips[i]);
            entries_.insert(clips[i].id, Entry{});
        }
        endInsertRows();
        row = end + 1;
    }
}

void RecordListModel::setRows(const QHash<qint64, ClipRowPresentation>& rows)
{
    for (auto it = rows.cbegin(); it != rows.cend(); ++it)
        setRow(it.key(), it.value());
}

void RecordListModel::setRow(qint64 id, const std::optional<ClipRowPresentation>& row)
{
    const auto entry = entries_.find(id);
    if (entry == entries_.end() || entry->row == row)
        return;
    entry->row = row;
    entry->shown.reset();
    changed(rowOf(id));
    Q_EMIT rowPresentationChanged(id);
}

void RecordListModel::changed(int row)
{
    Q_EMIT dataChanged(index(row), index(row));
}

std::optional<Clip> RecordListModel::clip(int row) const
{
    if (row < 0 || row >= clips_.size())
        return std::nullopt;
    return clips_[row];
}

std::optional<Clip> RecordListModel::clip(const QModelIndex& index) const
{
    if (!index.isValid() || index.column() != 0 || index.parent().isValid())
        return std::nullopt;
    return clip(index.row());
}

int RecordListModel::rowOf(qint64 id) const
{
    for (int row = 0; row < clips_.size(); ++row) {
        if (clips_[row].id == id)
            return row;
    }
    return -1;
}

std::optional<ClipRowPresentation> RecordListModel::storedRow(int row) const
{
    const std::optional<Clip> record = clip(row);
    return record ? entries_.value(record->id).row : std::nullopt;
}

const RecordPresentation& RecordListModel::presentation(int row, bool loadMissing) const
{
    static const RecordPresentation none;
    const std::optional<Clip> record = clip(row);
    if (!record)
        return none;
    const Entry& entry = *entries_.constFind(record->id);
    if (loadMissing && !entry.row && loader_ && !requested_.contains(record->id)) {
        requested_.insert(record->id);
        load(*record);
    }
    if (!entry.shown)
        entry.shown = RecordPresentation::of(*record, entry.row);
    return *entry.shown;
}

QCoro::Task<> RecordListModel::load(Clip clip) const
{
    const QPointer<RecordListModel> self(const_cast<RecordListModel*>(this));
    Loader loader = loader_;
    const std::optional<ClipRowPresentation> result = co_await loader(clip);
    // A record edited meanwhile keeps its kind-based look until it is listed anew; one that did
    // not load is not asked for again.
    const int row = self ? self->rowOf(clip.id) : -1;
    if (result && row >= 0 && self->clips_[row] == clip)
        self->setRow(clip.id, result);
}

int RecordListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(clips_.size());
}

QVariant RecordListModel::data(const QModelIndex& index, int role) const
{
    const std::optional<Clip> record = clip(index);
    if (!record)
        return {};
    switch (role) {
    case Qt::DisplayRole: {
        // What typing to jump to a row matches: the start of the text the record shows, read
        // without making its presentation.
        const QString text = StoredPlaceholder::display(record->text, record->kind).value_or(record->text);
        return text.left(TextCharacters::prefixLength(text, RecordPresentation::titleCharacters));
    }
    case Qt::AccessibleTextRole: return presentation(index.row()).summary;
    case LabelRole: return presentation(index.row()).accessibleName;
    case Qt::AccessibleDescriptionRole: {
        const std::optional<ClipRowPresentation> row = storedRow(index.row());
        return QStringList{displayLabel(record->kind), sources_.resolve(record->source, record->kind)->name,
                           CardMetadata::footer(row ? std::optional(row->metadata) : std::nullopt, record->kind)}
            .join(QStringLiteral(", "));
    }
    case TooltipRole: return presentation(index.row()).tooltip;
    case ClipRole: return QVariant::fromValue(record->id);
    case IdentifierRole: return identifierWithID_ ? identifierPrefix_ + QString::number(record->id) : identifierPrefix_;
    case ConfirmationRole:
        return feedback_ && feedback_->isConfirmed(record->id)
            ? QVariant(QStringLiteral("copy-confirmation-%1").arg(record->id))
            : QVariant();
    default: return {};
    }
}

} // namespace tavlin
