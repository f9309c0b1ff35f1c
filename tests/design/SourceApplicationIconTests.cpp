#include "DesignTestSupport.h"

#include "ClipPreviewPanel.h"
#include "FakeApplicationIconImages.h"
#include "FakeWorkspace.h"
#include "SourceApplicationIcon.h"
#include "SourceApplicationNameLabel.h"
#include "SourceIconView.h"
#include "ThemedWindow.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QIcon>
#include <QImage>
#include <QPainter>
#include <QTest>

#include <gtest/gtest.h>

namespace tavlin {
namespace {

// Counts the lookups that reach the desktop.
class CountingWorkspace : public test::FakeWorkspace {
public:
    mutable int lookups = 0;
    std::optional<ApplicationInfo> application(const QString& id) const override
    {
        ++lookups;
        return FakeWorkspace::application(id);
    }
};

// The value once its icon has been looked for on the worker: the icon, or the kind's symbol.
std::shared_ptr<const SourceApplicationIcon::Value> settled(const SourceApplicationIcon& sources, const QString& id,
                                                            ClipKind kind)
{
    std::shared_ptr<const SourceApplicationIcon::Value> value;
    const QDeadlineTimer deadline(10000);
    do {
        value = sources.resolve(id, kind);
        if (!value->image.isNull() || !value->symbol.isEmpty())
            break;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    } while (!deadline.hasExpired());
    return value;
}

class SourceApplicationIconTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        icons.applications.insert(QStringLiteral("editor"), test::FakeApplicationIconImages::filled(Qt::red));
        workspace.install({QStringLiteral("org.example.Editor"), QStringLiteral("Editor"), QStringLiteral("editor"),
                           QStringLiteral("/usr/share/applications/org.example.Editor.desktop")});
    }

    CountingWorkspace workspace;
    test::FakeApplicationIconImages icons;
    SourceApplicationIcon sources{workspace, icons};
};

TEST_F(SourceApplicationIconTest, AnInstalledApplicationGivesItsIconNameAndEntry)
{
    const auto value = settled(sources, QStringLiteral("org.example.Editor"), ClipKind::text);
    EXPECT_FALSE(value->isFallback());
    EXPECT_EQ(value->name, QStringLiteral("Editor"));
    EXPECT_EQ(value->applicationURL,
              QUrl::fromLocalFile(QStringLiteral("/usr/share/applications/org.example.Editor.desktop")));
    EXPECT_FALSE(value->image.isNull());
    EXPECT_TRUE(value->symbol.isEmpty());
}

TEST_F(SourceApplicationIconTest, AnInstalledApplicationWhoseIconCannotBeDrawnShowsTheKindsSymbol)
{
    workspace.install({QStringLiteral("org.example.Blank"), QStringLiteral("Blank"), QStringLiteral("missing"),
                       QStringLiteral("/usr/share/applications/org.example.Blank.desktop")});
    const auto value = settled(sources, QStringLiteral("org.example.Blank"), ClipKind::link);
    EXPECT_FALSE(value->isFallback()) << "still the installed application";
    EXPECT_EQ(value->name, QStringLiteral("Blank"));
    // Rows, cards and the preview draw the footer icon through the value: not an empty space.
    QImage drawn(18, 18, QImage::Format_ARGB32_Premultiplied);
    drawn.fill(Qt::transparent);
    QPainter painter(&drawn);
    value->paint(painter, QRectF(0, 0, 18, 18), Qt::black);
    painter.end();
    int inked = 0;
    for (int y = 0; y < drawn.height(); ++y) {
        for (int x = 0; x < drawn.width(); ++x)
            inked += qAlpha(drawn.pixel(x, y)) > 0 ? 1 : 0;
    }
    EXPECT_GT(inked, 10);
    EXPECT_EQ(value->symbol, sources.resolve(std::nullopt, ClipKind::link)->symbol);
}

TEST_F(SourceApplicationIconTest, NoSourceAndUninstalledApplicationsFallBackToTheKind)
{
    const auto none = sources.resolve(std::nullopt, ClipKind::link);
    const auto gone = sources.resolve(QStringLiteral("org.example.Gone"), ClipKind::image);
    for (const auto& value : {none, gone}) {
        EXPECT_TRUE(value->isFallback());
        EXPECT_EQ(value->applicationURL, std::nullopt);
    }
    EXPECT_EQ(none->name, QStringLiteral("Unknown source"));
    // As the preview and the Apps filter name it.
    EXPECT_EQ(gone->name, QStringLiteral("org.example.Gone"));
    EXPECT_EQ(gone->name,
              ClipPreviewPanel::sourceName(test::sampleRecord(ClipKind::image, {}, QStringLiteral("org.example.Gone")),
                                           sources));
    EXPECT_NE(none->symbol, gone->symbol) << "each kind has its own symbol";
}

TEST_F(SourceApplicationIconTest, CachedPerApplicationAndKind)
{
    const auto text = settled(sources, QStringLiteral("org.example.Editor"), ClipKind::text);
    workspace.lookups = 0;
    sources.resolve(QStringLiteral("org.example.Editor"), ClipKind::text);
    EXPECT_EQ(workspace.lookups, 0);
    // The icon is decoded once for all kinds.
    EXPECT_FALSE(sources.resolve(QStringLiteral("org.example.Editor"), ClipKind::link)->image.isNull());
    EXPECT_EQ(workspace.lookups, 1);
    // A cached value outlives a change on the desktop until the cache drops it.
    workspace.applications.clear();
    EXPECT_EQ(sources.resolve(QStringLiteral("org.example.Editor"), ClipKind::text), text);
}

// An icon decoded before anyone waited for it (as the fake's are) is announced from the event loop:
// what shows many sources asks for their icons in a loop, which an announcement made inside it
// would run again within itself.
TEST_F(SourceApplicationIconTest, AnIconAlreadyDecodedIsAnnouncedOnceTheAskingIsDone)
{
    bool asking = false;
    int arrivals = 0;
    int announcedWhileAsking = 0;
    QObject::connect(&sources, &SourceApplicationIcon::iconsArrived, [&] {
        ++arrivals;
        announcedWhileAsking += asking ? 1 : 0;
    });
    asking = true;
    EXPECT_EQ(sources.icon(QStringLiteral("editor")), std::nullopt);
    asking = false;
    EXPECT_TRUE(QTest::qWaitFor([&] { return arrivals > 0; }, 10000));
    EXPECT_EQ(announcedWhileAsking, 0);
    EXPECT_FALSE(sources.icon(QStringLiteral("editor"))->isNull());
}

TEST_F(SourceApplicationIconTest, TheCacheKeepsAtMost32Entries)
{
    const auto first = settled(sources, QStringLiteral("org.example.Editor"), ClipKind::text);
    for (int i = 0; i < 40; ++i)
        sources.resolve(QStringLiteral("org.example.App%1").arg(i), ClipKind::text);
    const int before = workspace.lookups;
    // The oldest entry was dropped and is looked up again; the value it held is still valid.
    sources.resolve(QStringLiteral("org.example.Editor"), ClipKind::text);
    EXPECT_EQ(workspace.lookups, before + 1);
    EXPECT_EQ(first->name, QStringLiteral("Editor"));
}

TEST(SourceApplicationName, BlankNamesFallBackToTheDesktopFileName)
{
    ApplicationInfo info{QStringLiteral("org.example.app"),
                         QStringLiteral(" \t"),
                         {},
                         QStringLiteral("/usr/share/applications/org.example.app.desktop")};
    // Only the trailing suffix goes.
    EXPECT_EQ(SourceApplicationIcon::applicationName(info), QStringLiteral("org.example.app"));
    info.name = QStringLiteral("  Padded Name ");
    EXPECT_EQ(SourceApplicationIcon::applicationName(info), QStringLiteral("  Padded Name "));
}

TEST_F(SourceApplicationIconTest, IconViewAndNameLabel)
{
    test::ThemedWindow window;
    auto* icon = window.hold(new SourceIconView(sources, QStringLiteral("org.example.Editor"), ClipKind::text));
    EXPECT_EQ(icon->toolTip(), QStringLiteral("Editor"));
    // The icon it waits for shows once decoded.
    EXPECT_TRUE(QTest::qWaitFor([&] { return !icon->source()->image.isNull(); }, 10000));

    auto* label = window.hold(
        new SourceApplicationNameLabel(QStringLiteral("A very long application name that cannot fit")));
    label->setFixedWidth(80);
    test::ThemedWindow::settle();
    EXPECT_TRUE(label->shownText().endsWith(u'…'));
    EXPECT_EQ(label->toolTip(), QStringLiteral("A very long application name that cannot fit"));
    EXPECT_EQ(label->accessibleName(), label->toolTip());
}

// Icons arrive from the desktop later, as they are decoded on a worker.
TEST_F(SourceApplicationIconTest, EachApplicationGetsItsOwnIconOnceItArrives)
{
    icons.hold = true;
    icons.applications.insert(QStringLiteral("viewer"), test::FakeApplicationIconImages::filled(Qt::blue));
    workspace.install({QStringLiteral("org.example.Viewer"), QStringLiteral("Viewer"), QStringLiteral("viewer"),
                       QStringLiteral("/usr/share/applications/org.example.Viewer.desktop")});
    const QStringList ids{QStringLiteral("org.example.Editor"), QStringLiteral("org.example.Viewer")};
    for (const QString& id : ids) {
        // Until its icon arrives a row shows the application's name and entry beside an empty space.
        const auto waiting = sources.resolve(id, ClipKind::text);
        EXPECT_FALSE(waiting->isFallback());
        EXPECT_EQ(waiting->name, id.section(u'.', -1));
        EXPECT_TRUE(waiting->image.isNull());
        EXPECT_TRUE(waiting->symbol.isEmpty());
    }
    int arrivals = 0;
    QObject::connect(&sources, &SourceApplicationIcon::iconsArrived, [&] { ++arrivals; });
    icons.release();
    EXPECT_TRUE(QTest::qWaitFor([&] { return arrivals > 0; }, 10000));
    const auto centre = [&](const QString& id) {
        return sources.resolve(id, ClipKind::text)->image.pixmap(QSize(18, 18)).toImage().pixelColor(9, 9);
    };
    EXPECT_EQ(centre(ids[0]), QColor(Qt::red));
    EXPECT_EQ(centre(ids[1]), QColor(Qt::blue));
    // Arrived, the value is kept: the rows ask for it at every paint.
    const auto editor = sources.resolve(ids[0], ClipKind::text);
    EXPECT_EQ(sources.resolve(ids[0], ClipKind::text), editor);
    // Every size it is shown at, sharp on a screen of two device pixels a point too.
    EXPECT_EQ(editor->image.availableSizes().size(), SourceApplicationIcon::decodedEdges().size());
}

} // namespace
} // namespace tavlin
