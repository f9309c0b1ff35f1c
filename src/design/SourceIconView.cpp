#include "SourceIconView.h"

#include "TavlinTheme.h"
#include "ThemeAppearance.h"

#include <QPainter>

namespace tavlin {

SourceIconView::SourceIconView(std::shared_ptr<const SourceApplicationIcon::Value> source, QWidget* parent)
    : QWidget(parent), source_(std::move(source))
{
    setObjectName(QStringLiteral("source-icon"));
    setFixedSize(18, 18);
    setToolTip(source_->name);
    setAccessibleName(source_->name);
    setAccessibleDescription(source_->accessibilityDescription);
}

void SourceIconView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    source_->paint(painter, QRectF(rect()), TavlinTheme::secondaryText.resolve(ThemeAppearance::of(this)));
}

} // namespace tavlin
