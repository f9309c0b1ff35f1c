// The login item as an XDG autostart entry, in a temporary config home, driven as the Settings
// switch drives it.
#include "DesktopExec.h"
#include "DesktopFile.h"
#include "FileSystemError.h"
#include "LaunchAtLoginController.h"
#include "SystemLoginItemService.h"
#include "TemporaryFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

using namespace tavlin;
using namespace tavlin::test;

namespace {

// The autostart folder of a temporary XDG config home, and an installed-looking executable.
struct LoginFixture {
    TemporaryFolder folder;
    QString executable = QCoreApplication::applicationFilePath();
    QList<QUrl> opened;

    LoginFixture() { qputenv("XDG_CONFIG_HOME", QFile::encodeName(folder.path() + QStringLiteral("/config"))); }

    QString autostart() const { return folder.path() + QStringLiteral("/config/autostart"); }
    QString entryPath() const { return autostart() + QStringLiteral("/org.tavlin.Tavlin.desktop"); }
    std::unique_ptr<SystemLoginItemService> service()
    {
        return std::make_unique<SystemLoginItemService>(executable, SystemLoginItemService::standardAutostartFolder(),
                                                        [this](const QUrl& url) { opened.append(url); });
    }
    void writeEntry(const QByteArray& contents) const
    {
        QDir().mkpath(autostart());
        writeFile(entryPath(), contents);
    }
};

} // namespace

TEST(SystemLoginItemService, EnablingWritesAnAutostartEntryAndDisablingRemovesIt)
{
    LoginFixture fixture;
    LaunchAtLoginController controller(fixture.service());
    EXPECT_EQ(controller.status(), LoginItemStatus::disabled);
    EXPECT_EQ(controller.detail(), QStringLiteral("Tavlin does not start automatically."));

    int statusChanges = 0;
    QObject::connect(&controller, &LaunchAtLoginController::statusChanged, [&] { ++statusChanges; });
    controller.setEnabled(true);
    EXPECT_EQ(controller.status(), LoginItemStatus::enabled);
    EXPECT_TRUE(controller.isOn());
    EXPECT_EQ(controller.errorMessage(), std::nullopt);
    EXPECT_EQ(statusChanges, 1);
    EXPECT_EQ(controller.detail(), QStringLiteral("Tavlin will start in the tray without opening the history window."));
    const QByteArray written = readFile(fixture.entryPath());
    EXPECT_TRUE(written.startsWith("[Desktop Entry]\nType=Application\nName=Tavlin\nExec=")
                && written.endsWith("\nX-GNOME-Autostart-enabled=true\n"))
        << written.toStdString();
    EXPECT_EQ(DesktopFile::parse(written).value_or(DesktopFile()).execProgram(), fixture.executable)
        << "the entry starts this program, however its path is quoted";
    EXPECT_FALSE(QFileInfo::exists(fixture.entryPath() + QStringLiteral(".new")));

    controller.setEnabled(false);
    EXPECT_EQ(controller.status(), LoginItemStatus::disabled);
    EXPECT_FALSE(QFileInfo::exists(fixture.entryPath()));
    EXPECT_NO_THROW(fixture.service()->unregisterItem()) << "an entry already gone is fine";
}

TEST(SystemLoginItemService, AnEntryThatIsSwitchedOffForeignOrDamagedIsNotOn)
{
    LoginFixture fixture;
    const QByteArray ours = "[Desktop Entry]\nType=Application\nExec=" + desktopExec(fixture.executable) + "\n";
    const auto statusWith = [&](const QByteArray& contents) {
        fixture.writeEntry(contents);
        return fixture.service()->status();
    };
    EXPECT_EQ(statusWith(ours), LoginItemStatus::enabled);
    EXPECT_EQ(statusWith("# comment\n\n[Desktop Entry]\r\nExec = " + desktopExec(fixture.executable) + " --flag\r\n"),
              LoginItemStatus::enabled);
    EXPECT_EQ(statusWith(ours + "Hidden=true\n"), LoginItemStatus::disabled);
    EXPECT_EQ(statusWith(ours + "X-GNOME-Autostart-enabled=false\n"), LoginItemStatus::disabled);
    EXPECT_EQ(statusWith("[Desktop Entry]\nExec=/bin/sh -c true\n"), LoginItemStatus::disabled);
    EXPECT_EQ(statusWith("[Other Group]\nExec=" + desktopExec(fixture.executable) + "\n"), LoginItemStatus::disabled);
    EXPECT_EQ(statusWith("[Desktop Entry]\nExec=\"" + QFile::encodeName(fixture.executable) + "\n"),
              LoginItemStatus::disabled)
        << "an unclosed quote";
    EXPECT_EQ(statusWith(QByteArray("\xff\xfe\x00\x01garbage", 11)), LoginItemStatus::disabled);
    EXPECT_EQ(statusWith(QByteArray(300 * 1024, '#')), LoginItemStatus::disabled);

    // Switching on replaces a foreign entry under our name with ours.
    statusWith("[Desktop Entry]\nExec=/bin/sh -c true\n");
    LaunchAtLoginController controller(fixture.service());
    controller.setEnabled(true);
    EXPECT_EQ(controller.status(), LoginItemStatus::enabled);
    EXPECT_FALSE(readFile(fixture.entryPath()).contains("/bin/sh"));
}

TEST(SystemLoginItemService, QuotesAnExecutablePathThatNeedsIt)
{
    LoginFixture fixture;
    QDir().mkpath(fixture.folder.path() + QStringLiteral("/my apps"));
    fixture.executable = fixture.folder.path() + QStringLiteral("/my apps/ta$vlin \"100%\"");
    writeFile(fixture.executable, "#!/bin/sh\n");
    fixture.service()->registerItem();
    // The temporary folder may need escapes of its own.
    const QByteArray written = readFile(fixture.entryPath());
    EXPECT_TRUE(written.contains("\nExec=" + desktopExec(fixture.executable) + "\n")) << written.toStdString();
    EXPECT_TRUE(written.contains("/my apps/ta\\\\$vlin \\\\\"100%%\\\\\"\"\n")) << written.toStdString();
    EXPECT_EQ(fixture.service()->status(), LoginItemStatus::enabled);
}

TEST(SystemLoginItemService, AFailedWriteIsReportedAndChangesNothing)
{
    LoginFixture fixture;
    QDir().mkpath(fixture.folder.path() + QStringLiteral("/config"));
    writeFile(fixture.autostart(), "a file where the folder belongs");
    LaunchAtLoginController controller(fixture.service());
    controller.setEnabled(true);
    EXPECT_EQ(controller.status(), LoginItemStatus::disabled);
    EXPECT_EQ(controller.errorMessage(),
              QStringLiteral("Could not turn on launch at login: Tavlin couldn’t use the file “autostart”: "
                             "something else is in its place."));
    EXPECT_THROW(fixture.service()->registerItem(), FileSystemError);
}
