#pragma once

#include <QAbstractButton>
#include <QList>
#include <QWidget>

namespace tavlin {

// The introduction's segmented picker: pill-shaped segments on a capsule track, the selected one
// filled. Segments take keyboard focus only from Tab and then show a ring of their own. A click
// only reports the choice (activated); the owner sets the selection it keeps.
class OnboardingSegmented : public QWidget {
    Q_OBJECT

public:
    // `label`: the accessible name of the whole control; `titles`: the segments, in order.
    OnboardingSegmented(const QString& label, const QStringList& titles, QWidget* parent = nullptr);

    // -1 (or any index without a segment) shows every segment unselected.
    void setSelectedIndex(int index);
    int selectedIndex() const { return selected_; }
    QList<QAbstractButton*> segments() const { return segments_; }

Q_SIGNALS:
    void activated(int index);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QList<QAbstractButton*> segments_;
    int selected_ = -1;
    // True while the segments are being set to the selection.
    bool showing_ = false;
};

} // namespace tavlin
