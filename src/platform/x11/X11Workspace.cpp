#include "X11Workspace.h"

#include "DesktopFileManager.h"
#include "QtXcb.h"
#include "XcbConnection.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <cstdlib>
#include <cstring>

#include <unistd.h>

namespace tavlin {

X11Workspace::X11Workspace(QStringList applicationFolders, QObject* parent)
    : Workspace(parent), connection_(std::make_unique<XcbConnection>()), applications_(std::move(applicationFolders))
{
    // The records' sources and the first copy's application are looked up in them soon.
    applications_.prepare();
    xcb_connection_t* qt = QtXcb::connection();
    if (!qt || !connection_->isValid())
        return;
    activeWindowAtom_ = connection_->atom("_NET_ACTIVE_WINDOW");
    // Qt listens to the root window's properties already; add them to its mask if it ever stops,
    // keeping whatever else it asks for.
    const xcb_window_t root = connection_->root();
    if (xcb_get_window_attributes_reply_t* attributes = xcb_get_window_attributes_reply(
            qt, xcb_get_window_attributes(qt, root), nullptr)) {
        if (!(attributes->your_event_mask & XCB_EVENT_MASK_PROPERTY_CHANGE)) {
            const quint32 mask = attributes->your_event_mask | XCB_EVENT_MASK_PROPERTY_CHANGE;
            xcb_change_window_attributes(qt, root, XCB_CW_EVENT_MASK, &mask);
            xcb_flush(qt);
        }
        std::free(attributes);
    }
    // Our own connection hears of the switches too, as the server makes them, so that a read
    // can tell whether the user switched again since the switch being handled.
    const quint32 propertyChanges = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_change_window_attributes(connection_->get(), root, XCB_CW_EVENT_MASK, &propertyChanges);
    xcb_flush(connection_->get());
    QCoreApplication::instance()->installNativeEventFilter(this);
    filtering_ = true;
}

X11Workspace::~X11Workspace()
{
    if (QCoreApplication* application = QCoreApplication::instance(); application && filtering_)
        application->removeNativeEventFilter(this);
}

bool X11Workspace::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*)
{
    if (eventType != "xcb_generic_event_t")
        return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    if ((event->response_type & 0x7f) != XCB_PROPERTY_NOTIFY)
        return false;
    const auto* change = reinterpret_cast<const xcb_property_notify_event_t*>(event);
    if (change->window != connection_->root())
        return false;
    if (change->atom != activeWindowAtom_) {
        switchedSince(change->time, std::nullopt);
        return false;
    }
    // Resolved now, before any later event: whatever happens under this window (a copy) is
    // handled before the next switch is.
    xcb_connection_t* c = connection_->get();
    const xcb_get_property_cookie_t read = xcb_get_property(c, 0, connection_->root(), activeWindowAtom_,
                                                            XCB_ATOM_WINDOW, 0, 1);
    std::optional<quint32> window;
    if (xcb_get_property_reply_t* reply = xcb_get_property_reply(c, read, nullptr)) {
        if (reply->type == XCB_ATOM_WINDOW && xcb_get_property_value_length(reply) == 4)
            window = *static_cast<const quint32*>(xcb_get_property_value(reply));
        std::free(reply);
    }
    if (switchedSince(change->time, read.sequence))
        activeApplication_ = unknownApplicationID();
    else
        activeApplication_ = window && *window != XCB_NONE ? applicationIDForActiveWindow(*window) : std::nullopt;
    return false;
}

bool X11Workspace::switchedSince(quint32 time, std::optional<unsigned int> readSequence)
{
    bool switched = false;
    while (xcb_generic_event_t* heard = xcb_poll_for_event(connection_->get())) {
        const auto* change = reinterpret_cast<const xcb_property_notify_event_t*>(heard);
        // An event carries the sequence of the last request the server had done before it.
        switched = switched
            || (readSequence && (heard->response_type & 0x7f) == XCB_PROPERTY_NOTIFY
                && change->window == connection_->root() && change->atom == activeWindowAtom_
                && qint16(quint16(*readSequence) - change->sequence) > 0 && qint32(change->time - time) > 0);
        std::free(heard);
    }
    return switched;
}

std::optional<QString> X11Workspace::frontmostApplicationID() const
{
    if (activeApplication_)
        return *activeApplication_;
    if (!connection_->isValid())
        return std::nullopt;
    const std::optional<quint32> window = connection_->cardinalProperty(
        connection_->root(), connection_->atom("_NET_ACTIVE_WINDOW"), XCB_ATOM_WINDOW);
    if (!window || *window == XCB_NONE)
        return std::nullopt;
    return applicationIDForActiveWindow(*window);
}

std::optional<QString> X11Workspace::applicationIDForActiveWindow(quint32 window) const
{
    const std::optional<quint32> pid = connection_->cardinalProperty(window, connection_->atom("_NET_WM_PID"),
                                                                     XCB_ATOM_CARDINAL);
    if (pid && static_cast<pid_t>(*pid) == ::getpid())
        return ownApplicationID();
    return applicationIDForWindow(window);
}

std::optional<QString> X11Workspace::applicationIDForWindow(quint32 window) const
{
    if (!connection_->isValid())
        return std::nullopt;
    auto text = [&](const char* property) {
        const std::optional<QByteArray> value = connection_->property(window, connection_->atom(property));
        return value ? QString::fromUtf8(*value).trimmed() : QString();
    };

    if (const QString gtkID = text("_GTK_APPLICATION_ID"); !gtkID.isEmpty())
        return applicationIDForDesktopID(gtkID);

    if (QString desktopFile = text("_KDE_NET_WM_DESKTOP_FILE"); !desktopFile.isEmpty()) {
        desktopFile = QFileInfo(desktopFile).fileName();
        if (desktopFile.endsWith(QStringLiteral(".desktop")))
            desktopFile.chop(8);
        if (!desktopFile.isEmpty())
            return applicationIDForDesktopID(desktopFile);
    }

    const std::optional<quint32> pid = connection_->cardinalProperty(window, connection_->atom("_NET_WM_PID"),
                                                                     XCB_ATOM_CARDINAL);
    if (pid && *pid > 0) {
        QFile cgroup(QStringLiteral("/proc/%1/cgroup").arg(*pid));
        if (cgroup.open(QIODevice::ReadOnly)) {
            if (const std::optional<QString> flatpakID = flatpakIDFromCGroup(QString::fromUtf8(cgroup.read(64 * 1024))))
                return applicationIDForDesktopID(*flatpakID);
        }
    }

    // WM_CLASS: the instance name, a NUL, the class name, a NUL.
    const std::optional<QByteArray> windowClass = connection_->property(window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING);
    if (!windowClass)
        return std::nullopt;
    const QList<QByteArray> parts = windowClass->split('\0');
    const QString instance = QString::fromUtf8(parts.value(0)).trimmed();
    const QString className = QString::fromUtf8(parts.value(1)).trimmed();
    if (const std::optional<DesktopEntry> entry = applications_.entryForWindowClass(instance, className))
        return applicationIDForDesktopID(entry->desktopID);
    const QString name = className.isEmpty() ? instance : className;
    if (name.isEmpty())
        return std::nullopt;
    return applicationIDForDesktopID(name);
}

std::optional<QString> X11Workspace::applicationIDForClientOf(quint32 window) const
{
    if (!connection_->isValid() || window == XCB_NONE)
        return std::nullopt;
    if (std::optional<QString> id = applicationIDForWindow(window))
        return id;

    // The server hands each client one range of resource ids: its windows share the bits
    // outside the mask.
    xcb_connection_t* c = connection_->get();
    const quint32 mask = xcb_get_setup(c)->resource_id_mask;
    QList<quint32> candidates;
    if (const std::optional<QByteArray> list = connection_->property(
            connection_->root(), connection_->atom("_NET_CLIENT_LIST"), XCB_ATOM_WINDOW)) {
        for (qsizetype offset = 0; offset + 4 <= list->size(); offset += 4) {
            quint32 id = 0;
            std::memcpy(&id, list->constData() + offset, sizeof id);
            candidates.append(id);
        }
    }
    if (xcb_query_tree_reply_t* tree = xcb_query_tree_reply(c, xcb_query_tree(c, connection_->root()), nullptr)) {
        const xcb_window_t* children = xcb_query_tree_children(tree);
        candidates.append(QList<quint32>(children, children + xcb_query_tree_children_length(tree)));
        std::free(tree);
    }
    for (const quint32 candidate : std::as_const(candidates)) {
        if (candidate == window || (candidate & ~mask) != (window & ~mask))
            continue;
        if (std::optional<QString> id = applicationIDForWindow(candidate))
            return id;
    }
    return std::nullopt;
}

std::optional<ApplicationInfo> X11Workspace::application(const QString& id) const
{
    const std::optional<DesktopEntry> entry = applications_.entryForApplicationID(id);
    if (!entry)
        return std::nullopt;
    return ApplicationInfo{id, entry->name, entry->iconName, entry->path};
}

QList<ApplicationInfo> X11Workspace::installedApplications() const
{
    QList<ApplicationInfo> installed;
    for (const DesktopEntry& entry : applications_.entries()) {
        if (entry.isApplication())
            installed.append({applicationIDForDesktopID(entry.desktopID), entry.name, entry.iconName, entry.path});
    }
    return installed;
}

std::optional<QString> X11Workspace::applicationID(const QString& desktopFilePath) const
{
    if (!desktopFilePath.endsWith(QStringLiteral(".desktop")))
        return std::nullopt;
    const QString desktopID = applications_.desktopIDForFile(desktopFilePath);
    const std::optional<DesktopEntry> entry = DesktopEntry::read(desktopFilePath, desktopID, QString());
    if (!entry || !entry->isApplication() || desktopID.isEmpty())
        return std::nullopt;
    return applicationIDForDesktopID(desktopID);
}

std::optional<QString> X11Workspace::flatpakIDFromCGroup(const QString& cgroup)
{
    // systemd names a Flatpak instance's scope "app-flatpak-<application id>-<number>.scope".
    static const QRegularExpression scope(QStringLiteral(R"(/app-flatpak-([A-Za-z0-9_.\-]+?)-\d+\.scope(?:/|$))"),
                                          QRegularExpression::MultilineOption);
    const QRegularExpressionMatch match = scope.match(cgroup);
    if (!match.hasMatch())
        return std::nullopt;
    return match.captured(1);
}

void X11Workspace::showItems(const QList<QUrl>& files) const
{
    DesktopFileManager::showItems(files);
}

} // namespace tavlin
