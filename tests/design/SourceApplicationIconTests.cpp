#include "DesignTestSupport.h"

#include "ClipPreviewPanel.h"
#include "FakeWorkspace.h"
#include "SourceApplicationIcon.h"
#include "SourceApplicationNameLabel.h"
#include "SourceIconView.h"
#include "ThemedWindow.h"

#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

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
    const auto value = sources.resolve(QStringLiteral("org.example.Editor"), ClipKind::text);
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
    const auto value = sources.resolve(QStringLiteral("org.example.Blank"), ClipKind::link);
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
    const auto text = sources.resolve(QStringLiteral("org.example.Editor"), ClipKind::text);
    sources.resolve(QStringLiteral("org.example.Editor"), ClipKind::text);
    EXPECT_EQ(workspace.lookups, 1);
    sources.resolve(QStringLiteral("org.example.Editor"), ClipKind::link);
    EXPECT_EQ(workspace.lookups, 2);
    // A cached value outlives a change on the desktop until the cache drops it.
    workspace.applications.clear();
    EXPECT_EQ(sources.resolve(QStringLiteral("org.example.Editor"), ClipKind::text), text);
}

TEST_F(SourceApplicationIconTest, TheCacheKeepsAtMost32Entries)
{
    const auto first = sources.resolve(QStringLiteral("org.example.Editor"), ClipKind::text);
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
    auto* icon = window.hold(new SourceIconView(sources.resolve(QStringLiteral("org.example.Editor"), ClipKind::text)));
    EXPECT_EQ(icon->toolTip(), QStringLiteral("Editor"));

    auto* label = window.hold(
        new SourceApplicationNameLabel(QStringLiteral("A very long application name that cannot fit")));
    label->setFixedWidth(80);
    test::ThemedWindow::settle();
    EXPECT_TRUE(label->shownText().endsWith(u'…'));
    EXPECT_EQ(label->toolTip(), QStringLiteral("A very long application name that cannot fit"));
    EXPECT_EQ(label->accessibleName(), label->toolTip());
}

} // namespace
} // namespace tavlin
