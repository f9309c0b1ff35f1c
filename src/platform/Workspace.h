#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QUrl>

#include <optional>

namespace tavlin {

// An installed application, as its desktop entry describes it.
struct ApplicationInfo {
    // The application identifier (see Workspace).
    QString id;
    // Display name in the running interface language (the entry's Name).
    QString name;
    // The entry's Icon: a theme icon name, or an absolute file path. May be empty.
    QString iconName;
    // The .desktop file it was found in.
    QString desktopFilePath;

    bool operator==(const ApplicationInfo&) const = default;
};

// The desktop's applications: which one is frontmost, what is installed; and its file manager.
//
// An application is identified by a bundle-identifier-like string that every application has and
// that the exclusion list accepts: its desktop-file id where that is already reverse-DNS
// ("org.gnome.Nautilus", "com.bitwarden.desktop"); otherwise the desktop-file id with every
// character other than an ASCII letter, digit, '-' or '.' turned into '-', empty dot-separated
// pieces dropped, and ".desktop" appended ("firefox" -> "firefox.desktop", "firefox_firefox" ->
// "firefox-firefox.desktop"). See applicationIDForDesktopID. Main thread.
class Workspace : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    // This application's own identifier.
    static QString ownApplicationID() { return QStringLiteral("org.tavlin.Tavlin"); }

    // The identifier for a desktop-file id (the entry's file name without ".desktop", with
    // subfolders of an applications folder joined by '-'); empty only for an empty id.
    static QString applicationIDForDesktopID(const QString& desktopID);

    // What frontmostApplicationID() answers when the application cannot be told: the user
    // switched windows more than once while this thread was busy. A copy made then is not kept.
    static QString unknownApplicationID() { return QString(); }

    // The identifier of the application whose window is active; nothing when no window is.
    virtual std::optional<QString> frontmostApplicationID() const = 0;
    // The installed application with that identifier.
    virtual std::optional<ApplicationInfo> application(const QString& id) const = 0;
    // The identifier of the application a chosen .desktop file describes; nothing when the file
    // is not a readable desktop entry of an application.
    virtual std::optional<QString> applicationID(const QString& desktopFilePath) const = 0;
    // Shows the files selected in the desktop's file manager, or else opens the folder of the
    // first. Asynchronous; a failure is not reported.
    virtual void showItems(const QList<QUrl>& files) const = 0;
    // The applications a user can start: desktop entries of type Application that are not hidden.
    virtual QList<ApplicationInfo> installedApplications() const = 0;
};

} // namespace tavlin
