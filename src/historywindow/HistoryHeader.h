#pragma once

#include <QList>
#include <QPointer>
#include <QWidget>

class QAction;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollArea;
class QToolButton;

namespace tavlin {

class HistoryBrowser;
class SearchFocusRing;
class SourceApplicationIcon;
class SourceFilterPopover;
class ViewPreferences;

// The history window's header: the section's heading, the search field, the preview toggle and
// "More Actions" on the first line; the kind chips and the source filter button on the second.
// It reads and writes the browser's query and filters and the preview preference; what it
// cannot do itself (clear the history, copy the selected record, hand the keyboard to the
// records) it asks for.
class HistoryHeader : public QWidget {
    Q_OBJECT
public:
    HistoryHeader(HistoryBrowser& browser, ViewPreferences& preferences, const SourceApplicationIcon& sources,
                  QWidget* parent = nullptr);

    QLineEdit* searchField() const { return search_; }
    SourceFilterPopover* sourcePopover() const;
    void setShowingSources(bool showing);
    // Puts the caret into the search field.
    void focusSearch();
    // The controls that take the keyboard, in reading order.
    QList<QWidget*> focusOrder() const;

Q_SIGNALS:
    // "Clear All History…" was chosen.
    void clearRequested();
    // Ctrl+C in the search field with nothing selected there.
    void copyRequested();
    // Down in the search field: the records take the keyboard.
    void recordsRequested();
    // A control took a new name under the keyboard, which the window is to say.
    void renamedUnderKeyboard(const QString& name);

protected:
    void changeEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* buildTitleLine();
    QLayout* buildFilterLine();
    void refresh();
    void refreshActions();
    void fitSourceButton();

    HistoryBrowser& browser_;
    ViewPreferences& preferences_;
    const SourceApplicationIcon& sources_;

    QLabel* headingIcon_ = nullptr;
    QLabel* headingText_ = nullptr;
    QLineEdit* search_ = nullptr;
    QWidget* searchBox_ = nullptr;
    QLabel* searchGlass_ = nullptr;
    QLabel* searchHint_ = nullptr;
    QToolButton* clearSearch_ = nullptr;
    SearchFocusRing* focusRing_ = nullptr;
    QToolButton* previewButton_ = nullptr;
    QToolButton* moreButton_ = nullptr;
    QAction* clearAllAction_ = nullptr;
    QAction* resetAction_ = nullptr;
    // Whether the last press on "More Actions" was the mouse's.
    bool moreByMouse_ = false;
    QList<QPushButton*> chips_;
    QScrollArea* chipScroll_ = nullptr;
    QHBoxLayout* filterLine_ = nullptr;
    QPushButton* sourceButton_ = nullptr;
    QPointer<SourceFilterPopover> popover_;
};

} // namespace tavlin
