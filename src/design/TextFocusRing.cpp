#include "TextFocusRing.h"

#include "KeyboardFocus.h"
#include "RoundedShape.h"
#include "TavlinTheme.h"
#include "ThemeAppearance.h"

#include <QAbstractScrollArea>
#include <QEvent>
#include <QPainter>

namespace tavlin {

namespace {

constexpr qreal ringWidth = 2;
constexpr qreal ringRadius = 6;

QRect ringIn(const QWidget* view, const QWidget* host)
{
    return QRect(view->mapTo(host, QPoint()), view->size())
        .adjusted(-TextFocusRing::outset, -TextFocusRing::outset, TextFocusRing::outset, TextFocusRing::outset);
}

// The ring stands in the nearest container with room for it around the view, short of a scroll
// area's viewport, so that it scrolls with the text and is not cut by the view's own edges.
QWidget* hostFor(QWidget* view)
{
    QWidget* host = view->parentWidget();
    while (!host->rect().contains(ringIn(view, host)) && host->parentWidget() && !host->isWindow()
           && host->parentWidget()->objectName() != QLatin1String("qt_scrollarea_viewport"))
        host = host->parentWidget();
    return host;
}

} // namespace

TextFocusRing::TextFocusRing(QAbstractScrollArea* view)
    : QWidget(view), view_(view), caretWidth_(view->property("cursorWidth"))
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    // Ours first: filters run last-installed first, so the tracker has noted how the focus came
    // by the time this one reads it.
    view->installEventFilter(this);
    KeyboardFocus::track(view);
    view->setFocusPolicy(Qt::StrongFocus);
    // It may stand outside the view, and goes with it.
    connect(view, &QObject::destroyed, this, &QObject::deleteLater);
    follow();
}

TextFocusRing* TextFocusRing::attach(QAbstractScrollArea* view)
{
    return new TextFocusRing(view);
}

bool TextFocusRing::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == view_) {
        switch (event->type()) {
        case QEvent::FocusIn:
        case QEvent::FocusOut:
        case QEvent::Move:
        case QEvent::Resize: follow(); break;
        default: break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TextFocusRing::follow()
{
    const bool keyboard = KeyboardFocus::showsRing(view_);
    // A text no one types in draws its caret only for selecting with the keys: focus that came
    // another way (a click, the window's first showing) draws none.
    if (caretWidth_.isValid())
        view_->setProperty("cursorWidth", keyboard ? caretWidth_ : QVariant(0));
    // Placed when it is needed: where the view sits is known only once it is laid out.
    if (!keyboard) {
        hide();
        return;
    }
    if (QWidget* host = hostFor(view_); host != parentWidget())
        setParent(host);
    setGeometry(ringIn(view_, parentWidget()) & parentWidget()->rect());
    // Only the band the ring takes: the text under it repaints no ring.
    const int band = int(ringWidth) + 1;
    setMask(QRegion(rect()) - QRegion(rect().adjusted(band, band, -band, -band)));
    raise();
    show();
}

void TextFocusRing::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    RoundedShape::strokeInside(painter, QRectF(rect()), ringRadius,
                               TavlinTheme::focusColor.resolve(ThemeAppearance::of(this)), ringWidth);
}

} // namespace tavlin
