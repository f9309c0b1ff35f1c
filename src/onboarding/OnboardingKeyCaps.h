#pragma once

#include <QStringList>
#include <QWidget>

namespace tavlin {

// A key combination drawn as keyboard key caps: large for the Quick Panel shortcut (caps joined
// by "+"), compact for the usage hints.
class OnboardingKeyCaps : public QWidget {
    Q_OBJECT

public:
    OnboardingKeyCaps(const QStringList& caps, bool large, QWidget* parent = nullptr);

    // The caps drawn: a large row of three or more keeps the key apart and merges the modifiers
    // into one cap ("Ctrl+Alt", then "K"), so that a long combination still fits.
    static QStringList displayedCaps(const QStringList& caps, bool large);

    void setCaps(const QStringList& caps);
    QStringList caps() const { return caps_; }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // The caps' rectangles in a row starting at the left edge, with the separators between them.
    QList<QRectF> capRects() const;

    QStringList caps_;
    bool large_;
};

} // namespace tavlin
