#pragma once

#include "SymbolTile.h"

namespace tavlin {

// A decorative symbol of the settings, in the accent colour, optionally on a rounded tile.
// Hidden from assistive technology: the text beside it says what it means.
class SettingsSymbol : public SymbolTile {
    Q_OBJECT
public:
    SettingsSymbol(const QString& name, int pointSize, QSize frame, QWidget* parent = nullptr);
};

} // namespace tavlin
