#include "ClipSnippetView.h"

#include "ClipTextSnippet.h"
#include "SystemFont.h"
#include "TavlinTheme.h"
#include "ThemeAppearance.h"

#include <QEvent>
#include <QTextCursor>

namespace tavlin {

ClipSnippetView::ClipSnippetView(const QString& text, int maximumLines, int maximumCharacters, int plainFontSize,
                                 QWidget* parent)
    : DocumentView(parent)
    , m_text(text)
    , m_maximumCharacters(maximumCharacters)
    , m_plainFontSize(plainFontSize)
{
    setSelectable(false);
    setMaximumLines(qMax(1, maximumLines));
    build();
}

void ClipSnippetView::changeEvent(QEvent* event)
{
    DocumentView::changeEvent(event);
    if (event->type() == QEvent::PaletteChange)
        build();
}

void ClipSnippetView::build()
{
    const Appearance appearance = ThemeAppearance::of(this);
    const HighlightedText excerpt = ClipTextSnippet::highlighted(m_text, m_maximumCharacters);
    m_code = excerpt.code;
    document()->clear();
    document()->setDefaultFont(m_code ? HighlightedText::codeFont() : SystemFont::regular(m_plainFontSize));
    QTextCursor cursor(document());
    excerpt.insert(cursor, appearance);
    if (m_code) {
        setSurface(TavlinTheme::elevatedSurface, 6);
        setPadding(QMarginsF(8, 6, 8, 6));
    } else {
        setSurface(std::nullopt);
        setPadding(QMarginsF());
    }
}

} // namespace tavlin
