#pragma once

#include <QIcon>
#include <QObject>

#include <functional>

class QMenu;
class QSystemTrayIcon;

namespace tavlin {

// The tray item: the mascot's silhouette with the tooltip "Tavlin". A left click asks to toggle
// the history window; a right click opens the status menu. Where the desktop has no tray, it
// says so once in the log (launching Tavlin again then opens the history window).
class StatusItem : public QObject {
    Q_OBJECT

public:
    struct Actions {
        std::function<void()> showHistory;
        std::function<void()> showSettings;
        std::function<void()> quit;
    };

    explicit StatusItem(Actions actions, QObject* parent = nullptr);
    ~StatusItem() override;

    // Creates the item once; later calls do nothing.
    void install();
    void remove();
    bool isInstalled() const { return tray_ != nullptr; }
    QMenu* menu() const { return menu_; }

    // The monochrome mascot, as an icon the desktop may tint.
    static QIcon icon();
    // The status menu: "Show Tavlin", "Settings…", "Quit Tavlin".
    static QMenu* makeMenu(const Actions& actions, QObject* owner);

Q_SIGNALS:
    void leftClicked();
    // The menu opened or closed: while it is open, the history window stays.
    void menuTrackingBegan();
    void menuTrackingEnded();

private:
    Actions actions_;
    QSystemTrayIcon* tray_ = nullptr;
    QMenu* menu_ = nullptr;
};

} // namespace tavlin
