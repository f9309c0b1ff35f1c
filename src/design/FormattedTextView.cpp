#include "FormattedTextView.h"

#include "TavlinTheme.h"
#include "TextCharacters.h"
#include "ThemeAppearance.h"

#include <QAbstractTextDocumentLayout>
#include <QEvent>
#include <QPainter>
#include <QTextCursor>
#include <QTextDocument>
#include <QThread>
#include <QtConcurrent/QtConcurrentRun>

#include <limits>

namespace tavlin {

FormattedTextView::FormattedTextView(const QByteArray& data, const QString& type, qint64 maximumCharacters,
                                     std::optional<int> maximumLines, bool selectable, QWidget* parent)
    : DocumentView(parent)
{
    setObjectName(QStringLiteral("formatted-text"));
    setSelectable(selectable);
    setMaximumLines(maximumLines);
    std::unique_ptr<QTextDocument> document = RichTextPresentation::attributed(data, type, maximumCharacters);
    if (!document) {
        setFixedHeight(0);
        return;
    }
    surface_ = RichTextPresentation::surface(*document);
    document->setParent(this);
    setDocument(document.release());
    setPadding(QMarginsF(8, 8, 8, 8));
    applySurface();
}

QColor FormattedTextView::surfaceColor(RichTextPresentation::Surface surface, const Appearance& appearance)
{
    switch (surface) {
    case RichTextPresentation::Surface::white: return Qt::white;
    case RichTextPresentation::Surface::lightInk: return TavlinTheme::richTextLightInkSurface.resolve(appearance);
    case RichTextPresentation::Surface::fallback: break;
    }
    return TavlinTheme::richTextFallbackColor.resolve(appearance);
}

QColor FormattedTextView::inkColor(RichTextPresentation::Surface surface, const Appearance& appearance)
{
    // The white surface stays white in dark mode, and the light-ink surface stays dark in light mode.
    switch (surface) {
    case RichTextPresentation::Surface::white: return Qt::black;
    case RichTextPresentation::Surface::lightInk: return Qt::white;
    case RichTextPresentation::Surface::fallback: break;
    }
    return TavlinTheme::primaryText.resolve(appearance);
}

void FormattedTextView::drawDocument(QPainter& painter, const QTextDocument& document, const QRectF& clip,
                                     const QColor& ink)
{
    // As QTextDocument::drawContents, but not in the application's text colour, which is the
    // light appearance's whatever the window's.
    QAbstractTextDocumentLayout::PaintContext context;
    context.palette.setColor(QPalette::Text, ink);
    context.clip = clip;
    painter.save();
    painter.setClipRect(clip, Qt::IntersectClip);
    document.documentLayout()->draw(&painter, context);
    painter.restore();
}

QFuture<FormattedTextView::Read> FormattedTextView::read(const QByteArray& data, const QString& type)
{
    return QtConcurrent::run([data, type, owner = QThread::currentThread()] {
        Read read;
        read.document = RichTextPresentation::attributed(data, type, std::numeric_limits<qint64>::max());
        if (read.document) {
            // A paragraph is laid out whole, and a character too long cannot be broken into
            // lines: its part past the cut is left out, as everywhere else it shows.
            const auto past = TextCharacters::pastCuts(read.document->toRawText());
            QTextCursor cursor(read.document.get());
            for (auto part = past.crbegin(); part != past.crend(); ++part) {
                cursor.setPosition(int(part->first));
                cursor.setPosition(int(part->first + part->second), QTextCursor::KeepAnchor);
                cursor.removeSelectedText();
            }
            read.surface = RichTextPresentation::surface(*read.document);
            read.document->moveToThread(owner);
        }
        return read;
    });
}

void FormattedTextView::changeEvent(QEvent* event)
{
    DocumentView::changeEvent(event);
    if (event->type() == QEvent::PaletteChange && surface_)
        applySurface();
}

void FormattedTextView::applySurface()
{
    const Appearance appearance = ThemeAppearance::of(this);
    const QColor surface = surfaceColor(*surface_, appearance);
    setSurfaceColor(surface, 8);
    // Text that names no colour of its own takes the ink that reads on the surface.
    const QColor ink = inkColor(*surface_, appearance);
    QPalette palette = this->palette();
    if (palette.color(QPalette::Text) != ink) {
        palette.setColor(QPalette::Text, ink);
        setPalette(palette);
    }
}

} // namespace tavlin
