#include "OnboardingDemo.h"

#include "RoundedShape.h"
#include "SymbolIcon.h"
#include "SystemFont.h"
#include "TavlinBrandAssets.h"
#include "TavlinTheme.h"
#include "ThemeAppearance.h"

#include <QCoreApplication>
#include <QFontMetricsF>
#include <QPainter>
#include <QSvgRenderer>

namespace tavlin {

namespace {

struct Item {
    QString symbol;
    QString title;
    QString detail;
    QString source;
    bool monospaced = false;
    bool image = false;
};

QList<Item> sampleItems()
{
    return {
        {QStringLiteral("text.alignleft"), QCoreApplication::translate("Onboarding", "Weekend ideas"),
         QCoreApplication::translate("Onboarding", "A walk, coffee and a new book"),
         QCoreApplication::translate("Onboarding", "Text Editor")},
        {QStringLiteral("link"), QStringLiteral("tavlin.org"), QStringLiteral("https://tavlin.org"),
         QStringLiteral("Firefox")},
        {QStringLiteral("chevron.left.forwardslash.chevron.right"), QStringLiteral("ghost=$(tavlin --last)"),
         QStringLiteral("Bash"), QCoreApplication::translate("Onboarding", "Terminal"), true},
        {QStringLiteral("photo"), QCoreApplication::translate("Onboarding", "Screenshot"), QStringLiteral("1280 × 800"),
         QCoreApplication::translate("Onboarding", "Image Viewer"), false, true},
    };
}

double mix(double a, double b, double t)
{
    return a + (b - a) * t;
}

QRectF mix(const QRectF& a, const QRectF& b, double t)
{
    return {mix(a.x(), b.x(), t), mix(a.y(), b.y(), t), mix(a.width(), b.width(), t), mix(a.height(), b.height(), t)};
}

void text(QPainter& painter, const QRectF& rect, const QString& value, const QFont& font, const QColor& color,
          Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter)
{
    painter.setFont(font);
    painter.setPen(color);
    painter.drawText(rect, alignment, QFontMetricsF(font).elidedText(value, Qt::ElideRight, rect.width()));
}

void icon(QPainter& painter, const Item& item, const QRectF& rect, const Appearance& appearance)
{
    if (item.image) {
        QLinearGradient gradient(rect.topLeft(), rect.bottomRight());
        gradient.setColorAt(0, TavlinTheme::sky.resolve(appearance));
        gradient.setColorAt(1, TavlinTheme::lilac.resolve(appearance));
        painter.setPen(Qt::NoPen);
        painter.setBrush(gradient);
        painter.drawPath(RoundedShape::path(rect, 4));
    } else {
        RoundedShape::fill(painter, rect, 4, TavlinTheme::elevatedSurface.resolve(appearance));
    }
    const double side = rect.width() * 0.48;
    const QColor color = (item.image ? TavlinTheme::graphite : TavlinTheme::brandAccent).resolve(appearance);
    SymbolIcon::paint(painter, item.symbol, QRectF(rect.center() - QPointF(side / 2, side / 2), QSizeF(side, side)),
                      color);
}

constexpr double sidebarWidth = 108;
constexpr double previewWidth = 146;
constexpr double pictureHeight = 138;

} // namespace

OnboardingDemo::OnboardingDemo(HistoryViewMode viewMode, bool showPreview, QWidget* parent)
    : QWidget(parent), viewMode_(viewMode), showPreview_(showPreview),
      cards_(viewMode == HistoryViewMode::cards ? 1 : 0), preview_(showPreview ? 1 : 0), cardsSpring_(0.38, 0.86),
      previewSpring_(0.38, 0.86)
{
    setFixedHeight(int(pictureHeight) + 6);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setAccessibleName(QCoreApplication::translate("Onboarding", "Tavlin interface example"));
    connect(&cardsSpring_, &SpringAnimation::valueChanged, this, [this](double value) {
        cards_ = value;
        update();
    });
    connect(&previewSpring_, &SpringAnimation::valueChanged, this, [this](double value) {
        preview_ = value;
        update();
    });
    describe();
}

QSize OnboardingDemo::sizeHint() const
{
    return {540, int(pictureHeight) + 6};
}

QString OnboardingDemo::valueText() const
{
    const QString mode = title(viewMode_);
    return showPreview_ ? QCoreApplication::translate("Onboarding", "%1, preview on").arg(mode)
                        : QCoreApplication::translate("Onboarding", "%1, preview off").arg(mode);
}

void OnboardingDemo::describe()
{
    setAccessibleDescription(valueText());
}

void OnboardingDemo::setViewMode(HistoryViewMode mode)
{
    if (mode == viewMode_)
        return;
    viewMode_ = mode;
    describe();
    moveTo(cardsSpring_, cards_, mode == HistoryViewMode::cards ? 1 : 0);
}

void OnboardingDemo::setShowPreview(bool show)
{
    if (show == showPreview_)
        return;
    showPreview_ = show;
    describe();
    moveTo(previewSpring_, preview_, show ? 1 : 0);
}

void OnboardingDemo::moveTo(SpringAnimation& spring, double& value, double target)
{
    spring.stop();
    if (!isVisible() || ThemeAppearance::reduceMotion(this)) {
        value = target;
        update();
        return;
    }
    spring.setRange(value, target);
    spring.start();
}

void OnboardingDemo::paintEvent(QPaintEvent*)
{
    const Appearance appearance = ThemeAppearance::of(this);
    const auto color = [&](const ThemeColor& themeColor) { return themeColor.resolve(appearance); };
    QPainter painter(this);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    const QRectF frame(0.5, 0.5, width() - 1.0, pictureHeight);
    RoundedShape::fill(painter, frame.translated(0, 3), 14, QColor(0, 0, 0, 13));
    RoundedShape::fill(painter, frame, 14, color(TavlinTheme::appBackground));
    painter.save();
    painter.setClipPath(RoundedShape::path(frame, 14));

    // The sidebar.
    const QRectF sidebar(frame.left(), frame.top(), sidebarWidth, frame.height());
    painter.fillRect(sidebar, color(TavlinTheme::sidebarBackground));
    const QRectF ghost(sidebar.left() + 10, sidebar.top() + 10, 18, 18);
    TavlinBrandAssets::mascot().render(&painter, ghost);
    text(painter, QRectF(ghost.right() + 5, ghost.top(), 70, 18), QStringLiteral("Tavlin"),
         SystemFont::regular(11, QFont::DemiBold), color(TavlinTheme::primaryText));
    const auto entry = [&](double y, const QString& title, const QString& symbol, bool selected) {
        const QRectF row(sidebar.left() + 10, y, sidebar.width() - 20, 20);
        if (selected)
            RoundedShape::fill(painter, row, 6, color(TavlinTheme::selectedBackground));
        SymbolIcon::paint(painter, symbol, QRectF(row.left() + 6, row.center().y() - 4.5, 9, 9),
                          color(TavlinTheme::brandAccent));
        text(painter, row.adjusted(20, 0, -4, 0), title, SystemFont::regular(10, QFont::Medium),
             color(TavlinTheme::primaryText));
    };
    entry(ghost.bottom() + 9, QCoreApplication::translate("Onboarding", "History"), QStringLiteral("clock"), true);
    entry(ghost.bottom() + 34, QCoreApplication::translate("Onboarding", "Favorites"), QStringLiteral("star"), false);

    // The preview pane slides in from the right edge.
    const double shownPreview = previewWidth * std::clamp(preview_, 0.0, 1.2);
    const QList<Item> items = sampleItems();
    if (preview_ > 0.001) {
        const QRectF pane(frame.right() - shownPreview, frame.top(), previewWidth, frame.height());
        painter.setOpacity(std::clamp(preview_, 0.0, 1.0));
        painter.fillRect(pane, color(TavlinTheme::contentSurface));
        painter.fillRect(QRectF(pane.left(), pane.top(), 0.5, pane.height()), color(TavlinTheme::border));
        const QRectF inner = pane.adjusted(10, 10, -10, -10);
        text(painter, QRectF(inner.left(), inner.top(), inner.width(), 12),
             QCoreApplication::translate("Onboarding", "Preview"), SystemFont::regular(9, QFont::Medium),
             color(TavlinTheme::secondaryText));
        text(painter, QRectF(inner.left(), inner.top() + 16, inner.width(), 16), items[0].title,
             SystemFont::regular(11, QFont::DemiBold), color(TavlinTheme::primaryText));
        painter.setFont(SystemFont::regular(10));
        painter.setPen(color(TavlinTheme::secondaryText));
        painter.drawText(QRectF(inner.left(), inner.top() + 36, inner.width(), 52), Qt::TextWordWrap,
                         QCoreApplication::translate(
                             "Onboarding", "A walk in the park, coffee with friends and a new book for the evening."));
        // At least 64 wide, and wide enough for its label in every language.
        const QString copyLabel = QCoreApplication::translate("Onboarding", "Copy");
        const QFont copyFont = SystemFont::regular(9, QFont::DemiBold);
        const qreal copyWidth = qMin(inner.width(),
                                     qMax<qreal>(64, QFontMetricsF(copyFont).horizontalAdvance(copyLabel) + 16));
        const QRectF copy(inner.left(), inner.bottom() - 18, copyWidth, 18);
        RoundedShape::fill(painter, copy, 9, color(TavlinTheme::copySurface));
        text(painter, copy, copyLabel, copyFont, color(TavlinTheme::copyText), Qt::AlignCenter);
        painter.setOpacity(1);
    }

    // The records, each between its place in the list and on the cards.
    const QRectF content = QRectF(sidebar.right(), frame.top(),
                                  frame.width() - sidebarWidth - std::max(0.0, shownPreview), frame.height())
                               .adjusted(10, 10, -10, -10);
    const double columnWidth = (content.width() - 6) / 2;
    for (int i = 0; i < items.size(); ++i) {
        const Item& item = items[i];
        const QRectF row(content.left(), content.top() + i * 30, content.width(), 26);
        const QRectF card(content.left() + (i % 2) * (columnWidth + 6), content.top() + (i / 2) * 62, columnWidth, 56);
        const QRectF place = mix(row, card, std::clamp(cards_, 0.0, 1.0));
        RoundedShape::fill(painter, place, mix(7, 9, cards_),
                           color(i == 0 ? TavlinTheme::selectedBackground : TavlinTheme::contentSurface));
        const QFont titleFont = item.monospaced ? SystemFont::monospaced(10) : SystemFont::regular(10, QFont::Medium);
        if (cards_ < 0.5) {
            painter.setOpacity(1 - 2 * cards_);
            icon(painter, item, QRectF(place.left() + 6, place.center().y() - 9, 18, 18), appearance);
            const QFont sourceFont = SystemFont::regular(9);
            // The source takes what the title leaves, and at least a third: a long Russian name
            // is cut only where the title needs the room.
            const double titleWidth = QFontMetricsF(titleFont).horizontalAdvance(item.title) + 1;
            const double room = std::max(place.width() / 3, place.width() - 41 - 8 - titleWidth);
            const double sourceWidth = std::min(QFontMetricsF(sourceFont).horizontalAdvance(item.source) + 1, room);
            text(painter, QRectF(place.right() - 6 - sourceWidth, place.top(), sourceWidth, place.height()),
                 item.source, sourceFont, color(TavlinTheme::secondaryText));
            text(painter, QRectF(place.left() + 31, place.top(), place.width() - 41 - sourceWidth, place.height()),
                 item.title, titleFont, color(TavlinTheme::primaryText));
        } else {
            painter.setOpacity(2 * cards_ - 1);
            const QRectF inner = place.adjusted(7, 7, -7, -7);
            icon(painter, item, QRectF(inner.left(), inner.top(), 16, 16), appearance);
            text(painter, QRectF(inner.left() + 21, inner.top(), inner.width() - 21, 16), item.source,
                 SystemFont::regular(9), color(TavlinTheme::secondaryText));
            text(painter, QRectF(inner.left(), inner.top() + 19, inner.width(), 14), item.title, titleFont,
                 color(TavlinTheme::primaryText));
            text(painter, QRectF(inner.left(), inner.top() + 33, inner.width(), 12), item.detail,
                 SystemFont::regular(9), color(TavlinTheme::secondaryText));
        }
        painter.setOpacity(1);
    }
    painter.restore();
    RoundedShape::strokeInside(painter, frame, 14, color(TavlinTheme::border), 0.5);
}

} // namespace tavlin
