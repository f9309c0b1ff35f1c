#include "StatusItem.h"

#include "Log.h"
#include "SystemAppearance.h"
#include "SystemTray.h"
#include "TavlinBrandAssets.h"
#include "TrayColors.h"

#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QKeySequence>
#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>
#include <QSystemTrayIcon>

namespace tavlin {

StatusItem::StatusItem(Actions actions, TrayColors& trayColors, SystemTray& systemTray, SystemAppearance& appearance,
                       QObject* parent)
    : QObject(parent), actions_(std::move(actions)), trayColors_(trayColors), systemTray_(systemTray),
      appearance_(appearance)
{
    connect(&trayColors_, &TrayColors::foregroundChanged, this, &StatusItem::redraw);
    connect(&systemTray_, &SystemTray::availabilityChanged, this, &StatusItem::trayAvailabilityChanged);
    connect(&appearance_, &SystemAppearance::isDarkChanged, this, &StatusItem::redraw);
    qGuiApp->installEventFilter(this);
}

StatusItem::~StatusItem()
{
    remove();
}

QColor StatusItem::ink(std::optional<quint32> trayForeground, bool darkDesktop, const QPalette& palette)
{
    if (trayForeground)
        return QColor::fromRgb(QRgb(*trayForeground));
    return darkDesktop ? QColor(Qt::white) : palette.color(QPalette::WindowText);
}

QIcon StatusItem::icon(const QColor& ink, const std::optional<QColor>& outline)
{
    QIcon icon;
    for (const int size : {16, 22, 24, 32, 44, 48, 64}) {
        // An outline needs a pixel of room on every side.
        const QRectF area = outline ? QRectF(1, 1, size - 2, size - 2) : QRectF(0, 0, size, size);
        const auto silhouette = [&](const QColor& colour) {
            QPixmap pixmap(size, size);
            pixmap.fill(Qt::transparent);
            QPainter painter(&pixmap);
            TavlinBrandAssets::menuBarGhost().render(&painter, area);
            painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
            painter.fillRect(pixmap.rect(), colour);
            return pixmap;
        };
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        if (outline) {
            const QPixmap ring = silhouette(*outline);
            for (int dx = -1; dx <= 1; ++dx) {
                for (int dy = -1; dy <= 1; ++dy)
                    painter.drawPixmap(dx, dy, ring);
            }
        }
        painter.drawPixmap(0, 0, silhouette(ink));
        icon.addPixmap(pixmap);
    }
    return icon;
}

bool StatusItem::isShown() const
{
    return shown_;
}

void StatusItem::trayAvailabilityChanged()
{
    if (!tray_)
        return;
    // Qt itself moves the icon into a tray that comes.
    const bool shown = otherTray_ || systemTray_.isAvailable();
    if (shown == shown_)
        return;
    shown_ = shown;
    if (!shown)
        Log::error(QStringLiteral("The desktop's tray has gone: Tavlin shows its history window instead"));
    Q_EMIT shownChanged(shown);
}

QIcon StatusItem::currentIcon() const
{
    return tray_ ? tray_->icon() : QIcon();
}

void StatusItem::redraw()
{
    if (!tray_)
        return;
    const std::optional<quint32> foreground = trayColors_.foreground();
    const QColor colour = ink(foreground, appearance_.isDark(), QGuiApplication::palette());
    // A tray that states no colours tells nothing of the panel behind the icon either, and such
    // panels are often dark whatever the desktop's theme: an outline of the opposite lightness
    // keeps the mascot legible on any of them.
    const QColor opposite = colour.lightnessF() < 0.5 ? QColor(Qt::white) : QColor(Qt::black);
    tray_->setIcon(icon(colour, foreground ? std::nullopt : std::optional(opposite)));
}

bool StatusItem::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == qGuiApp && event->type() == QEvent::ApplicationPaletteChange)
        redraw();
    return false;
}

QMenu* StatusItem::makeMenu(const Actions& actions, QObject* owner)
{
    auto* menu = new QMenu();
    QObject::connect(owner, &QObject::destroyed, menu, &QObject::deleteLater);
    menu->setObjectName(QStringLiteral("status-menu"));
    menu->addAction(QCoreApplication::translate("Tavlin", "Show Tavlin"), owner, actions.showHistory);
    menu->addAction(QCoreApplication::translate("Tavlin", "Settings…"), QKeySequence(QStringLiteral("Ctrl+,")), owner,
                    actions.showSettings);
    menu->addSeparator();
    menu->addAction(QCoreApplication::translate("Tavlin", "Quit Tavlin"), QKeySequence(QStringLiteral("Ctrl+Q")), owner,
                    actions.quit);
    return menu;
}

void StatusItem::install()
{
    if (tray_)
        return;
    otherTray_ = !systemTray_.isAvailable() && QSystemTrayIcon::isSystemTrayAvailable();
    shown_ = otherTray_ || systemTray_.isAvailable();
    if (!shown_)
        Log::error(QStringLiteral("This desktop shows no tray: Tavlin shows its history window instead"));
    tray_ = new QSystemTrayIcon(this);
    tray_->setToolTip(QStringLiteral("Tavlin"));
    menu_ = makeMenu(actions_, this);
    connect(menu_, &QMenu::aboutToShow, this, &StatusItem::menuTrackingBegan);
    connect(menu_, &QMenu::aboutToHide, this, &StatusItem::menuTrackingEnded);
    // The tray places the menu at its icon.
    tray_->setContextMenu(menu_);
    connect(tray_, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        // Two quick clicks are two toggles, not a gesture of their own.
        if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick)
            Q_EMIT leftClicked();
    });
    redraw();
    tray_->show();
}

void StatusItem::remove()
{
    if (!tray_)
        return;
    tray_->hide();
    delete tray_;
    tray_ = nullptr;
    delete menu_;
    menu_ = nullptr;
}

} // namespace tavlin
