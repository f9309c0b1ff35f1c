#pragma once

#include <QWidget>

namespace tavlin {

// The Settings window's frame: an ordinary window of fixed size, kept for the life of the
// process. WindowPresenter stacks it just above the history window while that one shows.
class SettingsWindow : public QWidget {
    Q_OBJECT

public:
    // 20 taller than the panes were laid out for: the desktop's usual sans-serif sets their
    // captions wider, and a new user's History & Privacy pane would otherwise scroll by a line.
    static constexpr QSize size{780, 560};

    explicit SettingsWindow(QWidget* content, QWidget* parent = nullptr);

Q_SIGNALS:
    void aboutToClose();

protected:
    void closeEvent(QCloseEvent* event) override;
};

} // namespace tavlin
