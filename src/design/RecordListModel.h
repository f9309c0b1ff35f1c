#pragma once

#include "Clip.h"
#include "ClipRowPresentation.h"
#include "CopyFeedback.h"
#include "RecordPresentation.h"

#include <QAbstractListModel>
#include <QHash>
#include <QList>
#include <QPointer>
#include <QSet>

#include <qcoro/qcorotask.h>

#include <functional>
#include <optional>

namespace tavlin {

class SourceApplicationIcon;

// The records as every view of them reads them (the history window's grid and list, the Quick
// Panel): one list model over a page of records. A new page is compared with the old one by
// record id, so a capture inserts one row, a deletion removes one, and an edited record changes
// its own row; nothing resets. Each record's presentation is made once, when a view first asks
// for it, and kept until the record or its stored presentation changes. Main thread.
class RecordListModel : public QAbstractListModel {
    Q_OBJECT
public:
    // IdentifierRole: "<prefix><id>" (or the prefix alone when it names no record);
    // ConfirmationRole: "copy-confirmation-<id>" while the record's copy is confirmed;
    // TooltipRole: the bounded tooltip, for views that show one; LabelRole: the kind's label and
    // the text, for views whose cells name no kind otherwise.
    enum Role { ClipRole = Qt::UserRole + 1, IdentifierRole, ConfirmationRole, TooltipRole, LabelRole };
    using Loader = std::function<QCoro::Task<std::optional<ClipRowPresentation>>(Clip)>;

    // `sources` names and draws the applications records come from.
    explicit RecordListModel(const SourceApplicationIcon& sources, QObject* parent = nullptr);
    ~RecordListModel() override;

    const SourceApplicationIcon& sources() const { return sources_; }

    // Identifies a record's painted item to tests and assistive technology: "history-card-" (with
    // the id), or "clip-cell" (alone).
    void setIdentifierPrefix(const QString& prefix, bool withID);
    // Loads the stored presentation of a record that has none, once, when a view first needs it.
    void setLoader(Loader loader) { loader_ = std::move(loader); }
    void setCopyFeedback(CopyFeedback* feedback);

    // Takes a new page: rows are removed, moved, inserted and changed one by one.
    void setRecords(const QList<Clip>& clips);
    // Takes stored presentations of listed records; records it does not name keep theirs.
    void setRows(const QHash<qint64, ClipRowPresentation>& rows);
    void setRow(qint64 id, const std::optional<ClipRowPresentation>& row);

    const QList<Clip>& clips() const { return clips_; }
    CopyFeedback* copyFeedback() const { return feedback_; }
    std::optional<Clip> clip(int row) const;
    std::optional<Clip> clip(const QModelIndex& index) const;
    int rowOf(qint64 id) const;
    // The stored presentation known for the row, without loading anything.
    std::optional<ClipRowPresentation> storedRow(int row) const;
    // What the row shows, made on first use; starts the load of its stored presentation once
    // when there is none and `loadMissing` holds.
    const RecordPresentation& presentation(int row, bool loadMissing = true) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

Q_SIGNALS:
    // A record's stored presentation arrived or changed (a card may change its height).
    void rowPresentationChanged(qint64 id);

private:
    const SourceApplicationIcon& sources_;
    struct Entry {
        std::optional<ClipRowPresentation> row;
        mutable std::optional<RecordPresentation> shown;
    };
    void changed(int row);
    void confirmationChanged();
    QCoro::Task<> load(Clip clip) const;

    QList<Clip> clips_;
    QHash<qint64, Entry> entries_;
    // Records whose stored presentation was asked for.
    mutable QSet<qint64> requested_;
    QPointer<CopyFeedback> feedback_;
    std::optional<CopyFeedback::Confirmation> confirmed_;
    Loader loader_;
    QString identifierPrefix_ = QStringLiteral("clip-cell");
    bool identifierWithID_ = false;
};

} // namespace tavlin
