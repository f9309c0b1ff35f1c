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
class TrayColors;

// The tray item: the mascot's silhouette with the tooltip "Tavlin". A left click asks to toggle
// the history window; a right click opens the status menu, placed by the tray. Where the desktop
// has no tray, it says so once in the log (launching Tavlin again then opens the history window).
class StatusItem : public QObject {
    Q_OBJECT

public:
    struct Actions {
        std::function<void()> showHistory;
        std::function<void()> showSettings;
        std::function<void()> quit;
    };

    StatusItem(Actions actions, TrayColors& trayColors, SystemAppearance& appearance, QObject* parent = nullptr);
    ~StatusItem() override;

    // Creates the item once; later calls do nothing.
    void install();
    void remove();
    bool isInstalled() const { return tray_ != nullptr; }
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

private:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void redraw();

    Actions actions_;
    TrayColors& trayColors_;
    SystemAppearance& appearance_;
    QSystemTrayIcon* tray_ = nullptr;
    QMenu* menu_ = nullptr;
};

} // namespace tavlin
