#pragma once

#include "HistoryQuery.h"

#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <optional>

class QLabel;
class QLineEdit;
class QPushButton;

namespace tavlin {

class Announcer;
class ClearHistorySheet;
class CopyFeedback;
class HistoryBrowser;
class HistoryHeader;
class HistoryModel;
class HistoryOperations;
class HistoryRecordsArea;
class HistorySidebar;
class SourceApplicationIcon;
class SourceFilterPopover;
class ViewPreferences;
struct Clip;

// The history window's content: the sidebar of sections, the header with the search field,
// kind chips, source filter and actions, an error banner, the records as cards or a list beside
// the preview, the empty state and a status line. It composes the three parts, reloads the
// history when the request changes, and presents the clear-history sheet.
class ContentView : public QWidget {
    Q_OBJECT
public:
    // Typing settles for this long before the listing follows.
    static constexpr std::chrono::milliseconds reloadDelay{130};
    // A search's records are told by their count once the page answering the last change has shown
    // for this long with no change since: a typist's pause, not the gap between two keys.
    static constexpr std::chrono::milliseconds countDelay{500};

    ContentView(HistoryModel& model, ViewPreferences& preferences, const SourceApplicationIcon& sources,
                std::function<void()> openSettings, bool focusSearchOnAppear, QWidget* parent = nullptr);
    ~ContentView() override;

    CopyFeedback& copyFeedback() const;
    std::optional<qint64> selection() const;
    void setSelection(std::optional<qint64> id);
    bool copied() const;
    // The one copy entry point of the window: grid, list, preview and keys end here.
    void copyClip(const Clip& clip);

    QLineEdit* searchField() const;
    QWidget* recordsView() const;
    SourceFilterPopover* sourcePopover() const;
    ClearHistorySheet* clearSheet() const;
    // "Clear All History…": asks first.
    void showClearSheet();
    void setShowingSources(bool showing);
    // Puts the caret into the search field (the window came forward, or Ctrl+F).
    void focusSearch();
    bool isReloadPending() const { return reloadTimer_.isActive(); }

    // The status line: "Showing 200 of 350" when the page holds fewer than match.
    static QString statusText(qint64 listed, qint64 matched);

Q_SIGNALS:
    // The clear-history sheet closed (the window's dismissal rules run again).
    void sheetEnded();

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QWidget* buildBanner();
    void orderTabs();
    void requestMaybeChanged();
    void refreshStatus();
    // The records listed and what the status line says of them.
    struct Listing {
        QList<qint64> ids;
        QString status;
        bool operator==(const Listing&) const = default;
    };
    Listing listing() const;
    void refreshBanner();

    HistoryBrowser& browser_;
    HistoryOperations& operations_;
    std::function<void()> openSettings_;
    bool focusSearchOnAppear_;
    bool shown_ = false;
    QTimer reloadTimer_;
    std::optional<HistoryQuery> lastRequest_;
    // Runs while a search's count waits to be told; stopped by a change, restarted by its page.
    QTimer countTimer_;
    // The user changed the search, and its count is still to be told.
    bool countPending_ = false;
    // The records as a reader last heard of them: told by a count, an empty state, or the window's
    // own listing as copies came in. A search that lists the same first page but matches another
    // number of records is told too.
    Listing heard_;

    HistorySidebar* sidebar_ = nullptr;
    HistoryHeader* header_ = nullptr;
    QWidget* banner_ = nullptr;
    QLabel* bannerText_ = nullptr;
    QPushButton* retry_ = nullptr;
    HistoryRecordsArea* records_ = nullptr;
    QLabel* status_ = nullptr;
    // In the status line: tells a screen reader of an empty state and of the records back.
    Announcer* announcer_ = nullptr;
    QPointer<ClearHistorySheet> sheet_;
};

} // namespace tavlin
