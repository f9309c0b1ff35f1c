#include "StatusItem.h"

#include "Log.h"
#include "TavlinBrandAssets.h"

#include <QCoreApplication>
#include <QCursor>
#include <QKeySequence>
#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>
#include <QSystemTrayIcon>

namespace tavlin {

StatusItem::StatusItem(Actions actions, QObject* parent) : QObject(parent), actions_(std::move(actions)) {}

StatusItem::~StatusItem()
{
    remove();
}

QIcon StatusItem::icon()
{
    QIcon icon;
    for (const int size : {16, 22, 24, 32, 44, 48, 64}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        TavlinBrandAssets::menuBarGhost().render(&painter, QRectF(0, 0, size, size));
        icon.addPixmap(pixmap);
    }
    icon.setIsMask(true);
    return icon;
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
    if (!QSystemTrayIcon::isSystemTrayAvailable())
        Log::error(QStringLiteral("This desktop shows no tray: launch Tavlin again to open its history window"));
    tray_ = new QSystemTrayIcon(icon(), this);
    tray_->setToolTip(QStringLiteral("Tavlin"));
    menu_ = makeMenu(actions_, this);
    connect(menu_, &QMenu::aboutToShow, this, &StatusItem::menuTrackingBegan);
    connect(menu_, &QMenu::aboutToHide, this, &StatusItem::menuTrackingEnded);
    connect(tray_, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        switch (reason) {
        case QSystemTrayIcon::Trigger:
        case QSystemTrayIcon::DoubleClick: // two quick clicks are two toggles, not a gesture of their own
            Q_EMIT leftClicked();
            break;
        case QSystemTrayIcon::Context:
            menu_->popup(QCursor::pos());
            break;
        default:
            break;
        }
    });
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
