#pragma once

#include <QObject>
#include <QRect>
#include <QSize>
#include <QWidget>

namespace tavlin {

// Announcements of the history window that its content listens for.
class HistoryWindowNotifications : public QObject {
    Q_OBJECT

Q_SIGNALS:
    // Sent every time the window is shown: the content focuses its search field.
    void searchFocusRequested(QObject* model);
};

// The history window's frame: a floating tool window of fixed size that stays above ordinary
// windows, fitted into the available area of its screen (the smaller size when the regular one
// does not fit), and kept for the life of the process. Closing only hides it.
class HistoryWindow : public QWidget {
    Q_OBJECT

public:
    static constexpr QSize regularSize{1040, 700};
    static constexpr QSize compactSize{820, 540};

    explicit HistoryWindow(QWidget* content, QWidget* parent = nullptr);

    static HistoryWindowNotifications& notifications();

    // Fits the window into the available area of its screen (or the primary one).
    void refitToScreen();
    // Fits the window into `available`: keeps its position where it fits, pushes it inside where
    // it does not.
    void fit(const QRect& available);

Q_SIGNALS:
    void aboutToClose();

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void watchScreen(QScreen* screen);

    bool fitting_ = false;
    QMetaObject::Connection screenConnection_;
};

} // namespace tavlin
