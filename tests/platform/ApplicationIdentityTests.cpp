#include "DesktopApplications.h"
#include "SlowIconFile.h"
#include "TemporaryFolder.h"
#include "Workspace.h"
#include "X11Workspace.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QMutex>
#include <QThread>

#include <gtest/gtest.h>

namespace tavlin {
namespace {

using test::TemporaryFolder;

TEST(ApplicationIDTest, ReverseDnsIdsStayAndOthersBecomeValidIdentifiers)
{
    for (const char* id : {"com.bitwarden.desktop", "org.gnome.Nautilus", "org.kde.kate", "a.b", "com.app-name.x1"})
        EXPECT_EQ(Workspace::applicationIDForDesktopID(QString::fromLatin1(id)), QString::fromLatin1(id));

    const QList<std::pair<QString, QString>> mapped{
        {QStringLiteral("firefox"), QStringLiteral("firefox.desktop")},
        {QStringLiteral("firefox-esr"), QStringLiteral("firefox-esr.desktop")},
        {QStringLiteral("firefox_firefox"), QStringLiteral("firefox-firefox.desktop")},
        {QStringLiteral("kde4-kate"), QStringLiteral("kde4-kate.desktop")},
        {QStringLiteral("x"), QStringLiteral("x.desktop")},
        {QStringLiteral(".hidden..app."), QStringLiteral("hidden.app.desktop")},
        {QStringLiteral("ab"), QStringLiteral("ab.desktop")},
        {QStringLiteral("Текст"), QStringLiteral("-----.desktop")},
        {QStringLiteral("..."), QStringLiteral("application.desktop")},
        // Password managers installed under a plain name still meet the built-in protection.
        {QStringLiteral("bitwarden"), QStringLiteral("com.bitwarden.desktop")},
        {QStringLiteral("Bitwarden"), QStringLiteral("com.bitwarden.desktop")},
        {QStringLiteral("bitwarden_bitwarden"), QStringLiteral("com.bitwarden.desktop")},
        {QStringLiteral("1password"), QStringLiteral("com.1password.1password")},
        {QStringLiteral("1Password"), QStringLiteral("com.1password.1password")},
    };
    for (const auto& [desktopID, expected] : mapped)
        EXPECT_EQ(Workspace::applicationIDForDesktopID(desktopID), expected) << desktopID.toStdString();

    // Never longer than an identifier may be, never ending in a dot before the suffix.
    const QString longID = QString(250, u'a') + QStringLiteral("_b");
    const QString id = Workspace::applicationIDForDesktopID(longID);
    EXPECT_EQ(id.size(), 255);
    EXPECT_TRUE(id.endsWith(QStringLiteral("a.desktop")));
    EXPECT_EQ(Workspace::applicationIDForDesktopID(QString(246, u'a') + QStringLiteral(".b_c")).right(10),
              QStringLiteral("aa.desktop"));
    EXPECT_EQ(Workspace::applicationIDForDesktopID(QString()), QString());
}

TEST(ApplicationIDTest, FlatpakIdComesFromTheProcessControlGroup)
{
    EXPECT_EQ(
        X11Workspace::flatpakIDFromCGroup(QStringLiteral("0::/user.slice/user-1000.slice/user@1000.service/app.slice/"
                                                         "app-flatpak-com.bitwarden.desktop-12345.scope\n")),
        QStringLiteral("com.bitwarden.desktop"));
    EXPECT_EQ(X11Workspace::flatpakIDFromCGroup(QStringLiteral(
                  "0::/user.slice/user-1000.slice/user@1000.service/app.slice/app-gnome-firefox-2211.scope\n")),
              std::nullopt);
    EXPECT_EQ(X11Workspace::flatpakIDFromCGroup(QString()), std::nullopt);
}

class DesktopFilesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        savedHome_ = qgetenv("XDG_DATA_HOME");
        savedDirs_ = qgetenv("XDG_DATA_DIRS");
        qputenv("XDG_DATA_HOME", QFile::encodeName(home()));
        qputenv("XDG_DATA_DIRS", QFile::encodeName(system() + u':' + temporary.path() + QStringLiteral("/missing")));
        QLocale::setDefault(QLocale(QStringLiteral("ru_RU")));
    }
    void TearDown() override
    {
        qputenv("XDG_DATA_HOME", savedHome_);
        qputenv("XDG_DATA_DIRS", savedDirs_);
        QLocale::setDefault(QLocale::c());
    }

    QString home() const { return temporary.path() + QStringLiteral("/home"); }
    QString system() const { return temporary.path() + QStringLiteral("/usr"); }

    QString write(const QString& dataFolder, const QString& relative, const QByteArray& content) const
    {
        const QString path = dataFolder + QStringLiteral("/applications/") + relative;
        QDir().mkpath(QFileInfo(path).absolutePath());
        test::writeFile(path, content);
        return path;
    }

    static QByteArray entry(const QByteArray& body)
    {
        return "# generated\n[Desktop Entry]\nType=Application\nExec=true\n" + body
            + "\n[Desktop Action new]\nName=Other\n";
    }

    TemporaryFolder temporary;

private:
    QByteArray savedHome_;
    QByteArray savedDirs_;
};

TEST_F(DesktopFilesTest, ApplicationsAreFoundByIdentifierWithLocalizedNames)
{
    const QString firefox = write(system(), QStringLiteral("firefox.desktop"),
                                  entry("Name=Firefox\nName[ru]=Фаерфокс\nIcon=firefox"));
    write(system(), QStringLiteral("com.bitwarden.desktop.desktop"),
          entry("Name=Bitwarden\nName[ru_RU]=Битварден\nName[ru]=x"));
    const QString kate = write(system(), QStringLiteral("kde4/kate.desktop"), entry("Name=Kate\\sEditor"));

    X11Workspace workspace;
    EXPECT_EQ(workspace.application(QStringLiteral("firefox.desktop")),
              (ApplicationInfo{QStringLiteral("firefox.desktop"), QStringLiteral("Фаерфокс"), QStringLiteral("firefox"),
                               firefox}));
    EXPECT_EQ(workspace.application(QStringLiteral("com.bitwarden.desktop"))->name, QStringLiteral("Битварден"));
    EXPECT_EQ(workspace.application(QStringLiteral("kde4-kate.desktop"))->desktopFilePath, kate);
    EXPECT_EQ(workspace.application(QStringLiteral("kde4-kate.desktop"))->name, QStringLiteral("Kate Editor"));
    EXPECT_EQ(workspace.application(QStringLiteral("firefox")), std::nullopt);
    EXPECT_EQ(workspace.application(QStringLiteral("org.example.Missing")), std::nullopt);

    // The running language decides the name, and a change of it is seen.
    QLocale::setDefault(QLocale(QStringLiteral("en_US")));
    EXPECT_EQ(workspace.application(QStringLiteral("firefox.desktop"))->name, QStringLiteral("Firefox"));
}

TEST_F(DesktopFilesTest, UserEntriesHideSystemOnesIncludingDeletedOnes)
{
    write(system(), QStringLiteral("org.example.Editor.desktop"), entry("Name=System Editor"));
    write(system(), QStringLiteral("org.example.Removed.desktop"), entry("Name=Removed"));
    write(system(), QStringLiteral("org.example.Link.desktop"), "[Desktop Entry]\nType=Link\nName=Link\nURL=x\n");
    X11Workspace workspace;
    EXPECT_EQ(workspace.application(QStringLiteral("org.example.Editor"))->name, QStringLiteral("System Editor"));
    EXPECT_TRUE(workspace.application(QStringLiteral("org.example.Removed")));

    write(home(), QStringLiteral("org.example.Editor.desktop"), entry("Name=My Editor"));
    write(home(), QStringLiteral("org.example.Removed.desktop"), entry("Name=Removed\nHidden=true"));
    EXPECT_EQ(workspace.application(QStringLiteral("org.example.Editor"))->name, QStringLiteral("My Editor"));
    EXPECT_EQ(workspace.application(QStringLiteral("org.example.Removed")), std::nullopt);
    EXPECT_EQ(workspace.application(QStringLiteral("org.example.Link")), std::nullopt);
}

TEST_F(DesktopFilesTest, ChosenDesktopFileGivesItsApplicationIdentifier)
{
    X11Workspace workspace;
    EXPECT_EQ(workspace.applicationID(write(system(), QStringLiteral("firefox.desktop"), entry("Name=Firefox"))),
              QStringLiteral("firefox.desktop"));
    EXPECT_EQ(workspace.applicationID(write(system(), QStringLiteral("kde4/kate.desktop"), entry("Name=Kate"))),
              QStringLiteral("kde4-kate.desktop"));
    EXPECT_EQ(workspace.applicationID(write(home(), QStringLiteral("com.bitwarden.desktop.desktop"), entry("Name=B"))),
              QStringLiteral("com.bitwarden.desktop"));

    // Outside the applications folders the file's own name is its id.
    const QString elsewhere = temporary.path() + QStringLiteral("/Downloads/org.example.Tool.desktop");
    QDir().mkpath(QFileInfo(elsewhere).absolutePath());
    test::writeFile(elsewhere, entry("Name=Tool"));
    EXPECT_EQ(workspace.applicationID(elsewhere), QStringLiteral("org.example.Tool"));

    // Not an application entry: nothing.
    EXPECT_EQ(workspace.applicationID(
                  write(system(), QStringLiteral("link.desktop"), "[Desktop Entry]\nType=Link\nName=L\n")),
              std::nullopt);
    EXPECT_EQ(workspace.applicationID(write(system(), QStringLiteral("gone.desktop"), entry("Name=Gone\nHidden=true"))),
              std::nullopt);
    EXPECT_EQ(workspace.applicationID(write(system(), QStringLiteral("noentry.desktop"), "[Other]\nName=x\n")),
              std::nullopt);
    EXPECT_EQ(workspace.applicationID(write(system(), QStringLiteral("binary.desktop"), QByteArray("\x00\xff\xfe", 3))),
              std::nullopt);
    EXPECT_EQ(workspace.applicationID(temporary.path() + QStringLiteral("/absent.desktop")), std::nullopt);
    // The extension must be exactly ".desktop".
    const QString upper = write(system(), QStringLiteral("Upper.DESKTOP"), entry("Name=Upper"));
    EXPECT_EQ(workspace.applicationID(upper), std::nullopt);
}

// A link named like a desktop entry may lead to a pipe, which nothing would ever end: it is passed
// over unopened, and the other applications are found.
TEST_F(DesktopFilesTest, AnEntryThatLinksToAPipeIsPassedOverUnopened)
{
    write(system(), QStringLiteral("org.example.Editor.desktop"), entry("Name=Editor"));
    const QString pipe = temporary.path() + QStringLiteral("/pipe");
    test::SlowIconFile slow(pipe, Qt::yellow);
    ASSERT_TRUE(slow.made());
    ASSERT_TRUE(QDir().mkpath(home() + QStringLiteral("/applications")));
    ASSERT_TRUE(QFile::link(pipe, home() + QStringLiteral("/applications/org.example.Pipe.desktop")));
    X11Workspace workspace;
    EXPECT_EQ(workspace.application(QStringLiteral("org.example.Editor"))->name, QStringLiteral("Editor"));
    EXPECT_EQ(workspace.application(QStringLiteral("org.example.Pipe")), std::nullopt);
    EXPECT_TRUE(slow.release()) << "the entry was opened";
}

TEST_F(DesktopFilesTest, WindowClassFindsTheEntryThatNamesIt)
{
    write(system(), QStringLiteral("org.gnome.Nautilus.desktop"),
          entry("Name=Files\nStartupWMClass=org.gnome.Nautilus"));
    write(system(), QStringLiteral("code.desktop"), entry("Name=Code\nStartupWMClass=Code"));
    write(system(), QStringLiteral("gimp.desktop"), entry("Name=GIMP"));
    DesktopApplications applications;
    EXPECT_EQ(applications.entryForWindowClass(QStringLiteral("code"), QStringLiteral("Code"))->desktopID,
              QStringLiteral("code"));
    EXPECT_EQ(
        applications.entryForWindowClass(QStringLiteral("org.gnome.Nautilus"), QStringLiteral("Org.gnome.Nautilus"))
            ->desktopID,
        QStringLiteral("org.gnome.Nautilus"));
    EXPECT_EQ(applications.entryForWindowClass(QStringLiteral("gimp-2.10"), QStringLiteral("Gimp"))->desktopID,
              QStringLiteral("gimp"));
    EXPECT_EQ(applications.entryForWindowClass(QStringLiteral("xterm"), QStringLiteral("XTerm")), std::nullopt);
}

// Reading every desktop file grows with the applications installed: it happens on a worker, from
// the start and again when an application is installed, and a lookup then only finds the entry.
TEST_F(DesktopFilesTest, EntriesAreReadOnAWorkerFromTheStartAndWhenAnApplicationIsInstalled)
{
    write(system(), QStringLiteral("org.example.Editor.desktop"), entry("Name=Editor\nIcon=editor"));
    write(system(), QStringLiteral("org.example.Viewer.desktop"), entry("Name=Viewer\nIcon=viewer"));
    QMutex mutex;
    QList<QThread*> readers;
    DesktopApplications applications({}, [&](const QString& path, const QString& desktopID, const QString& locale) {
        const QMutexLocker locker(&mutex);
        readers.append(QThread::currentThread());
        return DesktopEntry::read(path, desktopID, locale);
    });
    const auto readCount = [&] {
        const QMutexLocker locker(&mutex);
        return readers.size();
    };
    const auto waitForReads = [&](qsizetype count) {
        const QDeadlineTimer deadline(10000);
        while (readCount() < count && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(20); // the reading ends after its last file
        QCoreApplication::processEvents();
        return readCount() >= count;
    };

    applications.prepare();
    ASSERT_TRUE(waitForReads(2));
    EXPECT_EQ(applications.entryForApplicationID(QStringLiteral("org.example.Viewer"))->iconName,
              QStringLiteral("viewer"));
    EXPECT_EQ(applications.entryForApplicationID(QStringLiteral("org.example.Editor"))->iconName,
              QStringLiteral("editor"));

    write(system(), QStringLiteral("org.example.Player.desktop"), entry("Name=Player\nIcon=player"));
    ASSERT_TRUE(waitForReads(5));
    EXPECT_EQ(applications.entryForApplicationID(QStringLiteral("org.example.Player"))->name, QStringLiteral("Player"));
    EXPECT_EQ(applications.entryForApplicationID(QStringLiteral("org.example.Viewer"))->iconName,
              QStringLiteral("viewer"));
    EXPECT_EQ(readCount(), 5);
    for (QThread* reader : readers)
        EXPECT_NE(reader, QThread::currentThread());
}

} // namespace
} // namespace tavlin
