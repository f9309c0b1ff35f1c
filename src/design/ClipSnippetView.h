#pragma once

#include "Appearance.h"
#include "DocumentView.h"

#include <QMarginsF>

class QPainter;

namespace tavlin {

// An excerpt of a text for cards and rows: its first characters in at most a number of lines;
// code highlighted on a raised rounded surface, prose plain at the given size. Not selectable.
struct HighlightedText;

class ClipSnippetView : public DocumentView {
    Q_OBJECT
public:
    ClipSnippetView(const QString& text, int maximumLines, int maximumCharacters, int plainFontSize,
                    QWidget* parent = nullptr);

    bool isCode() const { return code_; }

    // Code as the view shows it, for cards painted without widgets: the highlighted excerpt in at
    // most `maximumLines` lines (the last cut with an ellipsis when more follows) on its raised
    // surface, as tall as its lines, from the top of `area`.
    static void paintCode(QPainter& painter, const QRectF& area, const HighlightedText& excerpt, int maximumLines,
                          const Appearance& appearance);

    // The raised surface under code.
    static constexpr qreal codeRadius = 6;
    static constexpr QMarginsF codePadding{8, 6, 8, 6};

protected:
    void changeEvent(QEvent* event) override;

private:
    void build();

    QString text_;
    int maximumCharacters_;
    int plainFontSize_;
    bool code_ = false;
};

} // namespace tavlin
