#pragma once

#include "ThemeColor.h"

#include <QWidget>

namespace tavlin {

// One line of text in a palette colour, cut with an ellipsis where the row leaves it too little
// room; the whole text is its tooltip.
class ElidedLabel : public QWidget {
    Q_OBJECT
public:
    ElidedLabel(const QString& text, const QFont& font, const ThemeColor& color,
                Qt::TextElideMode mode = Qt::ElideRight, QWidget* parent = nullptr);

    QString text() const { return text_; }
    void setText(const QString& text);
    // The text as shown at the current width.
    QString shownText() const;
    // Where the text sits when the label is wider than it (leading by default).
    void setAlignment(Qt::Alignment alignment);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString text_;
    ThemeColor color_;
    Qt::TextElideMode mode_;
    Qt::Alignment alignment_ = Qt::AlignLeft;
};

} // namespace tavlin
