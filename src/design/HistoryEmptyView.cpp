#include "HistoryEmptyView.h"

#include "AssistiveRoles.h"
#include "ButtonLook.h"
#include "DocumentView.h"
#include "GhostView.h"
#include "SystemFont.h"
#include "TavlinTheme.h"
#include "ThemeAppearance.h"

#include <QCoreApplication>
#include <QEvent>
#include <QGraphicsOpacityEffect>
#include <QLabel>
#include <QPropertyAnimation>
#include <QPushButton>
#include <QTextCursor>
#include <QVBoxLayout>

namespace tavlin {

namespace {

constexpr int fadeMilliseconds = 160;
constexpr int maximumContentWidth = 430;

void fade(QWidget* widget, qreal from, qreal to, std::function<void()> done = {})
{
    auto* effect = new QGraphicsOpacityEffect(widget);
    effect->setOpacity(from);
    widget->setGraphicsEffect(effect);
    auto* animation = new QPropertyAnimation(effect, "opacity", widget);
    animation->setDuration(fadeMilliseconds);
    animation->setEasingCurve(QEasingCurve::OutCubic);
    animation->setStartValue(from);
    animation->setEndValue(to);
    QObject::connect(animation, &QPropertyAnimation::finished, widget, [widget, done = std::move(done)] {
        widget->setGraphicsEffect(nullptr);
        if (done)
            done();
    });
    animation->start(QAbstractAnimation::DeleteWhenStopped);
}

} // namespace

HistoryEmptyView::HistoryEmptyView(Kind kind, std::function<void()> onResetFilters, QWidget* parent)
    : QWidget(parent), kind_(kind), onResetFilters_(std::move(onResetFilters))
{
    setObjectName(QStringLiteral("history-empty"));
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    content_ = new QWidget(this);
    outer->addStretch(1);
    outer->addWidget(content_, 0, Qt::AlignHCenter);
    outer->addStretch(1);

    auto* column = new QVBoxLayout(content_);
    column->setContentsMargins(24, 24, 24, 24);
    column->setSpacing(12);
    column->addWidget(new GhostView(96, content_), 0, Qt::AlignHCenter);

    title_ = new QLabel(content_);
    title_->setFont(SystemFont::regular(21, QFont::DemiBold));
    title_->setAlignment(Qt::AlignCenter);
    title_->setWordWrap(true);
    column->addWidget(title_);

    message_ = new DocumentView(content_);
    message_->setSelectable(false);
    message_->document()->setDefaultFont(SystemFont::regular(13));
    column->addWidget(message_);

    auto* reset = ButtonLook::action({TavlinButtonStyle::Kind::secondary, 28}, QString(), content_);
    ButtonLook::change(reset, [](ButtonLook& look) { look.ink = TavlinTheme::brandAccent; });
    resetButton_ = reset;
    resetButton_->setObjectName(QStringLiteral("reset-filters"));
    resetButton_->setCursor(Qt::PointingHandCursor);
    connect(resetButton_, &QAbstractButton::clicked, this, [this] {
        if (onResetFilters_)
            onResetFilters_();
    });
    column->addWidget(resetButton_, 0, Qt::AlignHCenter);
    build();
}

QString HistoryEmptyView::title(Kind kind)
{
    switch (kind) {
    case Kind::history: return QCoreApplication::translate("Tavlin", "It’s quiet here for now");
    case Kind::favorites: return QCoreApplication::translate("Tavlin", "No favorites yet");
    case Kind::search: return QCoreApplication::translate("Tavlin", "Nothing turned up");
    }
    return {};
}

QString HistoryEmptyView::message(Kind kind)
{
    switch (kind) {
    case Kind::history:
        return QCoreApplication::translate(
            "Tavlin", "Good finds shouldn’t get lost.\nCopy some text, a link or an image — it will stay here.");
    case Kind::favorites:
        return QCoreApplication::translate("Tavlin",
                                           "Your little treasures.\nStar the records you want to come back to.");
    case Kind::search:
        return QCoreApplication::translate(
            "Tavlin",
            "Shall we try another way?\nChange the search or reset the filters — your history hasn’t gone anywhere.");
    }
    return {};
}

void HistoryEmptyView::build()
{
    const Appearance appearance = ThemeAppearance::of(this);
    title_->setText(title(kind_));

    // The text and its alignment in one edit: assistive technology is told of the text once.
    QTextCursor cursor(message_->document());
    cursor.beginEditBlock();
    cursor.select(QTextCursor::Document);
    cursor.removeSelectedText();
    QTextBlockFormat centred;
    centred.setAlignment(Qt::AlignHCenter);
    cursor.setBlockFormat(centred);
    QTextCharFormat secondary;
    secondary.setForeground(TavlinTheme::secondaryText.resolve(appearance));
    cursor.insertText(message(kind_), secondary);
    cursor.endEditBlock();
    message_->setLineSpacing(3);

    resetButton_->setText(QCoreApplication::translate("Tavlin", "Reset Filters"));
    resetButton_->setVisible(kind_ == Kind::search);
}

void HistoryEmptyView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    // As wide as the view allows, up to 430.
    content_->setFixedWidth(qMin(maximumContentWidth, width()));
}

void HistoryEmptyView::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    // The message carries colours of the appearance.
    if (event->type() == QEvent::PaletteChange)
        build();
}

void HistoryEmptyView::setKind(Kind kind)
{
    if (kind == kind_)
        return;
    const bool animate = isVisible() && !ThemeAppearance::reduceMotion(this);
    const QPixmap previous = animate ? content_->grab() : QPixmap();
    kind_ = kind;
    build();
    if (animate)
        crossFadeFrom(previous);
}

void HistoryEmptyView::crossFadeFrom(const QPixmap& previous)
{
    // The old state fades out on top while the new one fades in.
    auto* ghost = new QLabel(this);
    AssistiveRoles::markDecorative(ghost);
    ghost->setAttribute(Qt::WA_TransparentForMouseEvents);
    ghost->setPixmap(previous);
    ghost->setGeometry(QRect(content_->geometry().topLeft(), previous.deviceIndependentSize().toSize()));
    ghost->show();
    fade(ghost, 1.0, 0.0, [ghost] { ghost->deleteLater(); });
    fade(content_, 0.0, 1.0);
}

} // namespace tavlin
