#pragma once

#include "Appearance.h"

#include <QWidget>

class QPainter;

namespace tavlin {

class ConfirmationAnimation;
class CopyFeedback;

// The small "Copied" capsule with a check mark that a row shows in place of its timestamp while
// its copy is confirmed. The widget keeps the badge's size and aligns the badge to its trailing
// edge; the badge itself is the child named "copy-confirmation-<id>", visible only while shown.
class CopyConfirmationBadge : public QWidget {
    Q_OBJECT
public:
    CopyConfirmationBadge(CopyFeedback* feedback, qint64 clipID, QWidget* parent = nullptr);

    QWidget* badge() const { return badge_; }
    QSize sizeHint() const override;

    static QSize badgeSize();
    // Draws the badge with its trailing edge at `trailing`'s right, centred vertically; `progress`
    // fades and grows it in (scale 0.92 to 1, anchored at the trailing edge).
    static void paint(QPainter& painter, const QRectF& trailing, const Appearance& appearance, qreal progress = 1.0);
    static QString text();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void follow();

    ConfirmationAnimation* animation_;
    QWidget* badge_;
};

} // namespace tavlin
