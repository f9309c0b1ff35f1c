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

// The icon of an installed application once it is decoded; the placeholder when it has none.
class ApplicationImage : public QWidget {
public:
    ApplicationImage(const SourceApplicationIcon& sources, const QString& bundleID)
        : sources_(sources), bundleID_(bundleID)
    {
        setFixedSize(20, 20);
        placeholder_ = placeholder(this);
        follow();
        connect(&sources, &SourceApplicationIcon::iconsArrived, this, &ApplicationImage::follow);
    }

    static QWidget* placeholder(QWidget* parent = nullptr)
    {
        auto* symbol = new SettingsSymbol(QStringLiteral("app.dashed"), 15, QSize(20, 20), parent);
        symbol->setColor(TavlinTheme::secondaryText);
        return symbol;
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        if (value_->image.isNull())
            return;
        QPainter painter(this);
        painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
        value_->paint(painter, rect(), TavlinTheme::secondaryText.resolve(ThemeAppearance::of(this)));
    }

private:
    void follow()
    {
        value_ = sources_.resolve(bundleID_, ClipKind::other);
        // Installed without an icon that can be shown: the kind's symbol is never the settings'.
        placeholder_->setVisible(value_->image.isNull() && !value_->symbol.isEmpty());
        update();
    }

    const SourceApplicationIcon& sources_;
    QString bundleID_;
    std::shared_ptr<const SourceApplicationIcon::Value> value_;
    QWidget* placeholder_ = nullptr;
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
    if (found)
        layout->addWidget(new ApplicationImage(sources, bundleID));
    else
        layout->addWidget(ApplicationImage::placeholder());
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
