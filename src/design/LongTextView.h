#pragma once

#include "ThemeColor.h"

#include <QPlainTextEdit>
#include <QTextLayout>

#include <memory>
#include <optional>

namespace tavlin {

// A read-only, selectable view of a text of any length, plain or rich, with its own vertical
// scroll bar. It lays out only the paragraphs it shows, as QPlainTextEdit does, each with its own
// alignment, margins and first-line indent. A plain text's paragraphs are of at most
// `paragraphCharacters`: short lines share one, a longer line is cut into several, so that
// neither building the document nor laying out one paragraph grows with the text. Selecting
// and copying gives the text as it was, with its own line breaks only.
class LongTextView : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit LongTextView(QWidget* parent = nullptr);

    // Shows the text in the view's font; `formats` (positions in `text`) colour its first part.
    void setText(const QString& text, const QList<QTextLayout::FormatRange>& formats = {});
    // Shows a rich document, which the view takes over; it must belong to the view's thread.
    void setRichDocument(std::unique_ptr<QTextDocument> document);
    // Room added between the lines of a paragraph.
    void setLineSpacing(qreal pixels);
    // The plain text shown, as it was given, its own line breaks kept (a rich document's with
    // each break written as \n).
    QString text() const;
    // The selected part of it, the same way.
    QString selectedText() const;

    // The surface behind the text, with rounded corners; none leaves the view transparent.
    void setSurface(std::optional<ThemeColor> color, qreal radius);
    // A surface of a colour that is no palette colour (such as the white under dark ink).
    void setSurfaceColor(std::optional<QColor> color, qreal radius);
    // Room between the surface's edge and the text.
    void setPadding(int padding);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    // Smaller paragraphs make more of them to build; larger ones more to lay out for each shown.
    static constexpr qsizetype paragraphCharacters = 500;

protected:
    bool event(QEvent* event) override;
    QMimeData* createMimeDataFromSelection() const override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void showEvent(QShowEvent* event) override;

private:
    QString joined(const QString& shown, QTextBlock block) const;
    // The position in the given plain text of a position in the document.
    qsizetype givenPosition(qsizetype shown) const;

    std::optional<ThemeColor> surface_;
    std::optional<QColor> surfaceColor_;
    qreal radius_ = 0;
    qreal lineSpacing_ = 0;
    // The plain text as given, and from which document positions on how far they are shifted
    // from it; none for a rich document.
    std::optional<QString> given_;
    QList<std::pair<qsizetype, qsizetype>> shifts_;
    bool scrolling_ = false;
};

} // namespace tavlin
