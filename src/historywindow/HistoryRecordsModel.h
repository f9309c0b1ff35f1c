#pragma once

#include "Clip.h"
#include "ClipRowPresentation.h"
#include "CopyFeedback.h"

#include <QAbstractListModel>
#include <QHash>
#include <QImage>
#include <QPointer>
#include <QSet>

#include <qcoro/qcorotask.h>

#include <functional>
#include <memory>
#include <optional>

class QTextDocument;

namespace tavlin {

class CopyFeedback;

// The listed records as both records views read them: the records, their presentations (the
// ones the history model published, else the one each row loaded for itself, once per record),
// and what painting needs decoded once per record rather than once per paint.
class HistoryRecordsModel : public QAbstractListModel {
    Q_OBJECT
public:
    // IdentifierRole: "history-card-<id>" or "clip-cell"; ConfirmationRole: "copy-confirmation-<id>"
    // while the record's copy is confirmed, else nothing.
    enum Role { ClipRole = Qt::UserRole + 1, IdentifierRole, ConfirmationRole };
    using Loader = std::function<QCoro::Task<std::optional<ClipRowPresentation>>(Clip)>;

    // The widget-independent pieces a row paints from.
    struct Decoded {
        // The stored thumbnail or preview image, decoded once; null when there is none or it
        // does not decode.
        QImage image;
        // The rich text cut for a card; none when it does not read.
        std::shared_ptr<QTextDocument> rich;
    };

    explicit HistoryRecordsModel(QObject* parent = nullptr);
    ~HistoryRecordsModel() override;

    // Identifies a record's painted item to tests and assistive technology: "history-card-" or
    // "clip-cell".
    void setIdentifierPrefix(const QString& prefix) { identifierPrefix_ = prefix; }
    void setLoader(Loader loader) { loader_ = std::move(loader); }
    // Resets the rows only when the records, the presentations or the feedback object changed;
    // true when it did.
    bool update(const QList<Clip>& clips, const QHash<qint64, ClipRowPresentation>& presentations,
                CopyFeedback* feedback);

    const QList<Clip>& clips() const { return clips_; }
    const QHash<qint64, ClipRowPresentation>& presentations() const { return presentations_; }
    CopyFeedback* copyFeedback() const { return feedback_; }
    std::optional<Clip> clip(int row) const;
    int rowOf(qint64 id) const;
    // The seed, else the loaded presentation; starts the load once when there is neither.
    std::optional<ClipRowPresentation> presentation(int row);
    const Decoded& decoded(int row);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    // What assistive technology reads for a record: "LINK: https://…", the kind's label in
    // capitals and at most 160 characters of the text.
    static QString accessibleName(const Clip& clip);
    // An image decoded from stored bytes, refusing anything over 1024 pixels a side.
    static QImage decodeImage(const QByteArray& bytes);

Q_SIGNALS:
    // A row's own load finished with a presentation (the grid re-measures it).
    void presentationLoaded(qint64 id);

private:
    QCoro::Task<> load(Clip clip);

    QList<Clip> clips_;
    QHash<qint64, ClipRowPresentation> presentations_;
    QPointer<CopyFeedback> feedback_;
    QHash<qint64, std::optional<ClipRowPresentation>> loaded_;
    QSet<qint64> loading_;
    QHash<qint64, Decoded> decoded_;
    Loader loader_;
    QString identifierPrefix_ = QStringLiteral("clip-cell");
};

} // namespace tavlin
