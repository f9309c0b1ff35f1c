#include "CopyActionButton.h"

#include "KeyboardFocus.h"
#include "RoundedShape.h"
#include "SymbolIcon.h"
#include "SystemFont.h"
#include "TavlinTheme.h"
#include "ThemeAppearance.h"

#include <QCoreApplication>
#include <QPainter>

namespace tavlin {

namespace {

constexpr int symbolWidth = 14;
constexpr int spacing = 6;

} // namespace

CopyActionButton::CopyActionButton(bool copied, std::function<void()> action, QWidget* parent)
    : QAbstractButton(parent)
    , copied_(copied)
    , action_(std::move(action))
{
    setObjectName(QStringLiteral("copy-clip"));
    setFixedSize(112, 32);
    setFont(SystemFont::regular(12, QFont::Medium));
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
    KeyboardFocus::track(this);
    setCopied(copied);
    connect(this, &QAbstractButton::clicked, this, [this] {
        if (action_)
            action_();
    });
}

void CopyActionButton::setCopied(bool copied)
{
    copied_ = copied;
    setText(copied ? QCoreApplication::translate("Tavlin", "Copied") : QCoreApplication::translate("Tavlin", "Copy"));
    // Setting the text replaces the shortcut with the text's mnemonic.
    setShortcut(QKeySequence(Qt::CTRL | Qt::Key_C));
    update();
}

bool CopyActionButton::hitButton(const QPoint& position) const
{
    return RoundedShape::capsule(QRectF(rect())).contains(position);
}

void CopyActionButton::paintEvent(QPaintEvent*)
{
    const Appearance appearance = ThemeAppearance::of(this);
    QPainter painter(this);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    const QRectF bounds(rect());
    RoundedShape::fill(painter, bounds, RoundedShape::capsuleRadius(bounds),
                       TavlinTheme::copySurface.resolve(appearance));

    const QColor ink = TavlinTheme::copyText.resolve(appearance);
    const QFontMetrics metrics(font());
    const int textWidth = metrics.horizontalAdvance(text());
    const qreal left = (width() - (symbolWidth + spacing + textWidth)) / 2.0;
    const QRectF symbol(left + 1, (height() - 12) / 2.0, 12, 12);
    SymbolIcon::paint(painter, copied_ ? QStringLiteral("checkmark") : QStringLiteral("doc.on.doc"), symbol, ink);
    painter.setPen(ink);
    painter.drawText(QRectF(left + symbolWidth + spacing, 0, textWidth + 1, height()),
                     Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text());
    if (KeyboardFocus::showsRing(this)) {
        QColor ring = TavlinTheme::brandAccent.resolve(appearance);
        RoundedShape::strokeInside(painter, bounds, RoundedShape::capsuleRadius(bounds), ring, 2);
    }
}

} // namespace tavlin
