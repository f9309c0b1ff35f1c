#pragma once

#include <QWidget>

class QScrollArea;
class QVBoxLayout;

namespace tavlin {

// What every settings pane shares: the header, a column of groups and captions 20 apart inside a
// margin of 24, optionally in a vertical scroll view, on the window's background. The pane's
// appearing and disappearing are its show and hide events (closing the window counts).
class SettingsPane : public QWidget {
    Q_OBJECT
public:
    SettingsPane(const QString& title, const QString& symbol, bool scrolls = true, QWidget* parent = nullptr);

    QVBoxLayout* column() const { return column_; }
    // Adds to the column; the column keeps its content at the top.
    void add(QWidget* widget);
    // A stack of its own inside the column, with 8 between its pieces (a group and its captions).
    QVBoxLayout* addStack();
    // Such a stack's layout, set on `holder` (a section that is one stack).
    static QVBoxLayout* stackLayout(QWidget* holder);

Q_SIGNALS:
    void appeared();
    void disappeared();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QVBoxLayout* column_;
};

} // namespace tavlin
