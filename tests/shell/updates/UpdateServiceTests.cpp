#include "AppUpdateController.h"
#include "AwaitTask.h"
#include "FeedUpdateService.h"
#include "InMemoryDefaults.h"
#include "LocalHttpServer.h"
#include "StoredPreferences.h"
#include "TemporaryFolder.h"
#include "UnavailableUpdateService.h"

#include <QTcpServer>
#include <QTest>

#include <gtest/gtest.h>

using namespace tavlin;
using namespace tavlin::test;

namespace {

using State = UpdateCheckResult::State;
using namespace std::chrono_literals;

const QString ourVersion = QStringLiteral("1.2.0");
const QString key32 = QString::fromLatin1(QByteArray(32, 'k').toBase64());
const QString longAgo = QStringLiteral("2020-01-01T00:00:00.000Z");

QByteArray appcast(const QByteArray& version, const QByteArray& shortVersion, const QByteArray& link)
{
    return R"(<?xml version="1.0"?><rss version="2.0" xmlns:sparkle="http://www.andymatuschak.org/xml-namespaces/sparkle">)"
           "<channel><item><sparkle:version>"
        + version + "</sparkle:version><sparkle:shortVersionString>" + shortVersion
        + "</sparkle:shortVersionString><link>" + link + "</link></item></channel></rss>";
}

class RecordingDriver : public UpdateUserDriver {
public:
    explicit RecordingDriver(QList<UpdateCheckResult>& shown) : shown_(shown) { }
    void show(const UpdateCheckResult& result) override { shown_.append(result); }

private:
    QList<UpdateCheckResult>& shown_;
};

struct UpdateFixture {
    LocalHttpServer server;
    InMemoryDefaults defaults{{{StoredPreferences::lastUpdateCheck.key, longAgo}}};
    QList<UpdateCheckResult> shown;
    int presentations = 0;

    UpdateFixture()
    {
        server.route("/newer",
                     {"200 OK",
                      {{"Content-Type", "application/rss+xml"}},
                      appcast("1.3.0", "1.3", "https://example.org/tavlin-1.3")});
        server.route("/same", {"200 OK", {}, appcast("1.2", "1.2", "https://example.org/tavlin-1.2")});
        server.route("/older", {"200 OK", {}, appcast("1.1.9", "1.1.9", "https://example.org/tavlin-1.1.9")});
        server.route("/no-link", {"200 OK", {}, appcast("2.0", "", "file:///etc/passwd")});
        server.route("/malformed", {"200 OK", {}, "<html><body>Maintenance</body></html>"});
        server.route("/loop", LocalHttpServer::redirect("/loop"));
        server.route("/moved", LocalHttpServer::redirect("/newer"));
        server.route("/away", LocalHttpServer::redirect("http://updates.example.org/appcast.xml"));
        server.route("/huge", {"200 OK", {}, QByteArray(3 * 1024 * 1024, 'x'), false, true});
        server.route("/declared-huge", {"200 OK", {{"Content-Length", "50000000"}}, "<rss/>", false, true});
        server.route("/silent", {"200 OK", {}, {}, true, false});
        server.route("/error", {"500 Internal Server Error", {}, "oops", false, false});
    }

    std::unique_ptr<FeedUpdateService> service(const QUrl& feed, FeedDownload::Limits limits = {})
    {
        if (limits.timeout == FeedDownload::Limits().timeout)
            limits.timeout = 5s;
        auto made = std::make_unique<FeedUpdateService>(UpdateConfiguration{feed, key32}, ourVersion, defaults,
                                                        std::make_unique<RecordingDriver>(shown), limits);
        QObject::connect(made.get(), &UpdateService::willPresentWindow, [this] { ++presentations; });
        return made;
    }

    UpdateCheckResult check(const QByteArray& path, FeedDownload::Limits limits = {})
    {
        auto checking = service(server.url(path), limits);
        const std::optional<UpdateCheckResult> result = await(checking->performCheck(true));
        EXPECT_TRUE(checking->canCheckForUpdates()) << "a finished check lets the next one start";
        return result.value_or(UpdateCheckResult{State::failed, QStringLiteral("no check ran"), {}, {}});
    }

    QString lastCheck() const { return defaults.string(StoredPreferences::lastUpdateCheck.key).value_or(QString()); }
};

} // namespace

TEST(FeedUpdateService, ANewerVersionIsOfferedWithItsDownloadPage)
{
    UpdateFixture fixture;
    const QDateTime started = QDateTime::currentDateTimeUtc().addMSecs(-1);
    const UpdateCheckResult result = fixture.check("/newer");
    EXPECT_EQ(result.state, State::updateAvailable);
    EXPECT_EQ(result.version, QStringLiteral("1.3"));
    EXPECT_EQ(result.downloadPage, QUrl(QStringLiteral("https://example.org/tavlin-1.3")));
    EXPECT_EQ(result.message,
              QStringLiteral("Tavlin 1.3 is available; you have 1.2.0. Install it with your package manager "
                             "or get it from the download page."));
    ASSERT_EQ(fixture.shown.size(), 1);
    EXPECT_EQ(fixture.shown[0], result);
    EXPECT_EQ(fixture.presentations, 1) << "the window the user asked for lets the floating windows step aside";
    EXPECT_GE(QDateTime::fromString(fixture.lastCheck(), Qt::ISODateWithMs), started);

    const UpdateCheckResult unsafeLink = fixture.check("/no-link");
    EXPECT_EQ(unsafeLink.state, State::updateAvailable);
    EXPECT_EQ(unsafeLink.downloadPage, AppUpdateController::downloadPage())
        << "a link that is no web page is never opened";
    EXPECT_EQ(unsafeLink.version, QStringLiteral("2.0"));

    EXPECT_EQ(fixture.check("/moved").state, State::updateAvailable) << "a redirect on this computer is followed";
}

TEST(FeedUpdateService, TheSameOrAnOlderVersionIsUpToDate)
{
    UpdateFixture fixture;
    for (const QByteArray& path : {QByteArray("/same"), QByteArray("/older")}) {
        fixture.defaults.setString(StoredPreferences::lastUpdateCheck.key, longAgo);
        const UpdateCheckResult result = fixture.check(path);
        EXPECT_EQ(result.state, State::upToDate) << path.constData();
        EXPECT_EQ(result.message, QStringLiteral("Tavlin 1.2.0 is the newest version available."));
        EXPECT_NE(fixture.lastCheck(), longAgo) << "a completed check is recorded";
    }
    EXPECT_EQ(fixture.shown.size(), 2);
}

TEST(FeedUpdateService, EveryFailureIsReportedAndLeavesTheLastCheckAlone)
{
    UpdateFixture fixture;
    QTcpServer closed;
    ASSERT_TRUE(closed.listen(QHostAddress::LocalHost));
    const quint16 closedPort = closed.serverPort();
    closed.close();

    struct Case {
        QUrl feed;
        FeedDownload::Limits limits;
        QString message;
    };
    const QList<Case> cases{
        {fixture.server.url("/malformed"), {}, QStringLiteral("The update feed couldn’t be read.")},
        {QUrl(QStringLiteral("http://127.0.0.1:%1/feed").arg(closedPort)),
         {},
         QStringLiteral("Couldn’t connect to the update server. Check your internet connection and try again.")},
        {fixture.server.url("/loop"), {}, QStringLiteral("The update server redirected the request too many times.")},
        {fixture.server.url("/away"),
         {},
         QStringLiteral("The update server redirected the request to an address Tavlin doesn’t trust.")},
        {fixture.server.url("/huge"), {}, QStringLiteral("The update feed is too large.")},
        {fixture.server.url("/declared-huge"), {}, QStringLiteral("The update feed is too large.")},
        {fixture.server.url("/newer"), {.maximumBytes = 100}, QStringLiteral("The update feed is too large.")},
        {fixture.server.url("/silent"),
         {.timeout = 300ms},
         QStringLiteral("The update server didn’t answer in time. Try again later.")},
        {fixture.server.url("/error"), {}, QStringLiteral("The update server answered with an error (500).")},
        {fixture.server.url("/nowhere"), {}, QStringLiteral("The update server answered with an error (404).")},
    };
    for (const Case& c : cases) {
        auto service = fixture.service(c.feed, c.limits);
        const std::optional<UpdateCheckResult> result = await(service->performCheck(true));
        ASSERT_TRUE(result.has_value());
        EXPECT_EQ(result->state, State::failed) << c.feed.toString().toStdString();
        EXPECT_EQ(result->message, c.message) << c.feed.toString().toStdString();
        EXPECT_TRUE(service->canCheckForUpdates());
        EXPECT_EQ(fixture.lastCheck(), longAgo) << c.feed.toString().toStdString();
    }
    EXPECT_EQ(fixture.shown.size(), cases.size()) << "a check the user asked for always answers";
    EXPECT_EQ(fixture.server.requestCount("/loop"), 6) << "the first request and five redirects, no more";
}

TEST(FeedUpdateService, AutomaticChecksRunDailyAndShowOnlyNews)
{
    UpdateFixture fixture;
    fixture.defaults.setBool(StoredPreferences::automaticUpdateChecks.key, true);
    fixture.defaults.removeObject(StoredPreferences::lastUpdateCheck.key);
    {
        auto service = fixture.service(fixture.server.url("/same"));
        ASSERT_TRUE(
            QTest::qWaitFor([&] { return !fixture.lastCheck().isEmpty() && service->canCheckForUpdates(); }, 10'000))
            << "a switched-on service that never checked checks at once";
        EXPECT_TRUE(fixture.shown.isEmpty()) << "no news is not shown";
        QTest::qWait(200);
        EXPECT_EQ(fixture.server.requestCount("/same"), 1) << "and not again for a day";
    }

    fixture.defaults.setString(StoredPreferences::lastUpdateCheck.key,
                               QDateTime::currentDateTimeUtc().addSecs(-3600).toString(Qt::ISODateWithMs));
    {
        auto service = fixture.service(fixture.server.url("/newer"));
        QTest::qWait(300);
        EXPECT_EQ(fixture.server.requestCount("/newer"), 0) << "checked an hour ago";
    }

    fixture.defaults.setString(StoredPreferences::lastUpdateCheck.key,
                               QDateTime::currentDateTimeUtc().addDays(-2).toString(Qt::ISODateWithMs));
    {
        auto service = fixture.service(fixture.server.url("/newer"));
        ASSERT_TRUE(QTest::qWaitFor([&] { return !fixture.shown.isEmpty(); }, 10'000));
        EXPECT_EQ(fixture.shown[0].state, State::updateAvailable);
        EXPECT_EQ(fixture.presentations, 0) << "a window of its own making does not move the others";
    }
}

// Quitting destroys the service while a feed that never answers is being fetched: the check ends
// there and then, showing nothing, rather than waiting for an answer no event loop would deliver.
TEST(FeedUpdateService, AServiceThatGoesEndsItsCheckAndShowsNothing)
{
    UpdateFixture fixture;
    auto service = fixture.service(fixture.server.url("/silent"));
    QCoro::Task<std::optional<UpdateCheckResult>> check = service->performCheck(true);
    ASSERT_TRUE(QTest::qWaitFor([&] { return fixture.server.requestCount("/silent") == 1; }, 10'000));
    service.reset();
    ASSERT_TRUE(check.isReady());
    EXPECT_FALSE(await(std::move(check)).has_value());
    EXPECT_TRUE(fixture.shown.isEmpty());
    EXPECT_EQ(fixture.presentations, 0);
}

TEST(FeedUpdateService, TheSwitchIsStoredAndSignalled)
{
    UpdateFixture fixture;
    auto service = fixture.service(fixture.server.url("/same"));
    EXPECT_FALSE(service->automaticallyChecksForUpdates()) << "off until the user turns it on";
    int changes = 0;
    QObject::connect(service.get(), &UpdateService::changed, [&] { ++changes; });
    service->setAutomaticallyChecksForUpdates(true);
    EXPECT_EQ(fixture.defaults.boolValue(StoredPreferences::automaticUpdateChecks.key), true);
    EXPECT_GE(changes, 1);
    service->setAutomaticallyChecksForUpdates(false);
    EXPECT_EQ(fixture.defaults.boolValue(StoredPreferences::automaticUpdateChecks.key), false);
    EXPECT_EQ(service->lastCheckDate(), QDateTime::fromString(longAgo, Qt::ISODateWithMs));
    fixture.defaults.setString(StoredPreferences::lastUpdateCheck.key, QStringLiteral("yesterday"));
    EXPECT_EQ(service->lastCheckDate(), std::nullopt);
}

TEST(AppUpdateController, FollowsTheServiceAndChecksOnlyWhenItCan)
{
    UpdateFixture fixture;
    fixture.defaults.setString(StoredPreferences::lastUpdateCheck.key, QStringLiteral("2025-01-05T10:30:00.000Z"));
    AppUpdateController controller(fixture.service(fixture.server.url("/silent"), {.timeout = 500ms}), ourVersion);
    EXPECT_TRUE(controller.availability().isAvailable());
    EXPECT_TRUE(controller.canCheck());
    // Locale data differ in the space before "AM" (narrow no-break or plain); either reads right.
    EXPECT_EQ(controller.detail().replace(QChar(0x202F), u' '), QStringLiteral("Last checked: Jan 5, 2025, 10:30 AM."));

    controller.checkNow();
    EXPECT_FALSE(controller.canCheck()) << "a check is running";
    EXPECT_EQ(fixture.presentations, 1);
    controller.checkNow();
    EXPECT_EQ(fixture.presentations, 1) << "nothing while a check runs, not even the window hand-over";
    ASSERT_TRUE(QTest::qWaitFor([&] { return controller.canCheck(); }, 10'000)) << "the service's signal refreshes";
    ASSERT_EQ(fixture.shown.size(), 1);
    EXPECT_EQ(fixture.shown[0].state, State::failed);

    controller.setAutomaticChecks(true);
    EXPECT_TRUE(controller.automaticChecks());
    controller.setAutomaticChecks(false);

    fixture.defaults.removeObject(StoredPreferences::lastUpdateCheck.key);
    controller.refresh();
    EXPECT_EQ(controller.detail(), QStringLiteral("Tavlin hasn’t checked for updates yet."));
}

TEST(AppUpdateController, AnUnavailableServiceOffersTheDownloadPageInstead)
{
    QList<QUrl> opened;
    AppUpdateController controller(
        std::make_unique<UnavailableUpdateService>(UpdateAvailability{UpdateAvailability::State::notConfigured, {}}),
        AppUpdateController::version(), [&](const QUrl& url) { opened.append(url); });
    EXPECT_FALSE(controller.canCheck());
    EXPECT_EQ(controller.detail(),
              QStringLiteral("Updates aren’t available in this build. New versions are on the download page."));
    controller.setAutomaticChecks(true);
    EXPECT_FALSE(controller.automaticChecks());
    int presented = 0;
    QObject::connect(&controller.service(), &UpdateService::willPresentWindow, [&] { ++presented; });
    controller.checkNow();
    EXPECT_EQ(presented, 0);
    controller.openDownloadPage();
    EXPECT_EQ(opened, QList<QUrl>{AppUpdateController::downloadPage()});
    EXPECT_TRUE(AppUpdateController::downloadPage().isValid());
    EXPECT_FALSE(AppUpdateController::downloadPage().isRelative());

    AppUpdateController failed(
        std::make_unique<UnavailableUpdateService>(UpdateAvailability::failed(QStringLiteral("no network stack"))),
        QStringLiteral("1.0"));
    EXPECT_EQ(failed.detail(), QStringLiteral("Couldn’t start checking for updates: no network stack"));
}

TEST(AppUpdateController, ChoosesTheFeedServiceOnlyWhenInstalledAndConfigured)
{
    TemporaryFolder folder;
    InMemoryDefaults defaults;
    const InstalledApplication installed{QStringLiteral("/usr/share/applications/org.tavlin.Tavlin.desktop"),
                                         QStringLiteral("/usr/bin/tavlin")};
    const QString config = folder.path() + QStringLiteral("/update.conf");
    using S = UpdateAvailability::State;
    EXPECT_EQ(AppUpdateController::makeService(std::nullopt, false, defaults, config)->availability().state,
              S::unsupported);
    EXPECT_EQ(AppUpdateController::makeService(installed, true, defaults, config)->availability().state,
              S::unsupported);
    EXPECT_EQ(AppUpdateController::makeService(installed, false, defaults, config)->availability().state,
              S::notConfigured);
    writeFile(config, "SUFeedURL=http://example.org/feed\nSUPublicEDKey=" + key32.toLatin1() + "\n");
    EXPECT_EQ(AppUpdateController::makeService(installed, false, defaults, config)->availability().state,
              S::notConfigured);
    writeFile(config, "SUFeedURL=https://example.org/feed\nSUPublicEDKey=" + key32.toLatin1() + "\n");
    EXPECT_EQ(AppUpdateController::makeService(installed, false, defaults, config)->availability().state, S::available);
    EXPECT_EQ(AppUpdateController::version(), QStringLiteral(TAVLIN_EXPECTED_VERSION));
}
