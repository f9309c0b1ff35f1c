#include "SourceFilterPopover.h"

#include "AssistiveRoles.h"
#include "ElidedLabel.h"
#include "HistoryBrowser.h"
#include "HistoryControls.h"
#include "RoundedShape.h"
#include "SourceApplicationIcon.h"
#include "SymbolIcon.h"
#include "SystemFont.h"
#include "TavlinLanguage.h"
#include "TavlinTheme.h"
#include "ThemeAppearance.h"

#include <QCheckBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>

namespace tavlin {

SourceFilterPopover::SourceFilterPopover(HistoryBrowser& history, const SourceApplicationIcon& sources, QWidget* parent)
    : QWidget(parent, Qt::Popup | Qt::FramelessWindowHint), history_(history), sources_(sources)
{
    AssistiveRoles::markWindow(this);
    setObjectName(QStringLiteral("source-filter-popover"));
    setAccessibleName(tr("Apps"));
    // A press on the filter button that closes the popup must not reach the button and open it again.
    setAttribute(Qt::WA_NoMouseReplay);
    setAttribute(Qt::WA_TranslucentBackground);
    setFixedWidth(popoverWidth);
    setFont(SystemFont::regular(13));
    content_ = new QVBoxLayout(this);
    content_->setContentsMargins(14, 14, 14, 14);
    content_->setSpacing(12);
    connect(&history, &HistoryBrowser::sourceFilterChanged, this, &SourceFilterPopover::rebuild);
    connect(&history, &HistoryBrowser::availableSourcesChanged, this, &SourceFilterPopover::rebuild);
    rebuild();
}

void SourceFilterPopover::popup(QWidget* anchor)
{
    adjustSize();
    QPoint origin = anchor->mapToGlobal(QPoint(anchor->width() / 2 - popoverWidth / 2, anchor->height() + 6));
    if (const QScreen* screen = anchor->screen()) {
        const QRect available = screen->availableGeometry();
        origin.setX(qBound(available.left(), origin.x(), available.right() - popoverWidth));
    }
    move(origin);
    show();
    activateWindow();
}

QString SourceFilterPopover::sourceName(const std::optional<QString>& bundleID) const
{
    if (!bundleID)
        return tr("Unknown source");
    return sources_.resolve(bundleID, ClipKind::other)->name;
}

QIcon SourceFilterPopover::sourceImage(const std::optional<QString>& bundleID, const QColor& symbolColor) const
{
    if (!bundleID)
        return SymbolIcon::icon(QStringLiteral("questionmark.app"), symbolColor);
    const auto resolved = sources_.resolve(bundleID, ClipKind::other);
    return resolved->isFallback() || resolved->image.isNull() ? SymbolIcon::icon(QStringLiteral("app"), symbolColor)
                                                              : resolved->image;
}

qint64 SourceFilterPopover::selectedCount(const ClipSourceFilter& filter)
{
    switch (filter.kind) {
    case ClipSourceFilter::Case::all: return 0;
    case ClipSourceFilter::Case::unknown: return 1;
    case ClipSourceFilter::Case::application: return 1;
    case ClipSourceFilter::Case::selection: return filter.bundleIDs.size() + (filter.includesUnknown ? 1 : 0);
    }
    return 0;
}

bool SourceFilterPopover::isChecked(const ClipSourceFilter& filter, const std::optional<QString>& bundleID)
{
    switch (filter.kind) {
    case ClipSourceFilter::Case::all: return false;
    case ClipSourceFilter::Case::unknown: return !bundleID;
    case ClipSourceFilter::Case::application: return bundleID && *bundleID == filter.bundleID;
    case ClipSourceFilter::Case::selection:
        return bundleID ? filter.bundleIDs.contains(*bundleID) : filter.includesUnknown;
    }
    return false;
}

QString SourceFilterPopover::buttonText(const ClipSourceFilter& filter)
{
    const int count = int(selectedCount(filter));
    return count == 0 ? tr("All Apps") : tr("Apps: %n", nullptr, count);
}

void SourceFilterPopover::rebuild()
{
    while (QLayoutItem* item = content_->takeAt(0)) {
        // A row may be rebuilt from its own click: it leaves at once and goes later.
        const auto retire = [](QWidget* widget) {
            widget->hide();
            widget->setParent(nullptr);
            widget->deleteLater();
        };
        if (QWidget* widget = item->widget())
            retire(widget);
        else if (QLayout* layout = item->layout()) {
            while (QLayoutItem* inner = layout->takeAt(0)) {
                if (inner->widget())
                    retire(inner->widget());
                delete inner;
            }
        }
        delete item;
    }
    const Appearance appearance = ThemeAppearance::of(parentWidget());
    setPalette(ThemeAppearance::palette(appearance));
    const QColor secondary = TavlinTheme::secondaryText.resolve(appearance);
    const ClipSourceFilter& filter = history_.sourceFilter();
    const int selected = int(selectedCount(filter));

    auto* titleRow = new QHBoxLayout;
    auto* title = new QLabel(tr("Apps"));
    title->setFont(SystemFont::regular(13, QFont::DemiBold));
    auto* reset = new QPushButton(tr("Reset"));
    reset->setObjectName(QStringLiteral("source-filter-reset"));
    reset->setToolTip(tr("Show history from all apps"));
    reset->setAutoDefault(false);
    reset->setEnabled(!filter.isAll());
    connect(reset, &QPushButton::clicked, this, [this] { history_.setSourceFilter(ClipSourceFilter::all()); });
    titleRow->addWidget(title);
    titleRow->addStretch(1);
    titleRow->addWidget(reset);
    content_->addLayout(titleRow);

    auto* summary = new QLabel(selected == 0 ? tr("All Apps") : tr("Selected: %n", nullptr, selected));
    summary->setObjectName(QStringLiteral("source-filter-summary"));
    summary->setFont(SystemFont::regular(11));
    QPalette palette = summary->palette();
    palette.setColor(QPalette::WindowText, secondary);
    summary->setPalette(palette);
    content_->addWidget(summary);

    auto* divider = new QFrame;
    AssistiveRoles::markDecorative(divider);
    divider->setFrameShape(QFrame::HLine);
    divider->setFixedHeight(1);
    divider->setFrameShape(QFrame::NoFrame);
    divider->setAutoFillBackground(true);
    QPalette line = divider->palette();
    line.setColor(QPalette::Window, TavlinTheme::borderColor.resolve(appearance));
    divider->setPalette(line);
    content_->addWidget(divider);

    if (history_.availableSources().isEmpty()) {
        auto* empty = new QLabel(tr("No apps in history"));
        empty->setPalette(palette);
        empty->setContentsMargins(0, 8, 0, 8);
        content_->addWidget(empty);
        adjustSize();
        return;
    }
    auto* rows = new QWidget;
    auto* rowsLayout = new QVBoxLayout(rows);
    rowsLayout->setContentsMargins(0, 2, 0, 2);
    rowsLayout->setSpacing(10);
    for (const ClipSourceSummary& source : history_.availableSources()) {
        auto* row = new QWidget;
        auto* layout = new QHBoxLayout(row);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(8);
        auto* box = new QCheckBox;
        const bool checked = isChecked(filter, source.bundleID);
        box->setChecked(checked);
        box->setAccessibleName(sourceName(source.bundleID));
        box->setAccessibleDescription(tr("Records: %n", nullptr, int(source.count)));
        box->setToolTip(source.bundleID.value_or(tr("Unknown source")));
        connect(box, &QCheckBox::clicked, this, [this, id = source.bundleID, checked](bool requested) {
            if (requested != checked)
                history_.toggleSource(id);
        });
        auto* icon = new QLabel;
        AssistiveRoles::markDecorative(icon);
        icon->setPixmap(sourceImage(source.bundleID, secondary).pixmap(20, 20));
        icon->setFixedSize(20, 20);
        auto* name = new ElidedLabel(sourceName(source.bundleID), SystemFont::regular(13), TavlinTheme::primaryText,
                                     Qt::ElideMiddle);
        name->setToolTip(source.bundleID.value_or(tr("Unknown source")));
        auto* count = new QLabel(localizedCount(source.count));
        count->setPalette(palette);
        layout->addWidget(box);
        layout->addWidget(icon);
        layout->addWidget(name, 1);
        layout->addSpacing(4);
        layout->addWidget(count);
        rowsLayout->addWidget(row);
    }
    auto* scroll = new QScrollArea;
    scroll->setWidget(rows);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setFocusPolicy(Qt::NoFocus); // Tab goes from row to row; the area itself shows nothing
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    clearBackground(scroll);
    // The rows keep the popup's colours (their checkboxes need its base colour).
    rows->setPalette(QWidget::palette());
    scroll->setFixedHeight(qMin(280, rows->sizeHint().height()));
    content_->addWidget(scroll);
    adjustSize();
}

void SourceFilterPopover::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const Appearance appearance = ThemeAppearance::of(parentWidget());
    const QRectF shape = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    RoundedShape::fill(painter, shape, 12, TavlinTheme::surfaceColor.resolve(appearance));
    RoundedShape::strokeInside(painter, shape, 12, TavlinTheme::borderColor.resolve(appearance), 1);
}

} // namespace tavlin
