#pragma once

#include "SpringAnimation.h"

#include <QPixmap>
#include <QWidget>

namespace tavlin {

// A step change drawn as pictures over the screen area, covering the live new screen beneath:
// the old screen fades out while the new one fades in, sliding 28 pixels from the side it comes
// from. When it ends it hides itself and reports finished, and the live screen shows.
class OnboardingTransition : public QWidget {
    Q_OBJECT

public:
    explicit OnboardingTransition(QWidget* parent);

    void run(const QPixmap& from, const QPixmap& to, bool forward);
    bool isRunning() const { return spring_.state() == QAbstractAnimation::Running; }

Q_SIGNALS:
    void finished();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap from_;
    QPixmap to_;
    bool forward_ = true;
    double progress_ = 0;
    SpringAnimation spring_;
};

} // namespace tavlin
