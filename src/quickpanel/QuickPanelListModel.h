#pragma once

#include "Clip.h"
#include "ClipRowPresentation.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QImage>
#include <QList>

#include <optional>

namespace tavlin {

// The Quick Panel list's copy of the state's page: one column of records, with their
// presentations, summaries and decoded thumbnails (each made once per record). Every entry point
// checks the row it is given: an index kept from before the list changed names no record.
class QuickPanelListModel : public QAbstractTableModel {
    Q_OBJECT

public:
    enum Role { ClipIDRole = Qt::UserRole + 1, QuickRowRole };

    using QAbstractTableModel::QAbstractTableModel;

    const QList<Clip>& clips() const { return clips_; }
    const QHash<qint64, ClipRowPresentation>& rows() const { return rows_; }
    std::optional<qint64> selectedID() const { return selectedID_; }

    // Takes the state's values; true when anything differed. New records reset the list; new
    // presentations or a new selection only repaint it.
    bool assign(const QList<Clip>& clips, const QHash<qint64, ClipRowPresentation>& rows,
                std::optional<qint64> selectedID);

    std::optional<Clip> clipAt(const QModelIndex& index) const;
    std::optional<Clip> clipAt(int row) const;
    std::optional<ClipRowPresentation> presentation(qint64 id) const;
    QString summary(const Clip& clip) const;
    QImage thumbnail(qint64 id) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

private:
    QList<Clip> clips_;
    QHash<qint64, ClipRowPresentation> rows_;
    std::optional<qint64> selectedID_;
    mutable QHash<qint64, QString> summaries_;
    mutable QHash<qint64, QImage> thumbnails_;
};

} // namespace tavlin
