#include "SourceIconView.h"

#include "SourceApplicationIcon.h"
#include "TavlinTheme.h"
#include "ThemeAppearance.h"

#include <QPainter>

namespace tavlin {

SourceIconView::SourceIconView(const std::optional<QString>& bundleID, ClipKind kind, QWidget* parent)
    : QWidget(parent)
    , bundleID_(bundleID)
    , kind_(kind)
{
    setObjectName(QStringLiteral("source-icon"));
    setFixedSize(18, 18);
    const auto value = SourceApplicationIcon::resolve(bundleID, kind);
    setToolTip(value->name);
    setAccessibleName(value->name);
    setAccessibleDescription(value->accessibilityDescription);
}

void SourceIconView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    SourceApplicationIcon::resolve(bundleID_, kind_)
        ->paint(painter, QRectF(rect()), TavlinTheme::secondaryText.resolve(ThemeAppearance::of(this)));
}

} // namespace tavlin
