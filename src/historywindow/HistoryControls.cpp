#include "HistoryControls.h"

#include <QEvent>
#include <QScrollArea>

#include <algorithm>

namespace tavlin {

void clearBackground(QAbstractScrollArea* area)
{
    for (QWidget* widget : {static_cast<QWidget*>(area), area->viewport()}) {
        widget->setAutoFillBackground(false);
        QPalette palette = widget->palette();
        palette.setColor(QPalette::Base, Qt::transparent);
        palette.setColor(QPalette::Window, Qt::transparent);
        widget->setPalette(palette);
    }
    if (auto* scroll = qobject_cast<QScrollArea*>(area); scroll && scroll->widget())
        scroll->widget()->setAutoFillBackground(false);
}

void setTextColor(QWidget* widget, const QColor& color)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, color);
    palette.setColor(QPalette::Text, color);
    widget->setPalette(palette);
}

QString sectionSymbol(HistorySection section)
{
    return section == HistorySection::favorites ? QStringLiteral("star") : QStringLiteral("clock.arrow.circlepath");
}

HeaderTitleLine::HeaderTitleLine(QWidget* heading, QWidget* search, QWidget* actions, QWidget* parent)
    : QWidget(parent), heading_(heading), search_(search), actions_(actions)
{
    for (QWidget* child : {heading, search, actions})
        child->setParent(this);
    QSizePolicy policy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
}

bool HeaderTitleLine::fitsWide(int width, int heading, int actions)
{
    return heading + searchWidth + actions + 3 * 16 <= width;
}

QSize HeaderTitleLine::sizeHint() const
{
    return {heading_->sizeHint().width() + searchWidth + actions_->sizeHint().width() + 48, heightForWidth(width())};
}

QSize HeaderTitleLine::minimumSizeHint() const
{
    return {heading_->minimumSizeHint().width() + actions_->sizeHint().width() + 4, heightForWidth(0)};
}

int HeaderTitleLine::heightForWidth(int width) const
{
    const int top = qMax(heading_->sizeHint().height(), actions_->sizeHint().height());
    if (fitsWide(width, heading_->sizeHint().width(), actions_->sizeHint().width()))
        return qMax(top, searchHeight);
    return top + 12 + searchHeight;
}

// A part that asks for another size (the heading given the next section's title) is placed anew,
// and the header around the line measures it again.
bool HeaderTitleLine::event(QEvent* event)
{
    if (event->type() == QEvent::LayoutRequest) {
        updateGeometry();
        arrange();
        return true;
    }
    return QWidget::event(event);
}

void HeaderTitleLine::resizeEvent(QResizeEvent*)
{
    arrange();
}

void HeaderTitleLine::arrange()
{
    const QSize heading = heading_->sizeHint();
    const QSize actions = actions_->sizeHint();
    wide_ = fitsWide(width(), heading.width(), actions.width());
    if (wide_) {
        const int line = std::max({heading.height(), actions.height(), int(searchHeight)});
        heading_->setGeometry(0, (line - heading.height()) / 2, heading.width(), heading.height());
        actions_->setGeometry(width() - actions.width(), (line - actions.height()) / 2, actions.width(),
                              actions.height());
        search_->setGeometry(width() - actions.width() - 16 - searchWidth, (line - searchHeight) / 2, searchWidth,
                             searchHeight);
        return;
    }
    const int top = qMax(heading.height(), actions.height());
    const int headingWidth = qMax(0, qMin(heading.width(), width() - actions.width() - 4));
    heading_->setGeometry(0, (top - heading.height()) / 2, headingWidth, heading.height());
    actions_->setGeometry(width() - actions.width(), (top - actions.height()) / 2, actions.width(), actions.height());
    search_->setGeometry(0, top + 12, width(), searchHeight);
}

} // namespace tavlin
