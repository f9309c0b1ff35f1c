#include "SettingsSymbol.h"

#include "TavlinTheme.h"

namespace tavlin {

// A symbol of a font size fills about that many pixels.
SettingsSymbol::SettingsSymbol(const QString& name, int pointSize, QSize frame, QWidget* parent)
    : SymbolTile(name, pointSize * 1.15, frame, TavlinTheme::brandAccent, parent)
{
}

} // namespace tavlin
