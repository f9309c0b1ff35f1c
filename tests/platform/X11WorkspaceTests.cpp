#include "TemporaryFolder.h"
#include "X11Workspace.h"
#include "XcbConnection.h"

#include <QDir>

#include <gtest/gtest.h>

#include <unistd.h>

namespace tavlin {
namespace {

// Plays the window manager: makes windows with the properties applications set, and marks one
// of them active on the root window.
class X11WorkspaceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(x.isValid());
        const QString applications = temporary.path() + QStringLiteral("/applications");
        QDir().mkpath(applications);
        test::writeFile(applications + QStringLiteral("/code.desktop"),
                        "[Desktop Entry]\nType=Application\nName=Code\nStartupWMClass=Code\n");
        workspace = std::make_unique<X11Workspace>(QStringList{applications});
    }
    void TearDown() override { xcb_delete_property(x.get(), x.root(), x.atom("_NET_ACTIVE_WINDOW")); }

    xcb_window_t makeWindow()
    {
        const xcb_window_t window = xcb_generate_id(x.get());
        xcb_create_window(x.get(), XCB_COPY_FROM_PARENT, window, x.root(), 0, 0, 10, 10, 0, XCB_WINDOW_CLASS_INPUT_ONLY,
                          XCB_COPY_FROM_PARENT, 0, nullptr);
        return window;
    }
    void set(xcb_window_t window, const char* property, xcb_atom_t type, const QByteArray& value)
    {
        xcb_change_property(x.get(), XCB_PROP_MODE_REPLACE, window, x.atom(property), type, 8, value.size(),
                            value.constData());
    }
    void setCardinal(xcb_window_t window, const char* property, xcb_atom_t type, quint32 value)
    {
        xcb_change_property(x.get(), XCB_PROP_MODE_REPLACE, window, x.atom(property), type, 32, 1, &value);
    }
    void activate(xcb_window_t window)
    {
        setCardinal(x.root(), "_NET_ACTIVE_WINDOW", XCB_ATOM_WINDOW, window);
        xcb_aux_sync();
    }
    // What the workspace names when the active window carries only `property`.
    std::optional<QString> frontmostNamedBy(const char* property, const QByteArray& value)
    {
        const xcb_window_t window = makeWindow();
        const bool windowClass = qstrcmp(property, "WM_CLASS") == 0;
        set(window, property, windowClass ? xcb_atom_t(XCB_ATOM_STRING) : x.atom("UTF8_STRING"), value);
        activate(window);
        return workspace->frontmostApplicationID();
    }
    void xcb_aux_sync() { free(xcb_get_input_focus_reply(x.get(), xcb_get_input_focus(x.get()), nullptr)); }

    XcbConnection x;
    test::TemporaryFolder temporary;
    std::unique_ptr<X11Workspace> workspace;
};

TEST_F(X11WorkspaceTest, NoActiveWindowMeansNoFrontmostApplication)
{
    EXPECT_EQ(workspace->frontmostApplicationID(), std::nullopt);
    activate(XCB_NONE);
    EXPECT_EQ(workspace->frontmostApplicationID(), std::nullopt);
    // A window without any naming property names no application either.
    activate(makeWindow());
    EXPECT_EQ(workspace->frontmostApplicationID(), std::nullopt);
}

TEST_F(X11WorkspaceTest, ApplicationIdPropertiesComeFirst)
{
    const xcb_window_t gtk = makeWindow();
    set(gtk, "_GTK_APPLICATION_ID", x.atom("UTF8_STRING"), "org.gnome.TextEditor");
    set(gtk, "WM_CLASS", XCB_ATOM_STRING, QByteArray("code\0Code\0", 10));
    activate(gtk);
    EXPECT_EQ(workspace->frontmostApplicationID(), QStringLiteral("org.gnome.TextEditor"));

    EXPECT_EQ(frontmostNamedBy("_KDE_NET_WM_DESKTOP_FILE", "org.kde.dolphin"), QStringLiteral("org.kde.dolphin"));
    EXPECT_EQ(frontmostNamedBy("_KDE_NET_WM_DESKTOP_FILE", "/usr/share/applications/firefox.desktop"),
              QStringLiteral("firefox.desktop"));
}

TEST_F(X11WorkspaceTest, WindowClassIsMatchedToItsDesktopEntryOrTakenAsIs)
{
    EXPECT_EQ(frontmostNamedBy("WM_CLASS", QByteArray("code\0Code\0", 10)), QStringLiteral("code.desktop"));
    EXPECT_EQ(workspace->application(QStringLiteral("code.desktop"))->name, QStringLiteral("Code"));
    EXPECT_EQ(frontmostNamedBy("WM_CLASS", QByteArray("xterm\0XTerm\0", 12)), QStringLiteral("XTerm.desktop"));
    EXPECT_EQ(frontmostNamedBy("WM_CLASS", QByteArray("bitwarden\0com.bitwarden.desktop\0", 33)),
              QStringLiteral("com.bitwarden.desktop"));
}

TEST_F(X11WorkspaceTest, OwnWindowsAreThisApplication)
{
    const xcb_window_t own = makeWindow();
    setCardinal(own, "_NET_WM_PID", XCB_ATOM_CARDINAL, static_cast<quint32>(::getpid()));
    set(own, "WM_CLASS", XCB_ATOM_STRING, QByteArray("code\0Code\0", 10));
    activate(own);
    EXPECT_EQ(workspace->frontmostApplicationID(), QStringLiteral("org.tavlin.Tavlin"));
}

TEST_F(X11WorkspaceTest, ActiveWindowThatIsGoneNamesNothing)
{
    const xcb_window_t window = makeWindow();
    set(window, "WM_CLASS", XCB_ATOM_STRING, QByteArray("code\0Code\0", 10));
    activate(window);
    xcb_destroy_window(x.get(), window);
    xcb_aux_sync();
    EXPECT_EQ(workspace->frontmostApplicationID(), std::nullopt);
}

} // namespace
} // namespace tavlin
