#pragma once

#include <QDateTime>
#include <QHash>
#include <QObject>
#include <QTimer>

namespace tavlin {

// Keeps the ages a view of records shows ("5 min") current without waking it for nothing: each
// paint tells when the age it drew next reads otherwise, and the view is woken once, at the
// earliest such moment (with the ages turning a moment after it), to repaint those ages alone.
// Records whose age reads the same, and records no longer drawn, cost nothing.
class RecordAges : public QObject {
    Q_OBJECT
public:
    explicit RecordAges(QObject* parent = nullptr);

    // The record's age was drawn as it reads at `now`.
    void drawn(qint64 id, const QDateTime& createdAt, const QDateTime& now);
    // When the view is next woken; invalid when no drawn age will change.
    QDateTime nextWake() const { return wake_; }

Q_SIGNALS:
    // The record's age reads `after` now where it was drawn as `before`.
    void changed(qint64 id, const QString& before, const QString& after);

private:
    struct Drawn {
        QDateTime createdAt;
        QString shown;
        // When it reads otherwise.
        QDateTime change;
    };

    void arm();
    void due();

    QHash<qint64, Drawn> changes_;
    QDateTime wake_;
    QTimer timer_;
};

} // namespace tavlin
