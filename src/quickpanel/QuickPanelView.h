#pragma once

#include "Clip.h"
#include "QuickPanelCommand.h"

#include <QWidget>

class QLabel;
class QPushButton;
class QStackedLayout;
class QToolButton;

namespace tavlin {

class Announcer;
class SourceApplicationIcon;

class QuickPanelList;
class QuickPanelState;
class QuickSearchField;
class SearchFocusRing;

// The search bar: a capsule with a magnifying glass, the search field and its focus ring.
class QuickPanelSearch : public QWidget {
    Q_OBJECT
public:
    explicit QuickPanelSearch(QWidget* parent = nullptr);
    QuickSearchField* field() const { return field_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QuickSearchField* field_;
    SearchFocusRing* ring_;
};

// What the open Quick Panel shows, top to bottom: the search bar, the "Recent" header with the
// favorites-only switch, the list with its empty-state text, and the error line or key hints.
// Everything it shows comes from the state; everything the user does goes to the state or, as
// commands and copies, to the coordinator.
class QuickPanelView : public QWidget {
    Q_OBJECT

public:
    static constexpr int listHeight = 200;

    QuickPanelView(QuickPanelState& state, const SourceApplicationIcon& sources, QWidget* parent = nullptr);

    QuickSearchField* searchField() const;
    QuickPanelList* list() const { return list_; }
    // The empty-state text for the state's question.
    static QString emptyText(const QString& query, bool favoritesOnly);
    // Tells assistive technology of what Return would copy, the highlighted record, or of the
    // empty-state text when nothing is listed.
    void tellHighlighted();
    // Says again what Return would copy, where the keyboard has not moved from it.
    void repeatHighlighted();

Q_SIGNALS:
    void commandRequested(QuickPanelCommand command);
    void copyRequested(const Clip& clip);

protected:
    void changeEvent(QEvent* event) override;

private:
    void refresh();
    void restyle();

    QuickPanelState& state_;
    QuickPanelSearch* search_;
    QLabel* recent_;
    QToolButton* star_;
    QuickPanelList* list_;
    QLabel* empty_;
    QLabel* error_;
    QWidget* hints_;
    QStackedLayout* footer_;
    QList<QLabel*> hintLabels_;
    QPushButton* history_;
    // In the footer: tells a screen reader of the empty-state text.
    Announcer* announcer_;
    bool restyling_ = false;
    // The empty-state text that showed after the last page: none while records show.
    QString emptyShown_;
};

} // namespace tavlin
