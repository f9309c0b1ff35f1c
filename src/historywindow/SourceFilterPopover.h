#pragma once

#include "ClipSourceFilter.h"

#include <QIcon>
#include <QPointer>
#include <QWidget>

#include <optional>

class QLabel;
class QListView;
class QPushButton;

namespace tavlin {

class SourceApplicationIcon;

class HistoryBrowser;
class SourceListModel;

// The source-application filter's popup under its button: Reset, a summary and one checkbox
// row per application found in the history, each with its icon, name and record count.
// The rows are a list over the model's sources: a click anywhere on a row or Space toggles it,
// and the popup stays open with the keyboard on that row, so several applications can be chosen
// in one visit. Escape closes it and gives the keyboard back to its button. Closing it by a
// press on its button does not reopen it.
class SourceFilterPopover : public QWidget {
    Q_OBJECT
public:
    SourceFilterPopover(HistoryBrowser& history, const SourceApplicationIcon& sources, QWidget* parent = nullptr);

    // Shows the popup below `anchor`.
    void popup(QWidget* anchor);
    // The rows; none while the history names no application.
    QListView* list() const;

    // "Unknown source", the identifier of an application not installed, else its name.
    QString sourceName(const std::optional<QString>& bundleID) const;
    // The application's icon; empty while it is decoded, a symbol for no icon or no application.
    QIcon sourceImage(const std::optional<QString>& bundleID, const QColor& symbolColor) const;
    // How many sources the filter selects (identifiers, plus the records of no known source).
    static qint64 selectedCount(const ClipSourceFilter& filter);
    static bool isChecked(const ClipSourceFilter& filter, const std::optional<QString>& bundleID);
    // The filter button's text.
    static QString buttonText(const ClipSourceFilter& filter);

    static constexpr int popoverWidth = 300;

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void followFilter();
    void followSources();

    HistoryBrowser& history_;
    const SourceApplicationIcon& sources_;
    SourceListModel* model_ = nullptr;
    QListView* list_ = nullptr;
    QLabel* summary_ = nullptr;
    QLabel* empty_ = nullptr;
    QPushButton* reset_ = nullptr;
    QPointer<QWidget> anchor_;
    // The filter the rows' ticks last showed.
    ClipSourceFilter ticked_;
};

} // namespace tavlin
