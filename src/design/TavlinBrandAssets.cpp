#include "TavlinBrandAssets.h"

#include <QSvgRenderer>

namespace tavlin {

QSvgRenderer& TavlinBrandAssets::mascot()
{
    static QSvgRenderer renderer(QStringLiteral(":/design/brand/TavlinMascot.svg"));
    return renderer;
}

QSvgRenderer& TavlinBrandAssets::wordmark()
{
    static QSvgRenderer renderer(QStringLiteral(":/design/brand/TavlinWordmark.svg"));
    return renderer;
}

QSvgRenderer& TavlinBrandAssets::menuBarGhost()
{
    static QSvgRenderer renderer(QStringLiteral(":/design/brand/MenuBarGhost.svg"));
    return renderer;
}

} // namespace tavlin
