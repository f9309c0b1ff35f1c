#include "QuickPanelListModel.h"

#include "CardMetadata.h"
#include "ClipKindLabel.h"
#include "QuickPanelRow.h"
#include "SourceApplicationIcon.h"

namespace tavlin {

bool QuickPanelListModel::assign(const QList<Clip>& clips, const QHash<qint64, ClipRowPresentation>& rows,
                                 std::optional<qint64> selectedID)
{
    if (clips == clips_ && rows == rows_ && selectedID == selectedID_)
        return false;
    // Summaries and thumbnails follow the presentations they were made from.
    for (auto it = rows_.cbegin(); it != rows_.cend(); ++it) {
        if (rows.value(it.key()) != it.value()) {
            summaries_.remove(it.key());
            thumbnails_.remove(it.key());
        }
    }
    for (auto it = rows.cbegin(); it != rows.cend(); ++it) {
        if (!rows_.contains(it.key()))
            summaries_.remove(it.key());
    }
    if (clips != clips_) {
        beginResetModel();
        clips_ = clips;
        rows_ = rows;
        selectedID_ = selectedID;
        QSet<qint64> ids;
        for (const Clip& clip : clips_)
            ids.insert(clip.id);
        summaries_.removeIf([&ids](const auto& entry) { return !ids.contains(entry.key()); });
        thumbnails_.removeIf([&ids](const auto& entry) { return !ids.contains(entry.key()); });
        endResetModel();
        return true;
    }
    rows_ = rows;
    selectedID_ = selectedID;
    if (!clips_.isEmpty())
        Q_EMIT dataChanged(index(0, 0), index(int(clips_.size()) - 1, 0));
    return true;
}

std::optional<Clip> QuickPanelListModel::clipAt(int row) const
{
    if (row < 0 || row >= clips_.size())
        return std::nullopt;
    return clips_[row];
}

std::optional<Clip> QuickPanelListModel::clipAt(const QModelIndex& index) const
{
    if (!index.isValid() || index.column() != 0)
        return std::nullopt;
    return clipAt(index.row());
}

std::optional<ClipRowPresentation> QuickPanelListModel::presentation(qint64 id) const
{
    const auto found = rows_.constFind(id);
    return found == rows_.cend() ? std::nullopt : std::optional(*found);
}

QString QuickPanelListModel::summary(const Clip& clip) const
{
    auto found = summaries_.constFind(clip.id);
    if (found == summaries_.cend())
        found = summaries_.insert(clip.id, QuickPanelRow::summary(clip, presentation(clip.id)));
    return *found;
}

QImage QuickPanelListModel::thumbnail(qint64 id) const
{
    auto found = thumbnails_.constFind(id);
    if (found == thumbnails_.cend()) {
        const std::optional<ClipRowPresentation> row = presentation(id);
        if (!row)
            return {};
        found = thumbnails_.insert(id, QuickPanelRow::decodeThumbnail(row->metadata.thumbnail));
    }
    return *found;
}

int QuickPanelListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(clips_.size());
}

int QuickPanelListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : 1;
}

QVariant QuickPanelListModel::data(const QModelIndex& index, int role) const
{
    const std::optional<Clip> clip = clipAt(index);
    if (!clip)
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
        return summary(*clip);
    case Qt::AccessibleDescriptionRole: {
        const std::optional<ClipRowPresentation> row = presentation(clip->id);
        return QStringList{displayLabel(clip->kind), SourceApplicationIcon::resolve(clip->source, clip->kind)->name,
                           CardMetadata::footer(row ? std::optional(row->metadata) : std::nullopt, clip->kind)}
            .join(QStringLiteral(", "));
    }
    case Qt::ToolTipRole:
        return QuickPanelRow::tooltip(*clip);
    case ClipIDRole:
    case QuickRowRole:
        return clip->id;
    default:
        return {};
    }
}

QHash<int, QByteArray> QuickPanelListModel::roleNames() const
{
    QHash<int, QByteArray> names = QAbstractTableModel::roleNames();
    names.insert(QuickRowRole, "quick-row");
    return names;
}

} // namespace tavlin
