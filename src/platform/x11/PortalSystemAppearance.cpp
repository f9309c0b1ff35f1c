#include "PortalSystemAppearance.h"

#include "Publish.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QEvent>
#include <QGuiApplication>
#include <QPalette>

namespace tavlin {

namespace {

const QString portalService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString portalPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString settingsInterface = QStringLiteral("org.freedesktop.portal.Settings");

const QString appearanceGroup = QStringLiteral("org.freedesktop.appearance");
const QString gnomeInterfaceGroup = QStringLiteral("org.gnome.desktop.interface");
const QString kdeGroup = QStringLiteral("org.kde.kdeglobals.KDE");

using SettingsMap = QMap<QString, QVariantMap>;

QVariant unwrapped(QVariant value)
{
    while (value.metaType() == QMetaType::fromType<QDBusVariant>())
        value = value.value<QDBusVariant>().variant();
    return value;
}

std::optional<uint> asUnsigned(const QVariant& value)
{
    bool ok = false;
    const uint number = value.toUInt(&ok);
    return ok ? std::optional(number) : std::nullopt;
}

} // namespace

PortalSystemAppearance::PortalSystemAppearance(QObject* parent) : SystemAppearance(parent)
{
    dark_ = paletteIsDark();
    qDBusRegisterMetaType<SettingsMap>();
    if (qGuiApp)
        qGuiApp->installEventFilter(this);
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    bus.connect(portalService, portalPath, settingsInterface, QStringLiteral("SettingChanged"), this,
                SLOT(onSettingChanged(QString, QString, QDBusVariant)));
    readAll();
}

bool PortalSystemAppearance::isDark() const
{
    return dark_;
}
bool PortalSystemAppearance::increasedContrast() const
{
    return increasedContrast_;
}
bool PortalSystemAppearance::reduceMotion() const
{
    return reduceMotion_;
}

void PortalSystemAppearance::readAll()
{
    QDBusMessage call = QDBusMessage::createMethodCall(portalService, portalPath, settingsInterface,
                                                       QStringLiteral("ReadAll"));
    call << QStringList{appearanceGroup, gnomeInterfaceGroup, kdeGroup};
    // Asynchronous: a missing or slow portal must never hold up the first window.
    auto* watcher = new QDBusPendingCallWatcher(QDBusConnection::sessionBus().asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* finished) {
        finished->deleteLater();
        QDBusPendingReply<SettingsMap> reply = *finished;
        if (reply.isError())
            return;
        const SettingsMap settings = reply.value();
        for (auto group = settings.begin(); group != settings.end(); ++group) {
            for (auto entry = group->begin(); entry != group->end(); ++entry)
                applySetting(group.key(), entry.key(), entry.value());
        }
    });
}

void PortalSystemAppearance::onSettingChanged(const QString& group, const QString& key, const QDBusVariant& value)
{
    applySetting(group, key, value.variant());
}

void PortalSystemAppearance::applySetting(const QString& group, const QString& key, const QVariant& wrapped)
{
    const QVariant value = unwrapped(wrapped);
    if (group == appearanceGroup && key == QLatin1String("color-scheme")) {
        // 1 prefers dark, 2 prefers light, 0 states no preference.
        const std::optional<uint> scheme = asUnsigned(value);
        setDark(scheme == 1u ? std::optional(true) : scheme == 2u ? std::optional(false) : std::nullopt);
    } else if (group == appearanceGroup && key == QLatin1String("contrast")) {
        setIncreasedContrast(asUnsigned(value) == 1u);
    } else if (group == gnomeInterfaceGroup && key == QLatin1String("enable-animations")) {
        if (value.metaType() == QMetaType::fromType<bool>())
            setReduceMotion(!value.toBool());
    } else if (group == kdeGroup && key == QLatin1String("AnimationDurationFactor")) {
        bool ok = false;
        const double factor = value.toDouble(&ok);
        if (ok)
            setReduceMotion(factor == 0.0);
    }
}

bool PortalSystemAppearance::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == qGuiApp && event->type() == QEvent::ApplicationPaletteChange && !portalDark_)
        setDark(std::nullopt);
    return false;
}

bool PortalSystemAppearance::paletteIsDark() const
{
    if (!qGuiApp)
        return false;
    const QPalette palette = QGuiApplication::palette();
    return palette.color(QPalette::Window).lightness() < palette.color(QPalette::WindowText).lightness();
}

void PortalSystemAppearance::setDark(std::optional<bool> portalDark)
{
    portalDark_ = portalDark;
    const bool dark = portalDark.value_or(paletteIsDark());
    publish(this, dark_, dark, &PortalSystemAppearance::isDarkChanged);
}

void PortalSystemAppearance::setIncreasedContrast(bool on)
{
    publish(this, increasedContrast_, on, &PortalSystemAppearance::increasedContrastChanged);
}

void PortalSystemAppearance::setReduceMotion(bool on)
{
    publish(this, reduceMotion_, on, &PortalSystemAppearance::reduceMotionChanged);
}

} // namespace tavlin
