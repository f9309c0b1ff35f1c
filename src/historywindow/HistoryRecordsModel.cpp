#include "HistoryRecordsModel.h"

#include "ClipContentView.h"
#include "ClipKindLabel.h"
#include "CopyFeedback.h"
#include "RichTextPresentation.h"
#include "TextCharacters.h"

#include <QBuffer>
#include <QImageReader>
#include "TavlinLanguage.h"
#include <QTextDocument>

namespace tavlin {

HistoryRecordsModel::HistoryRecordsModel(QObject* parent) : QAbstractListModel(parent) {}

HistoryRecordsModel::~HistoryRecordsModel() = default;

bool HistoryRecordsModel::update(const QList<Clip>& clips, const QHash<qint64, ClipRowPresentation>& presentations,
                                 CopyFeedback* feedback)
{
    if (clips == clips_ && presentations == presentations_ && feedback == feedback_)
        return false;
    beginResetModel();
    QHash<qint64, Decoded> kept;
    QHash<qint64, std::optional<ClipRowPresentation>> keptLoaded;
    for (const Clip& clip : clips) {
        const int old = rowOf(clip.id);
        if (old < 0 || clips_[old] != clip || presentations_.value(clip.id) != presentations.value(clip.id))
            continue;
        if (decoded_.contains(clip.id))
            kept.insert(clip.id, decoded_.value(clip.id));
        if (loaded_.contains(clip.id))
            keptLoaded.insert(clip.id, loaded_.value(clip.id));
    }
    decoded_ = std::move(kept);
    loaded_ = std::move(keptLoaded);
    clips_ = clips;
    presentations_ = presentations;
    if (feedback_ != feedback) {
        if (feedback_)
            disconnect(feedback_, nullptr, this, nullptr);
        if (feedback)
            connect(feedback, &CopyFeedback::confirmationChanged, this, [this] {
                if (!clips_.isEmpty())
                    Q_EMIT dataChanged(index(0), index(int(clips_.size()) - 1), {ConfirmationRole});
            });
    }
    feedback_ = feedback;
    endResetModel();
    return true;
}

std::optional<Clip> HistoryRecordsModel::clip(int row) const
{
    if (row < 0 || row >= clips_.size())
        return std::nullopt;
    return clips_[row];
}

int HistoryRecordsModel::rowOf(qint64 id) const
{
    for (int row = 0; row < clips_.size(); ++row) {
        if (clips_[row].id == id)
            return row;
    }
    return -1;
}

std::optional<ClipRowPresentation> HistoryRecordsModel::presentation(int row)
{
    if (row < 0 || row >= clips_.size())
        return std::nullopt;
    const Clip& clip = clips_[row];
    if (const auto seed = presentations_.constFind(clip.id); seed != presentations_.cend())
        return *seed;
    if (const auto loaded = loaded_.constFind(clip.id); loaded != loaded_.cend())
        return *loaded;
    if (loader_ && !loading_.contains(clip.id)) {
        loading_.insert(clip.id);
        load(clip);
    }
    return std::nullopt;
}

QCoro::Task<> HistoryRecordsModel::load(Clip clip)
{
    const QPointer<HistoryRecordsModel> self(this);
    std::optional<ClipRowPresentation> result = co_await loader_(clip);
    if (!self)
        co_return;
    loading_.remove(clip.id);
    const int row = rowOf(clip.id);
    // A record edited or gone meanwhile keeps its kind-based look until it is listed anew.
    if (row < 0 || clips_[row] != clip)
        co_return;
    loaded_.insert(clip.id, result);
    decoded_.remove(clip.id);
    Q_EMIT dataChanged(index(row), index(row));
    if (result)
        Q_EMIT presentationLoaded(clip.id);
}

const HistoryRecordsModel::Decoded& HistoryRecordsModel::decoded(int row)
{
    static const Decoded none;
    if (row < 0 || row >= clips_.size())
        return none;
    const qint64 id = clips_[row].id;
    if (const auto found = decoded_.constFind(id); found != decoded_.cend())
        return *found;
    Decoded decoded;
    if (const std::optional<ClipRowPresentation> shown = presentation(row)) {
        if (shown->preview.kind == ClipPreview::Case::image)
            decoded.image = decodeImage(shown->preview.data);
        else if (shown->metadata.thumbnail)
            decoded.image = decodeImage(*shown->metadata.thumbnail);
        if (shown->preview.kind == ClipPreview::Case::richText) {
            decoded.rich = RichTextPresentation::attributed(shown->preview.data, shown->preview.type, 1200);
            if (decoded.rich)
                decoded.rich->setDocumentMargin(0);
        }
        // Only what the presentation gave is kept: a later presentation decodes afresh.
        return *decoded_.insert(id, decoded);
    }
    return none;
}

int HistoryRecordsModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(clips_.size());
}

QVariant HistoryRecordsModel::data(const QModelIndex& index, int role) const
{
    const std::optional<Clip> record = clip(index.row());
    if (!record || index.parent().isValid())
        return {};
    switch (role) {
    case Qt::DisplayRole: {
        const QString text = ClipContentView::displayText(*record);
        return text.left(TextCharacters::prefixLength(text, 160));
    }
    case Qt::AccessibleTextRole:
        return accessibleName(*record);
    case ClipRole:
        return QVariant::fromValue(record->id);
    case IdentifierRole:
        return identifierPrefix_ == QLatin1String("clip-cell") ? identifierPrefix_
                                                               : identifierPrefix_ + QString::number(record->id);
    case ConfirmationRole:
        return feedback_ && feedback_->isConfirmed(record->id)
            ? QVariant(QStringLiteral("copy-confirmation-%1").arg(record->id)) : QVariant();
    default:
        return {};
    }
}

QString HistoryRecordsModel::accessibleName(const Clip& clip)
{
    const QString text = ClipContentView::displayText(clip);
    return TavlinLanguage::locale().toUpper(displayLabel(clip.kind)) + QStringLiteral(": ")
        + text.left(TextCharacters::prefixLength(text, 160));
}

QImage HistoryRecordsModel::decodeImage(const QByteArray& bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    QImageReader reader(&buffer);
    const QSize size = reader.size();
    if (!size.isValid() || size.width() > 1024 || size.height() > 1024)
        return {};
    return reader.read();
}

} // namespace tavlin
