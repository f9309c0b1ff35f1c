#pragma once

#include "Clip.h"
#include "ClipRowPresentation.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QSet>
#include <QString>

#include <qcoro/qcorotask.h>

#include <functional>
#include <optional>

namespace tavlin {

class HistoryOperations;

// What the open Quick Panel shows: its own search and favorites-only switch, one page of the
// newest matching records, their row presentations, the selection, an error line and whether a
// copy runs. It asks the repository for its page itself (never the history window's page),
// reloads on every change of its question and every history change, and drops every result that
// arrives after its question changed. Main thread.
class QuickPanelState : public QObject {
    Q_OBJECT

public:
    using PrepareRow = std::function<QCoro::Task<std::optional<ClipRowPresentation>>(Clip)>;

    // Without `prepareRow`, rows come from the model's cache of presentations.
    explicit QuickPanelState(HistoryOperations& history, PrepareRow prepareRow = {}, QObject* parent = nullptr);

    const QString& query() const { return query_; }
    bool favoritesOnly() const { return favoritesOnly_; }
    std::optional<qint64> selectedID() const { return selectedID_; }
    const QList<Clip>& clips() const { return clips_; }
    const QHash<qint64, ClipRowPresentation>& rows() const { return rows_; }
    const std::optional<QString>& errorMessage() const { return errorMessage_; }
    bool isCopying() const { return isCopying_; }
    bool isActive() const { return active_; }
    // From open() until its first page has come (or failed to), or the showing closed.
    bool isLoadingFirstPage() const { return loadingFirstPage_; }

    // Changing the question reloads at once (no debounce), only when the value really changed.
    void setQuery(const QString& query);
    void setFavoritesOnly(bool favoritesOnly);
    void setSelectedID(std::optional<qint64> id);

    // One showing: every showing starts with an empty search and the switch off.
    void open();
    void close();
    // Moves the selection by `step` rows, stopping at either end; from no selection, down takes
    // the first row and up the last.
    void moveSelection(int step);
    std::optional<Clip> selectedClip() const;
    // Puts the record on the clipboard; false without trying while closed or while another copy
    // runs. A failure shows this copy's own message, else a general one.
    QCoro::Task<bool> copy(Clip clip);
    // Fills `rows` for one record, once.
    QCoro::Task<> loadRow(Clip clip);

Q_SIGNALS:
    void queryChanged();
    void favoritesOnlyChanged();
    void selectedIDChanged();
    void clipsChanged();
    // A reload's page has been published, also when it lists what was listed before.
    void pageLoaded();
    void rowsChanged();
    void errorMessageChanged();
    void isCopyingChanged();
    // The showing's first page has come, failed to, or will not come because it closed.
    void firstPageEnded();

private:
    template <class T>
    void publish(T& field, const T& value, void (QuickPanelState::*changed)())
    {
        if (field == value)
            return;
        field = value;
        Q_EMIT(this->*changed)();
    }
    void scheduleReload();
    QCoro::Task<> reload();
    void endFirstPage();

    HistoryOperations& history_;
    QString query_;
    bool favoritesOnly_ = false;
    std::optional<qint64> selectedID_;
    QList<Clip> clips_;
    QHash<qint64, ClipRowPresentation> rows_;
    std::optional<QString> errorMessage_;
    bool isCopying_ = false;
    bool active_ = false;
    bool loadingFirstPage_ = false;
    quint64 version_ = 0;
    quint64 session_ = 0;
    // Records whose presentation is being prepared in this session.
    QSet<qint64> loading_;
    PrepareRow prepareRow_;
};

} // namespace tavlin
