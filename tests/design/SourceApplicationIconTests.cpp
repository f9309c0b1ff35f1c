#include "DesignTestSupport.h"

#include "ClipPreviewPanel.h"
#include "FakeWorkspace.h"
#include "SlowIconFile.h"
#include "SourceApplicationIcon.h"
#include "SourceApplicationNameLabel.h"
#include "SourceIconView.h"
#include "ThemedWindow.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QIcon>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
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
        QImage icon(32, 32, QImage::Format_ARGB32);
        icon.fill(Qt::red);
        iconPath = folder.filePath(QStringLiteral("editor.png"));
        icon.save(iconPath);
        workspace.install({QStringLiteral("org.example.Editor"), QStringLiteral("Editor"), iconPath,
                           QStringLiteral("/usr/share/applications/org.example.Editor.desktop")});
    }

    QTemporaryDir folder;
    QString iconPath;
    CountingWorkspace workspace;
    SourceApplicationIcon sources{workspace};
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
    workspace.install({QStringLiteral("org.example.Blank"), QStringLiteral("Blank"),
                       folder.filePath(QStringLiteral("missing.png")),
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

// Applications whose icons are in an icon theme of the test's own.
class ThemedSourceIconTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        savedPaths_ = QIcon::themeSearchPaths();
        savedTheme_ = QIcon::themeName();
        const QString theme = folder.filePath(QStringLiteral("icons/tavlin-test"));
        QDir().mkpath(theme + QStringLiteral("/48x48/apps"));
        QDir().mkpath(theme + QStringLiteral("/scalable/apps"));
        QFile index(theme + QStringLiteral("/index.theme"));
        index.open(QIODevice::WriteOnly);
        index.write("[Icon Theme]\nName=Test\nDirectories=48x48/apps,scalable/apps\n"
                    "[48x48/apps]\nSize=48\nType=Fixed\n"
                    "[scalable/apps]\nSize=48\nMinSize=8\nMaxSize=512\nType=Scalable\n");
        index.close();
        for (const auto& [name, color] : {std::pair{"editor", Qt::red}, std::pair{"viewer", Qt::blue}}) {
            QImage image(48, 48, QImage::Format_ARGB32);
            image.fill(color);
            image.save(theme + QStringLiteral("/48x48/apps/%1.png").arg(QString::fromLatin1(name)));
        }
        QFile svg(theme + QStringLiteral("/scalable/apps/player.svg"));
        svg.open(QIODevice::WriteOnly);
        svg.write("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"48\" height=\"48\">"
                  "<rect width=\"48\" height=\"48\" fill=\"#00ff00\"/></svg>");
        svg.close();
        slowIcon = theme + QStringLiteral("/48x48/apps/slow.png");
        QIcon::setThemeSearchPaths({folder.filePath(QStringLiteral("icons"))});
        QIcon::setThemeName(QStringLiteral("tavlin-test"));
        for (const char* name : {"editor", "viewer", "player", "slow"}) {
            const QString id = QStringLiteral("org.example.") + QString::fromLatin1(name);
            workspace.install({id, QString::fromLatin1(name).toUpper(), QString::fromLatin1(name),
                               QStringLiteral("/usr/share/applications/%1.desktop").arg(id)});
        }
    }
    void TearDown() override
    {
        QIcon::setThemeSearchPaths(savedPaths_);
        QIcon::setThemeName(savedTheme_);
    }

    // Runs the event loop until every source has its icon or the deadline passes.
    std::map<QString, std::shared_ptr<const SourceApplicationIcon::Value>> arrived(const QStringList& ids)
    {
        std::map<QString, std::shared_ptr<const SourceApplicationIcon::Value>> values;
        const QDeadlineTimer deadline(10000);
        while (!deadline.hasExpired()) {
            bool all = true;
            for (const QString& id : ids) {
                values[id] = sources.resolve(id, ClipKind::text);
                all = all && !values[id]->image.isNull();
            }
            if (all)
                break;
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        }
        return values;
    }

    static QColor centre(const SourceApplicationIcon::Value& value)
    {
        return value.image.pixmap(QSize(18, 18)).toImage().pixelColor(9, 9);
    }

    QTemporaryDir folder;
    QString slowIcon;
    test::FakeWorkspace workspace;
    SourceApplicationIcon sources{workspace};

private:
    QStringList savedPaths_;
    QString savedTheme_;
};

TEST_F(ThemedSourceIconTest, EachApplicationGetsItsOwnIconDecodedOnAWorker)
{
    // A theme's icon that is a pipe is never opened, on any thread: nothing would say when it ends.
    test::SlowIconFile icon(slowIcon, Qt::yellow);
    ASSERT_TRUE(icon.made());
    const auto waiting = sources.resolve(QStringLiteral("org.example.slow"), ClipKind::text);
    // Until its icon arrives a row shows the application's name and entry beside an empty space.
    EXPECT_EQ(waiting->name, QStringLiteral("SLOW"));
    EXPECT_FALSE(waiting->isFallback());
    EXPECT_TRUE(waiting->image.isNull());
    EXPECT_TRUE(waiting->symbol.isEmpty());

    int arrivals = 0;
    QObject::connect(&sources, &SourceApplicationIcon::iconsArrived, [&] { ++arrivals; });
    const QStringList ids{QStringLiteral("org.example.editor"), QStringLiteral("org.example.viewer"),
                          QStringLiteral("org.example.player")};
    const auto values = arrived(ids);
    EXPECT_GE(arrivals, 1);
    EXPECT_EQ(centre(*values.at(ids[0])), QColor(Qt::red));
    EXPECT_EQ(centre(*values.at(ids[1])), QColor(Qt::blue));
    EXPECT_EQ(centre(*values.at(ids[2])), QColor(Qt::green)) << "an SVG icon, drawn";
    for (const QString& id : ids) {
        EXPECT_EQ(values.at(id)->name, id.section(u'.', -1).toUpper());
        // Arrived, the value is kept: the rows ask for it at every paint.
        EXPECT_EQ(sources.resolve(id, ClipKind::text), values.at(id));
    }
    // Every size it is shown at, sharp on a screen of two device pixels a point too.
    EXPECT_EQ(values.at(ids[0])->image.availableSizes().size(), SourceApplicationIcon::decodedEdges().size());

    const auto slow = settled(sources, QStringLiteral("org.example.slow"), ClipKind::text);
    EXPECT_EQ(slow->symbol, sources.resolve(std::nullopt, ClipKind::text)->symbol);
    EXPECT_TRUE(icon.release()) << "the pipe was read";
}

TEST_F(ThemedSourceIconTest, AnIconFoundNowhereShowsTheKindsSymbolOnceLookedFor)
{
    workspace.install({QStringLiteral("org.example.blank"), QStringLiteral("Blank"), QStringLiteral("nowhere"),
                       QStringLiteral("/usr/share/applications/org.example.blank.desktop")});
    std::shared_ptr<const SourceApplicationIcon::Value> value;
    const QDeadlineTimer deadline(10000);
    while (!deadline.hasExpired()) {
        value = sources.resolve(QStringLiteral("org.example.blank"), ClipKind::link);
        if (!value->symbol.isEmpty())
            break;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    EXPECT_EQ(value->symbol, sources.resolve(std::nullopt, ClipKind::link)->symbol);
    EXPECT_EQ(value->name, QStringLiteral("Blank"));
    EXPECT_FALSE(value->isFallback());
}

} // namespace
} // namespace tavlin
