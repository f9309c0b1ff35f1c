#include "SourceIconView.h"

#include "TavlinTheme.h"
#include "ThemeAppearance.h"

#include <QPainter>

namespace tavlin {

SourceIconView::SourceIconView(const SourceApplicationIcon& sources, const std::optional<QString>& bundleID,
                               ClipKind kind, QWidget* parent)
    : QWidget(parent), sources_(sources), bundleID_(bundleID), kind_(kind)
{
    setObjectName(QStringLiteral("source-icon"));
    setFixedSize(18, 18);
    const std::shared_ptr<const SourceApplicationIcon::Value> shown = source();
    setToolTip(shown->name);
    setAccessibleName(shown->name);
    setAccessibleDescription(shown->accessibilityDescription);
    connect(&sources, &SourceApplicationIcon::iconsArrived, this, qOverload<>(&QWidget::update));
}

void SourceIconView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    source()->paint(painter, QRectF(rect()), TavlinTheme::secondaryText.resolve(ThemeAppearance::of(this)));
}

} // namespace tavlin
