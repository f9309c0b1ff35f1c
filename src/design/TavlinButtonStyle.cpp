#include "TavlinButtonStyle.h"

#include "SystemFont.h"
#include "TavlinTheme.h"

namespace tavlin {

QFont TavlinButtonStyle::font() const
{
    switch (kind) {
    case Kind::primary: return SystemFont::regular(13, QFont::DemiBold);
    case Kind::secondary: return SystemFont::regular(13, QFont::Medium);
    case Kind::quiet: return SystemFont::regular(12, QFont::Medium);
    }
    return SystemFont::regular(13);
}

int TavlinButtonStyle::horizontalPadding() const
{
    return kind == Kind::quiet ? 10 : 20;
}

int TavlinButtonStyle::minimumHeight() const
{
    return kind == Kind::quiet ? 26 : height;
}

QColor TavlinButtonStyle::background(const Appearance& appearance, bool hovering, bool pressed) const
{
    switch (kind) {
    case Kind::primary: {
        // Hovering alone leaves the accent as it is; pressing lightens it.
        QColor fill = TavlinTheme::brandAccent.resolve(appearance);
        if (pressed)
            fill.setAlphaF(fill.alphaF() * 0.85f);
        return fill;
    }
    case Kind::secondary:
        return (hovering || pressed ? TavlinTheme::hoverSurface : TavlinTheme::controlFill).resolve(appearance);
    case Kind::quiet:
        return hovering || pressed ? TavlinTheme::hoverSurface.resolve(appearance) : QColor(Qt::transparent);
    }
    return Qt::transparent;
}

QColor TavlinButtonStyle::labelColor(const Appearance& appearance) const
{
    switch (kind) {
    case Kind::primary: return TavlinTheme::actionText.resolve(appearance);
    case Kind::secondary: return TavlinTheme::primaryText.resolve(appearance);
    case Kind::quiet: return TavlinTheme::brandAccent.resolve(appearance);
    }
    return TavlinTheme::primaryText.resolve(appearance);
}

} // namespace tavlin
