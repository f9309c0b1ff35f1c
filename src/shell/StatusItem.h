#pragma once

#include <QColor>
#include <QIcon>
#include <QObject>

#include <functional>
#include <optional>

class QMenu;
class QPalette;
class QSystemTrayIcon;

namespace tavlin {

class SystemAppearance;
class SystemTray;
class TrayColors;

// The tray item: the mascot's silhouette with the tooltip "Tavlin". A left click asks to toggle
// the history window; a right click opens the status menu, placed by the tray. It follows trays
// as they come and go, and tells when the desktop has none to show it in.
class StatusItem : public QObject {
    Q_OBJECT

public:
    struct Actions {
        std::function<void()> showHistory;
        std::function<void()> showSettings;
        std::function<void()> quit;
    };

    StatusItem(Actions actions, TrayColors& trayColors, SystemTray& systemTray, SystemAppearance& appearance,
               QObject* parent = nullptr);
    ~StatusItem() override;

    // Creates the item once; later calls do nothing.
    void install();
    void remove();
    bool isInstalled() const { return tray_ != nullptr; }
    // Whether the icon has a tray to be seen in (known once installed).
    bool isShown() const;
    QMenu* menu() const { return menu_; }
    // The icon the tray shows now; null before install().
    QIcon currentIcon() const;

    // The colour the silhouette is drawn in. A tray that embeds icons paints no mask in its own
    // colours, so the ink is the tray's stated foreground, else light on a dark desktop, else the
    // palette's text colour.
    static QColor ink(std::optional<quint32> trayForeground, bool darkDesktop, const QPalette& palette);
    // The silhouette in one colour, with an outline in another where given.
    static QIcon icon(const QColor& ink, const std::optional<QColor>& outline = std::nullopt);
    // The status menu: "Show Tavlin", "Settings…", "Quit Tavlin".
    static QMenu* makeMenu(const Actions& actions, QObject* owner);

Q_SIGNALS:
    void leftClicked();
    // The menu opened or closed: while it is open, the history window stays.
    void menuTrackingBegan();
    void menuTrackingEnded();
    // A tray came or went while installed.
    void shownChanged(bool shown);

private:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void redraw();
    void trayAvailabilityChanged();

    Actions actions_;
    TrayColors& trayColors_;
    SystemTray& systemTray_;
    SystemAppearance& appearance_;
    // A tray Qt reaches other than by XEmbed (a StatusNotifier host on D-Bus), which it keeps
    // using whatever XEmbed trays do.
    bool otherTray_ = false;
    bool shown_ = false;
    QSystemTrayIcon* tray_ = nullptr;
    QMenu* menu_ = nullptr;
};

} // namespace tavlin
