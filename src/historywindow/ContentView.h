#pragma once

#include "Clip.h"
#include "HistoryQuery.h"

#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <qcoro/qcorotask.h>

#include <functional>
#include <optional>

class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollArea;
class QStackedLayout;
class QToolButton;

namespace tavlin {

class ClearHistorySheet;
class ClipPreviewPanel;
class CopyFeedback;
class HistoryCollectionView;
class HistoryEmptyView;
class SourceApplicationIcon;
class HistoryListView;
class HistoryBrowser;
class HistoryModel;
class HistoryOperations;
class RecordListModel;
class SourceFilterPopover;
class ViewPreferences;
struct RecordCallbacks;

// The history window's content: the sidebar of sections, the header with the search field,
// kind chips, source filter and actions, an error banner, the records as cards or a list beside
// the preview, the empty state and a status line. It keeps the window's passing state
// (selection, copy result, sheet, popup) and reaches the history only through the model.
class ContentView : public QWidget {
    Q_OBJECT
public:
    // Typing settles for this long before the listing follows.
    static constexpr std::chrono::milliseconds reloadDelay{130};

    ContentView(HistoryModel& model, ViewPreferences& preferences, const SourceApplicationIcon& sources,
                std::function<void()> openSettings, bool focusSearchOnAppear, QWidget* parent = nullptr);
    ~ContentView() override;

    CopyFeedback& copyFeedback() const { return *copyFeedback_; }
    std::optional<qint64> selection() const { return selection_; }
    void setSelection(std::optional<qint64> id);
    bool copied() const { return copied_; }
    // The one copy entry point of the window: grid, list, preview and keys end here.
    void copyClip(const Clip& clip);

    QLineEdit* searchField() const { return search_; }
    QWidget* recordsView() const;
    SourceFilterPopover* sourcePopover() const;
    ClearHistorySheet* clearSheet() const;
    // "Clear All History…": asks first.
    void showClearSheet();
    void setShowingSources(bool showing);
    // Puts the caret into the search field (the window came forward, or Ctrl+F).
    void focusSearch();
    bool isReloadPending() const { return reloadTimer_.isActive(); }

    // The padding around the records area at its width.
    static int recordsPadding(qreal width);
    // The status line: "Showing 200 of 350" when the page holds fewer than match.
    static QString statusText(qint64 listed, qint64 matched);

Q_SIGNALS:
    // The clear-history sheet closed (the window's dismissal rules run again).
    void sheetEnded();

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* buildSidebar();
    QWidget* buildHeader();
    QWidget* buildBanner();
    void buildRecordsView();
    RecordCallbacks recordCallbacks();
    QCoro::Task<> runCopy(Clip clip);
    void requestMaybeChanged();
    void reload();
    void clipsChanged();
    void selectionChanged();
    void loadPreview();
    QCoro::Task<> awaitPreview(std::optional<Clip> clip);
    void schedulePreview();
    void rebuildPreview();
    void refreshHeader();
    void fitSourceButton();
    void refreshCounts();
    void refreshBanner();
    void refreshRecords();
    void layoutRecords();

    HistoryBrowser& browser_;
    HistoryOperations& operations_;
    ViewPreferences& preferences_;
    const SourceApplicationIcon& sources_;
    std::function<void()> openSettings_;
    bool focusSearchOnAppear_;
    CopyFeedback* copyFeedback_;

    std::optional<qint64> selection_;
    bool copied_ = false;
    bool shown_ = false;
    bool refreshingRecords_ = false;
    bool previewPending_ = false;
    // A preview is loading: the pane keeps what it shows until it is there.
    bool previewLoading_ = false;
    QTimer reloadTimer_;
    QTimer ageTimer_;
    // What the preview shows: restarts its load when any part changes.
    struct PreviewKey {
        std::optional<qint64> selection;
        bool enabled = false;
        int revision = 0;
        bool operator==(const PreviewKey&) const = default;
    };
    std::optional<PreviewKey> previewKey_;
    std::optional<HistoryQuery> lastRequest_;

    QList<QPushButton*> sectionRows_;
    QLabel* headingIcon_ = nullptr;
    QLabel* headingText_ = nullptr;
    QLineEdit* search_ = nullptr;
    QWidget* searchBox_ = nullptr;
    QLabel* searchHint_ = nullptr;
    QToolButton* clearSearch_ = nullptr;
    class SearchFocusRing* focusRing_ = nullptr;
    QToolButton* previewButton_ = nullptr;
    QToolButton* moreButton_ = nullptr;
    QAction* clearAllAction_ = nullptr;
    QAction* resetAction_ = nullptr;
    QList<QPushButton*> chips_;
    QScrollArea* chipScroll_ = nullptr;
    QHBoxLayout* filterLine_ = nullptr;
    QPushButton* sourceButton_ = nullptr;
    QWidget* banner_ = nullptr;
    QLabel* bannerText_ = nullptr;
    QWidget* recordsArea_ = nullptr;
    HistoryEmptyView* emptyView_ = nullptr;
    QPointer<RecordListModel> records_;
    QPointer<HistoryListView> list_;
    QPointer<HistoryCollectionView> grid_;
    QWidget* previewPane_ = nullptr;
    QPointer<ClipPreviewPanel> previewPanel_;
    // The record the preview panel shows.
    std::optional<Clip> previewClip_;
    QLabel* status_ = nullptr;
    QPointer<SourceFilterPopover> popover_;
    QPointer<ClearHistorySheet> sheet_;
};

} // namespace tavlin
