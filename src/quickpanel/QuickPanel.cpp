#include "QuickPanel.h"

#include "AssistiveRoles.h"
#include "QuickPanelMotion.h"
#include "QuickSearchField.h"
#include "TavlinTheme.h"
#include "ThemeAppearance.h"

#include <QApplication>
#include <QGraphicsEffect>
#include <QKeyEvent>
#include <QPainter>
#include <QWindow>

namespace tavlin {

namespace {

// The panel's outline, above its content: with no compositor there is no shadow to set a light
// panel off a window as white as itself.
class PanelEdge : public QWidget {
public:
    PanelEdge(QuickPanel* panel, QuickPanelMotion& motion) : QWidget(panel), motion_(motion)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        const QPainterPath path = motion_.silhouette(size()).path();
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        // Clipped to the outline, a stroke twice as wide leaves its inner half: one pixel inside.
        painter.setClipPath(path);
        const Appearance appearance = ThemeAppearance::of(static_cast<QuickPanel*>(parentWidget())->content());
        painter.strokePath(path, QPen(TavlinTheme::panelEdge.resolve(appearance), 2));
    }

private:
    QuickPanelMotion& motion_;
};

} // namespace

// Fades the content, and shrinks it about its top centre where the panel is smaller than it.
class PanelContentEffect : public QGraphicsEffect {
public:
    using QGraphicsEffect::QGraphicsEffect;

    void set(qreal opacity, qreal scale)
    {
        if (opacity == opacity_ && scale == scale_)
            return;
        opacity_ = opacity;
        scale_ = scale;
        // Drawn directly, through no pixmap, while it does nothing.
        setEnabled(opacity_ < 1 || scale_ < 1);
        update();
    }

protected:
    void draw(QPainter* painter) override
    {
        QPoint offset;
        const QPixmap pixmap = sourcePixmap(Qt::LogicalCoordinates, &offset, QGraphicsEffect::NoPad);
        if (pixmap.isNull())
            return;
        const QRectF bounds = sourceBoundingRect(Qt::LogicalCoordinates);
        painter->save();
        painter->setOpacity(painter->opacity() * opacity_);
        painter->setRenderHint(QPainter::SmoothPixmapTransform);
        painter->translate(bounds.center().x(), bounds.top());
        painter->scale(scale_, scale_);
        painter->translate(-bounds.center().x(), -bounds.top());
        painter->drawPixmap(offset, pixmap);
        painter->restore();
    }

private:
    qreal opacity_ = 1;
    qreal scale_ = 1;
};

QuickPanel::QuickPanel(QuickPanelMotion& motion, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint), motion_(motion)
{
    AssistiveRoles::markWindow(this);
    setObjectName(QStringLiteral("quick-panel"));
    setWindowTitle(tr("Tavlin Quick Panel"));
    setAttribute(Qt::WA_TranslucentBackground);
    resize(420, 310);
    connect(&motion, &QuickPanelMotion::changed, this, &QuickPanel::follow);
}

void QuickPanel::setContent(QWidget* content)
{
    content_ = content;
    content_->setParent(this);
    effect_ = new PanelContentEffect(content_);
    effect_->setEnabled(false);
    content_->setGraphicsEffect(effect_);
    edge_ = new PanelEdge(this, motion_);
    edge_->setGeometry(rect());
    edge_->show();
    resizeEvent(nullptr);
}

void QuickPanel::setCompositing(bool compositing)
{
    compositing_ = compositing;
    setAttribute(Qt::WA_TranslucentBackground, compositing);
    follow();
}

void QuickPanel::setIgnoresMouseEvents(bool ignores)
{
    ignoresMouseEvents_ = ignores;
    // Through the desktop's input shape: Qt's WindowTransparentForInput would also drop the keys
    // typed while the panel opens.
    Q_EMIT clickThroughChanged(ignores);
}

qreal QuickPanel::contentScale() const
{
    return std::min({qreal(width()) / designSize.width(), qreal(height()) / designSize.height(), qreal(1)});
}

QTransform QuickPanel::panelToContent() const
{
    const qreal scale = contentScale();
    // The effect shrinks the content about its own top centre.
    const qreal centre = content_ ? content_->x() + content_->width() / 2.0 : width() / 2.0;
    QTransform transform;
    if (content_)
        transform.translate(-content_->x(), -content_->y());
    transform.translate(centre, 0);
    transform.scale(1 / scale, 1 / scale);
    transform.translate(-centre, 0);
    return transform;
}

void QuickPanel::resizeEvent(QResizeEvent*)
{
    // Shrunk, the content keeps its design size, its top centre on the panel's.
    if (content_)
        content_->setGeometry(contentScale() < 1 ? QRect(QPoint((width() - designSize.width()) / 2, 0), designSize)
                                                 : rect());
    if (edge_)
        edge_->setGeometry(rect());
    follow();
}

void QuickPanel::follow()
{
    const QuickPanelMotion::Silhouette shape = motion_.silhouette(size());
    const bool settled = shape.x == 0 && shape.y == 0 && shape.width >= width() && shape.height >= height();
    // An empty mask is no mask at all: a strip grown to nothing yet keeps one pixel of the surface.
    QRegion outline(shape.path().toFillPolygon().toPolygon());
    if (outline.isEmpty())
        outline = QRegion(qRound(shape.x), qRound(shape.y), 1, 1);
    if (!compositing_) {
        // A hard-edged cut-out, no fades.
        setMask(outline);
    } else {
        clearMask();
        setWindowOpacity(shape.surfaceOpacity);
    }
    if (effect_)
        effect_->set(compositing_ ? shape.contentOpacity : 1, contentScale());
    // The content never spills out of a growing outline, also in the frame the window manager
    // shows before the window's own cut-out reaches it.
    if (content_) {
        if (settled)
            content_->clearMask();
        else
            content_->setMask(panelToContent().map(outline));
    }
    update();
    if (edge_)
        edge_->update();
}

void QuickPanel::paintEvent(QPaintEvent*)
{
    const QuickPanelMotion::Silhouette shape = motion_.silhouette(size());
    const Appearance appearance = ThemeAppearance::of(content_ ? content_ : this);
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.fillRect(rect(), Qt::transparent);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    const QPainterPath path = shape.path();
    painter.fillPath(path, TavlinTheme::contentSurface.resolve(appearance));
    if (shape.notchShade > 0)
        painter.fillPath(path, QColor(0, 0, 0, qRound(255 * shape.notchShade)));
}

void QuickPanel::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (QWindow* window = windowHandle())
        window->installEventFilter(this);
}

bool QuickPanel::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != windowHandle() || !content_ || contentScale() >= 1)
        return QWidget::eventFilter(watched, event);
    // The pointer meets the shrunk content where it is seen. Its layout reaches past the panel's
    // edges, where the window finds no widget: the event goes to the content's widget under the
    // point (or the one pressed, until the buttons are up) at its place in that layout.
    if (event->type() != QEvent::MouseButtonPress && event->type() != QEvent::MouseButtonDblClick
        && event->type() != QEvent::MouseButtonRelease && event->type() != QEvent::MouseMove
        && event->type() != QEvent::Wheel)
        return QWidget::eventFilter(watched, event);
    const QPointF at = panelToContent().map(static_cast<QSinglePointEvent*>(event)->position());
    const auto deliver = [&](QWidget* target, QEvent& copy) {
        QCoreApplication::sendEvent(target, &copy);
        event->setAccepted(copy.isAccepted());
        return true;
    };
    const auto under = [&] {
        QWidget* target = content_->childAt(at.toPoint());
        return target ? target : content_;
    };
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseMove: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        const bool pressing = mouse->type() == QEvent::MouseButtonPress || mouse->type() == QEvent::MouseButtonDblClick;
        QWidget* target = !pressing && pressed_ ? pressed_.data() : under();
        if (pressing)
            pressed_ = target;
        else if (mouse->buttons() == Qt::NoButton)
            pressed_ = nullptr;
        const QPointF local = target->mapFrom(content_, at);
        QMouseEvent copy(mouse->type(), local, at + QPointF(content_->pos()), mouse->globalPosition(), mouse->button(),
                         mouse->buttons(), mouse->modifiers(), mouse->pointingDevice());
        copy.setTimestamp(mouse->timestamp());
        return deliver(target, copy);
    }
    default: {
        const auto* wheel = static_cast<QWheelEvent*>(event);
        QWidget* target = under();
        QWheelEvent copy(target->mapFrom(content_, at), wheel->globalPosition(), wheel->pixelDelta(),
                         wheel->angleDelta(), wheel->buttons(), wheel->modifiers(), wheel->phase(), wheel->inverted(),
                         wheel->source(), wheel->pointingDevice());
        copy.setTimestamp(wheel->timestamp());
        return deliver(target, copy);
    }
    }
}

void QuickPanel::keyPressEvent(QKeyEvent* event)
{
    const auto* field = qobject_cast<const QuickSearchField*>(focusWidget());
    const std::optional<QuickPanelCommand> mapped = QuickSearchField::commandFor(event->key(), event->modifiers());
    if ((!field || !field->isComposing())
        && (mapped == QuickPanelCommand::cancel || mapped == QuickPanelCommand::history)) {
        Q_EMIT commandRequested(*mapped);
        return;
    }
    QWidget::keyPressEvent(event);
}

} // namespace tavlin
