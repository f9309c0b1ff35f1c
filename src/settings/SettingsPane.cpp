#include "SettingsPane.h"

#include "SettingsPaneHeader.h"
#include "TavlinTheme.h"
#include "ThemeAppearance.h"

#include <QHideEvent>
#include <QPainter>
#include <QScrollArea>
#include <QShowEvent>
#include <QVBoxLayout>

namespace tavlin {

SettingsPane::SettingsPane(const QString& title, const QString& symbol, bool scrolls, QWidget* parent) : QWidget(parent)
{
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    auto* body = new QWidget();
    column_ = new QVBoxLayout(body);
    column_->setContentsMargins(24, 24, 24, 24);
    column_->setSpacing(20);
    column_->addWidget(new SettingsPaneHeader(title, symbol));
    column_->addStretch();
    if (scrolls) {
        auto* scroll = new QScrollArea(this);
        scroll->setFrameShape(QFrame::NoFrame);
        scroll->setFocusPolicy(Qt::NoFocus); // Tab goes from the sidebar straight to the controls
        scroll->setWidgetResizable(true);
        scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        scroll->viewport()->setAutoFillBackground(false);
        body->setAutoFillBackground(false);
        scroll->setWidget(body);
        outer->addWidget(scroll);
    } else {
        outer->addWidget(body);
    }
}

void SettingsPane::add(QWidget* widget)
{
    column_->insertWidget(column_->count() - 1, widget);
}

QVBoxLayout* SettingsPane::addStack()
{
    auto* holder = new QWidget();
    QVBoxLayout* stack = stackLayout(holder);
    add(holder);
    return stack;
}

QVBoxLayout* SettingsPane::stackLayout(QWidget* holder)
{
    auto* stack = new QVBoxLayout(holder);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(8);
    return stack;
}

void SettingsPane::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!event->spontaneous())
        Q_EMIT appeared();
}

void SettingsPane::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    if (!event->spontaneous())
        Q_EMIT disappeared();
}

void SettingsPane::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), TavlinTheme::appBackground.resolve(ThemeAppearance::of(this)));
}

} // namespace tavlin
