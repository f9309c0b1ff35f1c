#pragma once

#include "Clip.h"
#include "HistoryEmptyView.h"

#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <qcoro/qcorotask.h>

#include <optional>

namespace tavlin {

class ClipPreviewPanel;
class CopyFeedback;
class HistoryBrowser;
class HistoryCollectionView;
class HistoryListView;
class HistoryOperations;
class ReaderPace;
class RecordListModel;
class SourceApplicationIcon;
class ViewPreferences;
struct RecordCallbacks;

// The history window's records: the cards or the list, beside the preview of the selected
// record when the preview is on, or the empty state. It owns the selection and keeps it: when
// the listed records change, a selected record still listed stays selected, else the first
// listed record is. The one copy entry point of the window is here too.
class HistoryRecordsArea : public QWidget {
    Q_OBJECT
public:
    HistoryRecordsArea(HistoryBrowser& browser, HistoryOperations& operations, ViewPreferences& preferences,
                       const SourceApplicationIcon& sources, QWidget* parent = nullptr);
    ~HistoryRecordsArea() override;

    CopyFeedback& copyFeedback() const { return *copyFeedback_; }
    std::optional<qint64> selection() const { return selection_; }
    // Selects a record, as the views do and as the window does from outside them; neither
    // scrolls the views.
    void setSelection(std::optional<qint64> id);
    bool copied() const { return copied_; }
    void copyClip(const Clip& clip);
    // Copies the selected record, when one is listed.
    void copySelected();
    // The list or the cards, whichever the view mode shows.
    QWidget* recordsView() const;

    // The padding around the records at the area's width.
    static int recordsPadding(qreal width);

Q_SIGNALS:
    // The records view was built anew (the view mode changed).
    void recordsViewChanged(QWidget* view);
    // A page put an empty state in the place of the records or of another one (the kind that
    // shows now), or brought the records back in place of one (none): for a screen reader to hear.
    void emptyStateChanged(std::optional<HistoryEmptyView::Kind> shown);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void nameRecords();
    void buildRecordsView();
    RecordCallbacks recordCallbacks();
    QCoro::Task<> runCopy(Clip clip);
    void deleteClip(const Clip& clip);
    void clipsChanged();
    void pageLoaded();
    HistoryEmptyView::Kind emptyKind() const;
    void refreshRecords();
    void layoutRecords();
    void loadPreview();
    QCoro::Task<> awaitPreview(std::optional<Clip> clip);
    void schedulePreview();
    void rebuildPreview();
    std::optional<Clip> selectedClip() const;

    HistoryBrowser& browser_;
    HistoryOperations& operations_;
    ViewPreferences& preferences_;
    const SourceApplicationIcon& sources_;
    CopyFeedback* copyFeedback_;
    // The preview's pace while a screen reader listens.
    ReaderPace* previewPace_;

    std::optional<qint64> selection_;
    bool copied_ = false;
    // The view has appeared at least once.
    bool shown_ = false;
    // The records are being handed to the views: what the views report meanwhile is not taken.
    bool refreshingRecords_ = false;
    bool previewPending_ = false;
    // A preview is loading: the pane keeps what it shows until it is there.
    bool previewLoading_ = false;
    // What the preview shows: restarts its load when any part changes.
    struct PreviewKey {
        std::optional<qint64> selection;
        bool enabled = false;
        int revision = 0;
        bool operator==(const PreviewKey&) const = default;
    };
    std::optional<PreviewKey> previewKey_;

    HistoryEmptyView* emptyView_ = nullptr;
    // The empty state that showed after the last page: none while records show.
    std::optional<HistoryEmptyView::Kind> emptyShown_;
    QPointer<RecordListModel> records_;
    QPointer<HistoryListView> list_;
    QPointer<HistoryCollectionView> grid_;
    QWidget* previewPane_ = nullptr;
    QPointer<ClipPreviewPanel> previewPanel_;
    // The record the preview panel shows.
    std::optional<Clip> previewClip_;
    // A record on its way out, while a reader waits to hear where the keyboard lands.
    std::optional<qint64> deleting_;
};

} // namespace tavlin
