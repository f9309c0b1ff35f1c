#include "ExcludedApplicationRow.h"

#include "ElidedLabel.h"
#include "KeyboardFocus.h"
#include "RoundedShape.h"
#include "SettingsSymbol.h"
#include "SymbolIcon.h"
#include "SystemFont.h"
#include "TavlinTheme.h"
#include "ThemeAppearance.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QPainter>
#include <QToolButton>

namespace tavlin {

namespace {

class ApplicationImage : public QWidget {
public:
    explicit ApplicationImage(std::shared_ptr<const SourceApplicationIcon::Value> value) : value_(std::move(value))
    {
        setFixedSize(20, 20);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
        value_->paint(painter, rect(), TavlinTheme::secondaryText.resolve(ThemeAppearance::of(this)));
    }

private:
    std::shared_ptr<const SourceApplicationIcon::Value> value_;
};

class RemoveButton : public QToolButton {
public:
    using QToolButton::QToolButton;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const Appearance appearance = ThemeAppearance::of(this);
        QColor color = TavlinTheme::secondaryText.resolve(appearance);
        if (isDown())
            color = TavlinTheme::primaryText.resolve(appearance);
        SymbolIcon::paint(painter, QStringLiteral("minus.circle"), QRectF(rect()).adjusted(2, 2, -2, -2), color);
        if (KeyboardFocus::showsRing(this))
            RoundedShape::strokeInside(painter, QRectF(rect()), width() / 2.0, TavlinTheme::brandAccent.resolve(appearance), 2);
    }
};

} // namespace

std::shared_ptr<const SourceApplicationIcon::Value> ExcludedApplicationRow::application(const QString& bundleID)
{
    std::shared_ptr<const SourceApplicationIcon::Value> value = SourceApplicationIcon::resolve(bundleID, ClipKind::other);
    return value->isFallback() ? nullptr : value;
}

QString ExcludedApplicationRow::displayName(const QString& bundleID)
{
    const auto found = application(bundleID);
    return found ? found->name : bundleID;
}

ExcludedApplicationRow::ExcludedApplicationRow(const QString& bundleID, std::function<void()> onRemove, QWidget* parent)
    : QWidget(parent)
{
    setMinimumHeight(50);
    const auto found = application(bundleID);
    const QString name = found ? found->name : bundleID;
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(16, 4, 16, 4);
    layout->setSpacing(12);
    if (found && !found->image.isNull()) {
        layout->addWidget(new ApplicationImage(found));
    } else { // not installed, or installed without an icon
        auto* placeholder = new SettingsSymbol(QStringLiteral("app.dashed"), 15, QSize(20, 20));
        placeholder->setColor(TavlinTheme::secondaryText);
        layout->addWidget(placeholder);
    }
    auto* text = new QWidget();
    text->setToolTip(bundleID);
    auto* lines = new QVBoxLayout(text);
    lines->setContentsMargins(0, 0, 0, 0);
    lines->setSpacing(1);
    lines->addWidget(new ElidedLabel(name, SystemFont::regular(13, QFont::Medium), TavlinTheme::primaryText, Qt::ElideRight));
    const QString second = found ? bundleID : QCoreApplication::translate("Tavlin", "Not found on this computer");
    lines->addWidget(new ElidedLabel(second, SystemFont::regular(11), TavlinTheme::secondaryText, Qt::ElideMiddle));
    layout->addWidget(text, 1);

    auto* remove = new RemoveButton();
    remove->setObjectName(QStringLiteral("remove-exclusion-") + bundleID);
    remove->setFixedSize(22, 22);
    remove->setCursor(Qt::PointingHandCursor);
    remove->setToolTip(QCoreApplication::translate("Tavlin", "Remove from Exclusions"));
    remove->setAccessibleName(QCoreApplication::translate("Tavlin", "Remove %1 from exclusions").arg(name));
    remove->setFocusPolicy(Qt::TabFocus);
    KeyboardFocus::track(remove);
    connect(remove, &QToolButton::clicked, this, [onRemove = std::move(onRemove)] { onRemove(); });
    layout->addWidget(remove);
}

} // namespace tavlin
