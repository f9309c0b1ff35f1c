#pragma once

#include <QPixmap>
#include <QWidget>

namespace tavlin {

// The mascot at `size` by `size` pixels, aspect kept and centred; decorative: no name, no clicks.
class GhostView : public QWidget {
    Q_OBJECT
public:
    explicit GhostView(int size, QWidget* parent = nullptr);

    int size() const { return size_; }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int size_;
    QPixmap drawn_;
};

} // namespace tavlin
