#pragma once

#include <QVariant>
#include <QWidget>

class QAbstractScrollArea;

namespace tavlin {

// The design system's focus ring around a text view that has no frame of its own, shown while
// the view has the keyboard from Tab (a click that puts the caret in it shows none, as on every
// other control). It stands just off the view's edge, in the view's parent, follows the view and
// lets clicks through. The view's caret shows only with the ring.
class TextFocusRing : public QWidget {
    Q_OBJECT
public:
    // How far the ring stands off the view: room between it and the text's first glyph and caret.
    static constexpr int outset = 6;

    // Lets the view take the keyboard from Tab, and rings it while it has it.
    static TextFocusRing* attach(QAbstractScrollArea* view);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    explicit TextFocusRing(QAbstractScrollArea* view);
    void follow();

    QAbstractScrollArea* view_;
    // The view's own caret width, shown only with the ring.
    QVariant caretWidth_;
};

} // namespace tavlin
