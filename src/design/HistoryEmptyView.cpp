#include "HistoryEmptyView.h"

#include "DocumentView.h"
#include "GhostView.h"
#include "SystemFont.h"
#include "TavlinButtonStyle.h"
#include "TavlinTheme.h"
#include "ThemeAppearance.h"

#include <QCoreApplication>
#include <QEvent>
#include <QGraphicsOpacityEffect>
#include <QLabel>
#include <QPropertyAnimation>
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
    : QWidget(parent)
    , m_kind(kind)
    , m_onResetFilters(std::move(onResetFilters))
{
    setObjectName(QStringLiteral("history-empty"));
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    m_content = new QWidget(this);
    outer->addStretch(1);
    outer->addWidget(m_content, 0, Qt::AlignHCenter);
    outer->addStretch(1);

    auto* column = new QVBoxLayout(m_content);
    column->setContentsMargins(24, 24, 24, 24);
    column->setSpacing(12);
    column->addWidget(new GhostView(96, m_content), 0, Qt::AlignHCenter);

    m_title = new QLabel(m_content);
    m_title->setFont(SystemFont::regular(21, QFont::DemiBold));
    m_title->setAlignment(Qt::AlignCenter);
    m_title->setWordWrap(true);
    column->addWidget(m_title);

    m_message = new DocumentView(m_content);
    m_message->setSelectable(false);
    m_message->document()->setDefaultFont(SystemFont::regular(13));
    column->addWidget(m_message);

    auto* reset = new StyledButton(QString(), {TavlinButtonStyle::Kind::secondary, 28}, m_content);
    reset->setTint(TavlinTheme::brandAccent);
    m_resetButton = reset;
    m_resetButton->setObjectName(QStringLiteral("reset-filters"));
    m_resetButton->setCursor(Qt::PointingHandCursor);
    connect(m_resetButton, &QAbstractButton::clicked, this, [this] {
        if (m_onResetFilters)
            m_onResetFilters();
    });
    column->addWidget(m_resetButton, 0, Qt::AlignHCenter);
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
    m_title->setText(title(m_kind));

    m_message->clear();
    QTextCursor cursor(m_message->document());
    QTextCharFormat secondary;
    secondary.setForeground(TavlinTheme::secondaryText.resolve(appearance));
    cursor.insertText(message(m_kind), secondary);
    cursor.select(QTextCursor::Document);
    QTextBlockFormat centred;
    centred.setAlignment(Qt::AlignHCenter);
    cursor.mergeBlockFormat(centred);
    m_message->setLineSpacing(3);

    m_resetButton->setText(QCoreApplication::translate("Tavlin", "Reset Filters"));
    m_resetButton->setVisible(m_kind == Kind::search);
}

void HistoryEmptyView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    // As wide as the view allows, up to 430.
    m_content->setFixedWidth(qMin(maximumContentWidth, width()));
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
    if (kind == m_kind)
        return;
    const bool animate = isVisible() && !ThemeAppearance::reduceMotion(this);
    const QPixmap previous = animate ? m_content->grab() : QPixmap();
    m_kind = kind;
    build();
    if (animate)
        crossFadeFrom(previous);
}

void HistoryEmptyView::crossFadeFrom(const QPixmap& previous)
{
    // The old state fades out on top while the new one fades in.
    auto* ghost = new QLabel(this);
    ghost->setAttribute(Qt::WA_TransparentForMouseEvents);
    ghost->setPixmap(previous);
    ghost->setGeometry(QRect(m_content->geometry().topLeft(), previous.deviceIndependentSize().toSize()));
    ghost->show();
    fade(ghost, 1.0, 0.0, [ghost] { ghost->deleteLater(); });
    fade(m_content, 0.0, 1.0);
}

} // namespace tavlin
