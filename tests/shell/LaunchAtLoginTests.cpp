#include "DesktopExec.h"
#include "FileSystemError.h"
#include "InstalledApplication.h"
#include "InstanceChannel.h"
#include "LaunchAtLoginController.h"
#include "TemporaryFolder.h"
#include "UnavailableLoginItemService.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

using namespace tavlin;
using namespace tavlin::test;

namespace {

class FakeLoginItemService : public LoginItemService {
public:
    LoginItemStatus current = LoginItemStatus::disabled;
    LoginItemStatus afterRegister = LoginItemStatus::enabled;
    int registrations = 0;
    int unregistrations = 0;
    bool fail = false;

    LoginItemStatus status() const override { return current; }
    void registerItem() override
    {
        ++registrations;
        if (fail)
            throw FileSystemError(EACCES, QStringLiteral("/autostart/org.tavlin.Tavlin.desktop"));
        current = afterRegister;
    }
    void unregisterItem() override
    {
        ++unregistrations;
        current = LoginItemStatus::disabled;
    }
    void openSystemSettings() override { }
};

} // namespace

TEST(LaunchAtLoginController, AnUnsupportedBuildNeverCallsTheSystem)
{
    LaunchAtLoginController controller(std::make_unique<UnavailableLoginItemService>());
    EXPECT_EQ(controller.status(), LoginItemStatus::unsupported);
    EXPECT_FALSE(controller.isOn());
    EXPECT_FALSE(controller.needsSystemSettings());
    EXPECT_EQ(controller.detail(), QStringLiteral("Available only in the installed Tavlin app."));
    controller.setEnabled(true);
    EXPECT_EQ(controller.errorMessage(),
              QStringLiteral("Launch at login is available only in the installed Tavlin app."));
    controller.setEnabled(false);
    EXPECT_EQ(controller.errorMessage(),
              QStringLiteral("Launch at login is available only in the installed Tavlin app."));
    EXPECT_THROW(UnavailableLoginItemService().registerItem(), LaunchAtLoginError);
}

TEST(LaunchAtLoginController, SwitchesOnlyWhenTheStatusDiffersAndKeepsWhatTheSystemReports)
{
    auto owned = std::make_unique<FakeLoginItemService>();
    FakeLoginItemService& service = *owned;
    service.current = LoginItemStatus::requiresApproval;
    LaunchAtLoginController controller(std::move(owned));
    EXPECT_TRUE(controller.isOn());
    EXPECT_TRUE(controller.needsSystemSettings());
    controller.setEnabled(true);
    EXPECT_EQ(service.registrations, 0) << "already on while it awaits approval";

    service.current = LoginItemStatus::notFound;
    controller.refresh();
    EXPECT_FALSE(controller.isOn());
    EXPECT_TRUE(controller.needsSystemSettings());

    service.current = LoginItemStatus::disabled;
    service.afterRegister = LoginItemStatus::requiresApproval;
    controller.setEnabled(true);
    EXPECT_EQ(service.registrations, 1);
    EXPECT_EQ(controller.status(), LoginItemStatus::requiresApproval) << "the switch stays on";

    service.current = LoginItemStatus::disabled;
    service.fail = true;
    controller.setEnabled(true);
    EXPECT_EQ(controller.status(), LoginItemStatus::disabled);
    ASSERT_TRUE(controller.errorMessage().has_value());
    EXPECT_TRUE(controller.errorMessage()->startsWith(QStringLiteral("Could not turn on launch at login: ")));

    controller.setEnabled(false);
    EXPECT_EQ(controller.errorMessage(), std::nullopt) << "a switch that needs nothing clears the message";
    EXPECT_EQ(service.unregistrations, 0);
}

TEST(InstalledApplication, IsTheRunningExecutableNamedByTheFirstDesktopFileFound)
{
    TemporaryFolder folder;
    const QString running = QCoreApplication::applicationFilePath();
    const QString user = folder.path() + QStringLiteral("/user");
    const QString system = folder.path() + QStringLiteral("/system");
    const auto install = [](const QString& dataFolder, const QByteArray& exec, const QByteArray& extra = {}) {
        QDir().mkpath(dataFolder + QStringLiteral("/applications"));
        writeFile(dataFolder + QStringLiteral("/applications/org.tavlin.Tavlin.desktop"),
                  "[Desktop Entry]\nType=Application\nName=Tavlin\nExec=" + exec + " %U\n" + extra);
    };

    EXPECT_EQ(InstalledApplication::find(running, {user, system}), std::nullopt) << "nothing installed";

    install(system, desktopExec(running));
    const std::optional<InstalledApplication> found = InstalledApplication::find(running, {user, system});
    ASSERT_TRUE(found.has_value());
    EXPECT_EQ(found->executable, QFileInfo(running).canonicalFilePath());
    EXPECT_EQ(found->desktopFile, system + QStringLiteral("/applications/org.tavlin.Tavlin.desktop"));
    EXPECT_EQ(InstalledApplication::find(folder.path() + QStringLiteral("/elsewhere/tavlin"), {system}), std::nullopt)
        << "a build run from elsewhere is not the installed one";

    install(user, "/usr/bin/some-other-tavlin");
    EXPECT_EQ(InstalledApplication::find(running, {user, system}), std::nullopt)
        << "the first file found is the one in use";

    const QByteArray name = QFile::encodeName(QFileInfo(running).fileName());
    install(user, name);
    qputenv("PATH", QFile::encodeName(QFileInfo(running).absolutePath()) + ":/usr/bin:/bin");
    EXPECT_TRUE(InstalledApplication::find(running, {user, system}).has_value()) << "a bare name is looked up on PATH";
    install(user, name, "Hidden=true\n");
    EXPECT_EQ(InstalledApplication::find(running, {user, system}), std::nullopt);

    const QString prefix = folder.path() + QStringLiteral("/prefix"); // as installed to ~/.local
    install(prefix + QStringLiteral("/share"), "tavlin");
    QDir().mkpath(prefix + QStringLiteral("/bin"));
    writeFile(prefix + QStringLiteral("/bin/tavlin"), "#!/bin/sh\n");
    qputenv("PATH", "/usr/bin:/bin");
    EXPECT_TRUE(InstalledApplication::find(prefix + QStringLiteral("/bin/tavlin"), {prefix + QStringLiteral("/share")}))
        << "a bare name is the program in the bin folder beside the entry's, whatever PATH holds";
}

// The launcher names itself to the application; the programs Tavlin opens (a browser, an editor)
// must not be told, or a Tavlin they start would take that launcher for its own.
TEST(InstalledApplication, TakesTheLauncherItWasStartedThroughAndPassesItOnToNoProgram)
{
    const QString launcher = QStringLiteral("/bin/sh"); // any executable stands in for it
    qputenv(InstanceChannel::launcherVariable, QFile::encodeName(launcher));
    EXPECT_EQ(InstalledApplication::runningExecutable(), launcher);
    EXPECT_FALSE(qEnvironmentVariableIsSet(InstanceChannel::launcherVariable));
    EXPECT_EQ(InstalledApplication::runningExecutable(), launcher) << "still known once taken out";
}
