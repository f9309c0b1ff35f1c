#include "OnboardingQuickPanelDemo.h"

#include "RoundedShape.h"
#include "SymbolIcon.h"
#include "SystemFont.h"
#include "TavlinTheme.h"
#include "ThemeAppearance.h"

#include <QCoreApplication>
#include <QFontMetricsF>
#include <QPainter>

namespace tavlin {

namespace {
constexpr double panelWidth = 320;
constexpr double panelHeight = 8 + 24 + 6 + 26 + 8;
} // namespace

OnboardingQuickPanelDemo::OnboardingQuickPanelDemo(QWidget* parent) : QWidget(parent)
{
    setAccessibleName(QCoreApplication::translate("Onboarding", "Quick Panel example"));
    setFixedSize(sizeHint());
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

QSize OnboardingQuickPanelDemo::sizeHint() const
{
    return {int(panelWidth) + 2, int(panelHeight) + 6};
}

void OnboardingQuickPanelDemo::paintEvent(QPaintEvent*)
{
    const Appearance appearance = ThemeAppearance::of(this);
    const auto color = [&](const ThemeColor& themeColor) { return themeColor.resolve(appearance); };
    QPainter painter(this);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    const QRectF panel(1, 0.5, panelWidth, panelHeight);
    RoundedShape::fill(painter, panel.translated(0, 3), 14, QColor(0, 0, 0, 15));
    RoundedShape::fill(painter, panel, 14, color(TavlinTheme::contentSurface));
    RoundedShape::strokeInside(painter, panel, 14, color(TavlinTheme::border), 0.5);

    const QRectF field(panel.left() + 8, panel.top() + 8, panel.width() - 16, 24);
    RoundedShape::fill(painter, field, 12, color(TavlinTheme::controlFill));
    SymbolIcon::paint(painter, QStringLiteral("magnifyingglass"),
                      QRectF(field.left() + 10, field.center().y() - 5, 10, 10), color(TavlinTheme::brandAccent));
    painter.setFont(SystemFont::regular(11));
    painter.setPen(color(TavlinTheme::secondaryText));
    painter.drawText(field.adjusted(26, 0, -10, 0), Qt::AlignLeft | Qt::AlignVCenter,
                     QCoreApplication::translate("Onboarding", "Search history…"));

    const QRectF row(field.left(), field.bottom() + 6, field.width(), 26);
    RoundedShape::fill(painter, row, 7, color(TavlinTheme::selectedBackground));
    const QRectF tile(row.left() + 6, row.center().y() - 9, 18, 18);
    RoundedShape::fill(painter, tile, 4, color(TavlinTheme::elevatedSurface));
    SymbolIcon::paint(painter, QStringLiteral("link"), tile.adjusted(4.5, 4.5, -4.5, -4.5),
                      color(TavlinTheme::brandAccent));
    const QString hint = QCoreApplication::translate("Onboarding", "Enter — copy");
    const QFont hintFont = SystemFont::regular(9);
    const double hintWidth = QFontMetricsF(hintFont).horizontalAdvance(hint) + 1;
    painter.setFont(hintFont);
    painter.drawText(QRectF(row.right() - 6 - hintWidth, row.top(), hintWidth, row.height()),
                     Qt::AlignRight | Qt::AlignVCenter, hint);
    const QFont titleFont = SystemFont::regular(11, QFont::Medium);
    const QRectF title(tile.right() + 7, row.top(), row.width() - 6 - 18 - 7 - hintWidth - 12, row.height());
    painter.setFont(titleFont);
    painter.setPen(color(TavlinTheme::primaryText));
    painter.drawText(title, Qt::AlignLeft | Qt::AlignVCenter,
                     QFontMetricsF(titleFont).elidedText(QStringLiteral("tavlin.org"), Qt::ElideRight, title.width()));
}

} // namespace tavlin
