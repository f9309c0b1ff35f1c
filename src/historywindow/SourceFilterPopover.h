#pragma once

#include "ClipSourceFilter.h"

#include <QIcon>
#include <QWidget>

#include <optional>

class QVBoxLayout;

namespace tavlin {

class SourceApplicationIcon;

class HistoryBrowser;

// The source-application filter's popup under its button: Reset, a summary and one checkbox
// row per application found in the history, each with its icon, name and record count.
// Checking and unchecking keeps it open, so several applications can be chosen in one visit;
// it follows the model while open. Closing it by a press on its button does not reopen it.
class SourceFilterPopover : public QWidget {
    Q_OBJECT
public:
    SourceFilterPopover(HistoryBrowser& history, const SourceApplicationIcon& sources, QWidget* parent = nullptr);

    // Shows the popup below `anchor`.
    void popup(QWidget* anchor);

    // "Unknown source", the identifier of an application not installed, else its name.
    QString sourceName(const std::optional<QString>& bundleID) const;
    QIcon sourceImage(const std::optional<QString>& bundleID, const QColor& symbolColor) const;
    // How many sources the filter selects (identifiers, plus the records of no known source).
    static qint64 selectedCount(const ClipSourceFilter& filter);
    static bool isChecked(const ClipSourceFilter& filter, const std::optional<QString>& bundleID);
    // The filter button's text.
    static QString buttonText(const ClipSourceFilter& filter);

    static constexpr int popoverWidth = 300;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void rebuild();

    HistoryBrowser& history_;
    const SourceApplicationIcon& sources_;
    QVBoxLayout* content_ = nullptr;
};

} // namespace tavlin
