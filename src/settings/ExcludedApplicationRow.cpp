#include "ExcludedApplicationRow.h"

#include "ButtonLook.h"
#include "ElidedLabel.h"
#include "SettingsSymbol.h"
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

} // namespace

std::shared_ptr<const SourceApplicationIcon::Value> ExcludedApplicationRow::application(
    const SourceApplicationIcon& sources, const QString& bundleID)
{
    std::shared_ptr<const SourceApplicationIcon::Value> value = sources.resolve(bundleID, ClipKind::other);
    return value->isFallback() ? nullptr : value;
}

QString ExcludedApplicationRow::displayName(const SourceApplicationIcon& sources, const QString& bundleID)
{
    const auto found = application(sources, bundleID);
    return found ? found->name : bundleID;
}

ExcludedApplicationRow::ExcludedApplicationRow(const SourceApplicationIcon& sources, const QString& bundleID,
                                               std::function<void()> onRemove, QWidget* parent)
    : QWidget(parent)
{
    setMinimumHeight(50);
    const auto found = application(sources, bundleID);
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
    lines->addWidget(
        new ElidedLabel(name, SystemFont::regular(13, QFont::Medium), TavlinTheme::primaryText, Qt::ElideRight));
    const QString second = found ? bundleID : QCoreApplication::translate("Tavlin", "Not found on this computer");
    lines->addWidget(new ElidedLabel(second, SystemFont::regular(11), TavlinTheme::secondaryText, Qt::ElideMiddle));
    layout->addWidget(text, 1);

    auto* remove = ButtonLook::symbolButton(QStringLiteral("minus.circle"), 22, 18,
                                            QCoreApplication::translate("Tavlin", "Remove from Exclusions"));
    ButtonLook::change(remove, [](ButtonLook& look) { look.ink = TavlinTheme::secondaryText; });
    remove->setObjectName(QStringLiteral("remove-exclusion-") + bundleID);
    remove->setAccessibleName(QCoreApplication::translate("Tavlin", "Remove %1 from exclusions").arg(name));
    connect(remove, &QToolButton::clicked, this, [onRemove = std::move(onRemove)] { onRemove(); });
    layout->addWidget(remove);
}

} // namespace tavlin
