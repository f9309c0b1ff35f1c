#pragma once

#include "ThemeColor.h"

#include <QMarginsF>
#include <QTextEdit>

#include <optional>

namespace tavlin {

// A read-only text view as tall as its text at the width it is given (no scroll bars of its
// own, so a surrounding scroll area scrolls it), optionally cut after a number of lines, and
// optionally on a rounded surface with padding. The building block of every text the
// presentation shows.
class DocumentView : public QTextEdit {
    Q_OBJECT
public:
    explicit DocumentView(QWidget* parent = nullptr);

    void setSelectable(bool selectable);
    bool isSelectable() const { return selectable_; }
    // No limit when none.
    void setMaximumLines(std::optional<int> lines);
    std::optional<int> maximumLines() const { return maximumLines_; }
    // The surface behind the text; none leaves the view transparent.
    void setSurface(std::optional<ThemeColor> color, qreal radius = 0);
    // Colour of the surface when it is no palette colour (such as the white under dark ink).
    void setSurfaceColor(std::optional<QColor> color, qreal radius = 0);
    void setPadding(const QMarginsF& padding);
    // Line spacing added between the lines of every paragraph.
    void setLineSpacing(qreal pixels);

    // Whether the text goes on past the line limit.
    bool isTruncated() const;
    // The number of laid-out lines, at the current width.
    int lineCount() const;

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    // Re-applies padding and line spacing after the document's content was replaced.
    void documentReplaced();
    // Shows a plain text whose selection copies with the text's own line breaks (CR LF, a lone
    // CR, the line and paragraph separators), not as the document writes them.
    void setPlainTextKeepingBreaks(const QString& text);

protected:
    bool event(QEvent* event) override;
    QMimeData* createMimeDataFromSelection() const override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    int contentHeight() const;
    void refit();

    bool selectable_ = true;
    std::optional<int> maximumLines_;
    std::optional<ThemeColor> surface_;
    std::optional<QColor> surfaceColor_;
    qreal radius_ = 0;
    QMarginsF padding_;
    std::optional<qreal> lineSpacing_;
    // The plain text as given, and the document positions of its CR LF breaks (one position there).
    std::optional<QString> given_;
    QList<qsizetype> joinedBreaks_;
};

} // namespace tavlin
