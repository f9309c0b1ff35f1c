#pragma once

#include "DocumentView.h"
#include "RichTextPresentation.h"

#include <QByteArray>
#include <QFuture>
#include <QString>

#include <memory>
#include <optional>

class QPainter;
class QTextDocument;

namespace tavlin {

// Rich text (RTF or flat RTFD) with the fonts, colours and paragraphs of its source, on a
// rounded surface chosen from its ink: white under mostly dark ink, a dark surface under mostly
// light ink, else the theme's rich-text background. Bytes that don't read leave it empty.
class FormattedTextView : public DocumentView {
    Q_OBJECT
public:
    FormattedTextView(const QByteArray& data, const QString& type, qint64 maximumCharacters,
                      std::optional<int> maximumLines, bool selectable, QWidget* parent = nullptr);

    bool isEmpty() const { return !surface_; }
    std::optional<RichTextPresentation::Surface> surface() const { return surface_; }

    // The colour of a surface in an appearance.
    static QColor surfaceColor(RichTextPresentation::Surface surface, const Appearance& appearance);
    // The colour of text that names none of its own on a surface: what reads on it.
    static QColor inkColor(RichTextPresentation::Surface surface, const Appearance& appearance);
    // Draws the document at the painter's origin, within `clip`, its uncoloured text in `ink`.
    static void drawDocument(QPainter& painter, const QTextDocument& document, const QRectF& clip, const QColor& ink);

    // A document read and measured for its surface away from the main thread.
    struct Read {
        // None when the bytes don't read; else it belongs to the thread that asked for it.
        std::unique_ptr<QTextDocument> document;
        RichTextPresentation::Surface surface = RichTextPresentation::Surface::fallback;
    };
    // Reads the whole document on a worker thread, for a view of the calling thread to take.
    static QFuture<Read> read(const QByteArray& data, const QString& type);

protected:
    void changeEvent(QEvent* event) override;

private:
    void applySurface();

    std::optional<RichTextPresentation::Surface> surface_;
};

} // namespace tavlin
