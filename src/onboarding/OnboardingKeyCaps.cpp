#include "OnboardingKeyCaps.h"

#include "RoundedShape.h"
#include "SystemFont.h"
#include "TavlinTheme.h"
#include "ThemeAppearance.h"

#include <QAccessibleWidget>
#include <QFontMetricsF>
#include <QPainter>

namespace tavlin {

namespace {

struct CapMetrics {
    QFont font;
    double padding;
    QSizeF minimum;
    double radius;
    double edge; // the solid band along the lower edge
    double spacing;
};

CapMetrics metrics(bool large)
{
    if (large)
        return {SystemFont::regular(22, QFont::DemiBold), 12, {56, 50}, 13, 3, 10};
    return {SystemFont::regular(11, QFont::DemiBold), 6, {22, 22}, 6, 1.5, 4};
}

const QString separator = QStringLiteral("+");

// The caps are read as a text: the keys' names their owner gives them.
QAccessibleInterface* keyCapsAccessible(const QString& className, QObject* object)
{
    if (className == QLatin1String(OnboardingKeyCaps::staticMetaObject.className()) && object->isWidgetType())
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::StaticText);
    return nullptr;
}

} // namespace

OnboardingKeyCaps::OnboardingKeyCaps(const QStringList& caps, bool large, QWidget* parent)
    : QWidget(parent), caps_(caps), large_(large)
{
    static const bool accessibleInstalled = (QAccessible::installFactory(keyCapsAccessible), true);
    Q_UNUSED(accessibleInstalled);
    setFixedSize(sizeHint());
}

QStringList OnboardingKeyCaps::displayedCaps(const QStringList& caps, bool large)
{
    if (!large || caps.size() < 3)
        return caps;
    return {caps.mid(0, caps.size() - 1).join(separator), caps.last()};
}

void OnboardingKeyCaps::setCaps(const QStringList& caps)
{
    if (caps == caps_)
        return;
    caps_ = caps;
    setFixedSize(sizeHint());
    update();
}

QList<QRectF> OnboardingKeyCaps::capRects() const
{
    const CapMetrics cap = metrics(large_);
    const QFontMetricsF text(cap.font);
    const double separatorWidth = QFontMetricsF(SystemFont::regular(18, QFont::Medium)).horizontalAdvance(separator);
    QList<QRectF> rects;
    double x = 0;
    for (const QString& label : displayedCaps(caps_, large_)) {
        if (!rects.isEmpty())
            x += cap.spacing + (large_ ? separatorWidth + cap.spacing : 0);
        const double width = std::max(cap.minimum.width(), text.horizontalAdvance(label) + 2 * cap.padding);
        rects.append(QRectF(x, 0, width, cap.minimum.height()));
        x += width;
    }
    return rects;
}

QSize OnboardingKeyCaps::sizeHint() const
{
    const QList<QRectF> rects = capRects();
    const CapMetrics cap = metrics(large_);
    return {rects.isEmpty() ? 0 : int(std::ceil(rects.last().right())),
            int(std::ceil(cap.minimum.height() + cap.edge))};
}

void OnboardingKeyCaps::paintEvent(QPaintEvent*)
{
    const Appearance appearance = ThemeAppearance::of(this);
    const CapMetrics cap = metrics(large_);
    const QList<QRectF> rects = capRects();
    const QStringList labels = displayedCaps(caps_, large_);
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const double offset = (width() - sizeHint().width()) / 2.0;
    for (int i = 0; i < rects.size(); ++i) {
        const QRectF key = rects[i].translated(offset, 0);
        if (large_ && i > 0) {
            painter.setFont(SystemFont::regular(18, QFont::Medium));
            painter.setPen(TavlinTheme::secondaryText.resolve(appearance));
            const QRectF gap(rects[i - 1].right() + offset, 0, key.left() - rects[i - 1].right() - offset,
                             key.height());
            painter.drawText(gap, Qt::AlignCenter, separator);
        }
        RoundedShape::fill(painter, key.translated(0, cap.edge), cap.radius,
                           TavlinTheme::controlBorder.resolve(appearance));
        RoundedShape::fill(painter, key, cap.radius, TavlinTheme::elevatedSurface.resolve(appearance));
        RoundedShape::strokeInside(painter, key, cap.radius, TavlinTheme::border.resolve(appearance), 0.5);
        // A label too wide for the room shrinks, down to 55 %, before it is cut.
        QFont font = cap.font;
        const double room = key.width() - 2 * cap.padding;
        const double needed = QFontMetricsF(font).horizontalAdvance(labels[i]);
        if (needed > room && needed > 0)
            font.setPixelSize(std::max(1, int(font.pixelSize() * std::max(0.55, room / needed))));
        painter.setFont(font);
        painter.setPen(TavlinTheme::primaryText.resolve(appearance));
        painter.drawText(key.adjusted(cap.padding, 0, -cap.padding, 0), Qt::AlignCenter,
                         QFontMetricsF(font).elidedText(labels[i], Qt::ElideRight, room));
    }
}

} // namespace tavlin
