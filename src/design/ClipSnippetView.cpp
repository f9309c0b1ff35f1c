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
    : DocumentView(parent), text_(text), maximumCharacters_(maximumCharacters), plainFontSize_(plainFontSize)
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
    const HighlightedText excerpt = ClipTextSnippet::highlighted(text_, maximumCharacters_);
    code_ = excerpt.code;
    document()->clear();
    document()->setDefaultFont(code_ ? HighlightedText::codeFont() : SystemFont::regular(plainFontSize_));
    QTextCursor cursor(document());
    excerpt.insert(cursor, appearance);
    if (code_) {
        setSurface(TavlinTheme::elevatedSurface, 6);
        setPadding(QMarginsF(8, 6, 8, 6));
    } else {
        setSurface(std::nullopt);
        setPadding(QMarginsF());
    }
}

} // namespace tavlin
