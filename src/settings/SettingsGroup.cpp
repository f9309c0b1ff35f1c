#include "SettingsGroup.h"

#include "RoundedShape.h"
#include "SettingsRowSeparator.h"
#include "SystemFont.h"
#include "TavlinTheme.h"
#include "ThemeAppearance.h"
#include "ThemedLabel.h"

#include <QPainter>
#include <QVBoxLayout>

namespace tavlin {

namespace {

class Card : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override
    {
        const Appearance appearance = ThemeAppearance::of(this);
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const QRectF card = QRectF(rect()).adjusted(0, 0, 0, -shadowRoom);
        // A faint shadow, two pixels down.
        RoundedShape::fill(painter, card.translated(0, 2), radius, QColor(0, 0, 0, appearance.dark ? 0 : 8));
        RoundedShape::fill(painter, card, radius, TavlinTheme::contentSurface.resolve(appearance));
        if (appearance.highContrast)
            RoundedShape::strokeInside(painter, card, radius, TavlinTheme::brandAccent.resolve(appearance), 1.5);
    }

public:
    static constexpr qreal radius = 20;
    static constexpr int shadowRoom = 2;
};

} // namespace

SettingsGroup::SettingsGroup(const QString& title, QWidget* parent) : QWidget(parent)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(10 - Card::shadowRoom);
    auto* label = new ThemedLabel(title, SystemFont::regular(12, QFont::Medium), TavlinTheme::secondaryText, this);
    label->setContentsMargins(4, 0, 4, 0);
    label->setWordWrap(true);
    layout->addWidget(label);
    auto* card = new Card(this);
    content_ = new QVBoxLayout(card);
    content_->setContentsMargins(0, 0, 0, Card::shadowRoom);
    content_->setSpacing(0);
    layout->addWidget(card);
}

void SettingsGroup::add(QWidget* content)
{
    content_->addWidget(content);
}

void SettingsGroup::addSeparator()
{
    content_->addWidget(new SettingsRowSeparator());
}

} // namespace tavlin
