#include "QuickPanel.h"

#include "AssistiveRoles.h"
#include "QuickPanelMotion.h"
#include "QuickSearchField.h"
#include "TavlinTheme.h"
#include "ThemeAppearance.h"

#include <QGraphicsOpacityEffect>
#include <QKeyEvent>
#include <QPainter>

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
    content_->setGeometry(rect());
    fade_ = new QGraphicsOpacityEffect(content_);
    fade_->setEnabled(false);
    content_->setGraphicsEffect(fade_);
    edge_ = new PanelEdge(this, motion_);
    edge_->setGeometry(rect());
    edge_->show();
    follow();
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

void QuickPanel::resizeEvent(QResizeEvent*)
{
    if (content_)
        content_->setGeometry(rect());
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
        if (fade_)
            fade_->setEnabled(false);
    } else {
        clearMask();
        setWindowOpacity(shape.surfaceOpacity);
        if (fade_) {
            fade_->setOpacity(shape.contentOpacity);
            fade_->setEnabled(shape.contentOpacity < 1);
        }
    }
    // The content never spills out of a growing outline, also in the frame the window manager
    // shows before the window's own cut-out reaches it.
    if (content_) {
        if (settled)
            content_->clearMask();
        else
            content_->setMask(outline);
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
