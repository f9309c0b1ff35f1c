#pragma once

#include <QList>
#include <QWidget>

class QPushButton;

namespace tavlin {

class HistoryBrowser;

// The history window's left column: the brand, one row for each section ("History",
// "Favorites") with its count and the current one checked, and Settings at the bottom. A row
// switches the browser's section; the rows follow the section whoever changes it.
class HistorySidebar : public QWidget {
    Q_OBJECT
public:
    static constexpr int width = 180;

    explicit HistorySidebar(HistoryBrowser& browser, QWidget* parent = nullptr);

    // The controls that take the keyboard, in reading order.
    QList<QWidget*> focusOrder() const;

Q_SIGNALS:
    void settingsRequested();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void refreshSection();
    void refreshCounts();

    HistoryBrowser& browser_;
    QList<QPushButton*> sectionRows_;
    QPushButton* settings_ = nullptr;
};

} // namespace tavlin
