#pragma once

#include <QWidget>

namespace tavlin {

// The Settings window's frame: an ordinary window of fixed size, kept for the life of the
// process. WindowPresenter stacks it just above the history window while that one shows.
class SettingsWindow : public QWidget {
    Q_OBJECT

public:
    static constexpr QSize size{780, 540};

    explicit SettingsWindow(QWidget* content, QWidget* parent = nullptr);

Q_SIGNALS:
    void aboutToClose();

protected:
    void closeEvent(QCloseEvent* event) override;
};

} // namespace tavlin
