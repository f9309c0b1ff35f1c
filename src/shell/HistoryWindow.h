#pragma once

#include <QObject>
#include <QRect>
#include <QSize>
#include <QWidget>

namespace tavlin {

// The history window's frame, fitted into the available area of its screen (the smaller size when
// the regular one does not fit) and kept for the life of the process. Floating, it is a tool
// window of fixed size that stays above ordinary windows, and the window manager is asked for a
// close button alone (WindowPresenter); otherwise it is an ordinary window, stacked among the
// others, that the user may minimise, maximise and enlarge. Closing only hides it.
class HistoryWindow : public QWidget {
    Q_OBJECT

public:
    static constexpr QSize regularSize{1040, 700};
    static constexpr QSize compactSize{820, 540};

    explicit HistoryWindow(QWidget* parent = nullptr);

    // Floating at first. A change hides the window and gives it a new native window; its
    // content stays.
    void setFloating(bool floating);
    bool isFloating() const { return floating_; }

    // The window's one view, filling it; set once.
    void setContent(QWidget* content);

    // Hidden, it draws itself once into the buffer it shows from: the fonts, glyphs, symbols,
    // shapes and images its showing draws are made ready, and the buffer's memory is in place.
    void drawAhead();

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
    void hideEvent(QHideEvent* event) override;

private:
    void watchScreen(QScreen* screen);

    bool floating_ = true;
    bool fitting_ = false;
    QMetaObject::Connection screenConnection_;
};

} // namespace tavlin
