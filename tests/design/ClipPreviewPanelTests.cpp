#include "DesignTestSupport.h"

#include "ClipPreviewPanel.h"
#include "ElidedLabel.h"
#include "FakeApplicationIconImages.h"
#include "FakeWorkspace.h"
#include "SourceApplicationIcon.h"
#include "StoredPlaceholder.h"
#include "TavlinTheme.h"
#include "ThemedWindow.h"

#include <QAbstractButton>
#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace tavlin {
namespace {

using test::sampleRecord;

const QSize panelSize(440, 640);

// Records what the desktop was asked to open.
class OpenedURLs : public QObject {
    Q_OBJECT
public:
    OpenedURLs()
    {
        for (const char* scheme : {"http", "https", "file"})
            QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), this, "open");
    }
    ~OpenedURLs() override
    {
        for (const char* scheme : {"http", "https", "file"})
            QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));
    }
    QList<QUrl> urls;
public Q_SLOTS:
    void open(const QUrl& url) { urls.append(url); }
};

class ClipPreviewPanelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        QImage icon(64, 64, QImage::Format_ARGB32);
        icon.fill(QColor(0x3D8BFD));
        icon.save(folder.filePath(QStringLiteral("editor.png")));
        workspace.install({QStringLiteral("org.example.Editor"), QStringLiteral("Text Editor"),
                           folder.filePath(QStringLiteral("editor.png")),
                           QStringLiteral("/usr/share/applications/org.example.Editor.desktop")});
        workspace.install({QStringLiteral("org.example.Sketch"),
                           QStringLiteral("Sketch.app Helper"),
                           {},
                           QStringLiteral("/usr/share/applications/org.example.Sketch.desktop")});
    }

    ClipPreviewPanel* show(test::ThemedWindow& window, const Clip& clip, const ClipPreview& preview,
                           const std::optional<ClipMetadata>& metadata, bool copied = false)
    {
        auto* panel = new ClipPreviewPanel(
            sources, clip, preview, QImage::fromData(preview.data), metadata, copied, [this] { ++copies; },
            [this] { ++favorites; }, [this] { ++deletions; });
        return window.hold(panel, panelSize + QSize(2 * window.margin, 2 * window.margin));
    }

    QString existingFile()
    {
        // A long folder name, so that a narrow panel has a folder to shorten whatever the random
        // name of the temporary folder.
        QDir(folder.path()).mkdir(QStringLiteral("Finance department reports"));
        const QString path = folder.filePath(QStringLiteral("Finance department reports/Quarterly report.pdf"));
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write("%PDF-1.4");
        return path;
    }

    QTemporaryDir folder;
    test::FakeWorkspace workspace;
    test::FakeApplicationIconImages icons;
    SourceApplicationIcon sources{workspace, icons};
    int copies = 0;
    int favorites = 0;
    int deletions = 0;
};

TEST_F(ClipPreviewPanelTest, ShortPlainTextGetsACompactContentArea)
{
    const QString short239(239, u'a');
    const QString long240(240, u'a');
    EXPECT_TRUE(
        ClipPreviewPanel::compactContentHeight(sampleRecord(ClipKind::text, short239), ClipPreview::text(), 400));
    EXPECT_FALSE(
        ClipPreviewPanel::compactContentHeight(sampleRecord(ClipKind::text, long240), ClipPreview::text(), 400));
    // Characters, not UTF-16 units: 239 flags are 239 characters.
    QString flags;
    for (int i = 0; i < 239; ++i)
        flags += QStringLiteral("🇳🇴");
    EXPECT_TRUE(ClipPreviewPanel::compactContentHeight(sampleRecord(ClipKind::text, flags), ClipPreview::text(), 400));
    EXPECT_FALSE(ClipPreviewPanel::compactContentHeight(sampleRecord(ClipKind::text, QStringLiteral("let a = 1")),
                                                        ClipPreview::text(), 400));
    EXPECT_FALSE(ClipPreviewPanel::compactContentHeight(sampleRecord(ClipKind::text, QStringLiteral("hi")),
                                                        ClipPreview::image("png"), 400));
    EXPECT_FALSE(ClipPreviewPanel::compactContentHeight(
        sampleRecord(ClipKind::richText, QStringLiteral("hi")),
        ClipPreview::richText("{\\rtf1 hi}", QStringLiteral("public.rtf")), 400));
    EXPECT_FALSE(ClipPreviewPanel::compactContentHeight(sampleRecord(ClipKind::file, QStringLiteral("a.txt")),
                                                        ClipPreview::text(), 400));
}

// A picture, however small, is scaled to the panel's width (at most 350 high) with its pixel size
// whole under it; a wide strip keeps its shape.
TEST_F(ClipPreviewPanelTest, APictureFillsTheWidthWithItsSizeWholeUnderIt)
{
    for (const QSize pixels : {QSize(1, 1), QSize(16, 16), QSize(10000, 100), QSize(640, 480)}) {
        QImage image(pixels, QImage::Format_RGB32);
        image.fill(Qt::darkGreen);
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        ClipMetadata metadata;
        metadata.pixelWidth = pixels.width();
        metadata.pixelHeight = pixels.height();
        test::ThemedWindow window;
        ClipPreviewPanel* panel = show(window, sampleRecord(ClipKind::image, StoredPlaceholder::image()),
                                       ClipPreview::image(png), metadata);
        const auto* label = panel->findChild<QWidget*>(QStringLiteral("clip-dimensions"));
        ASSERT_TRUE(label);
        const QWidget* picture = nullptr;
        for (const QWidget* child : panel->findChildren<QWidget*>())
            picture = child->accessibleName() == u"Image preview" ? child : picture;
        ASSERT_TRUE(picture);
        const QSize shown = pixels.scaled(picture->width(), 350, Qt::KeepAspectRatio);
        const std::string name = std::to_string(pixels.width()) + "x" + std::to_string(pixels.height());
        EXPECT_EQ(picture->height(), shown.height()) << name;
        EXPECT_EQ(label->height(), label->sizeHint().height()) << name;
        EXPECT_GE(label->y(), picture->geometry().bottom()) << name;
    }
}

TEST_F(ClipPreviewPanelTest, CompactHeightGrowsWithTheTextAndCapsLinks)
{
    const auto height = [](ClipKind kind, const QString& text, int width) {
        return *ClipPreviewPanel::compactContentHeight(sampleRecord(kind, text), ClipPreview::text(), width);
    };
    const QString sentence = QStringLiteral("A short note that wraps onto more lines when the panel is narrow.");
    EXPECT_GT(height(ClipKind::text, sentence, 120), height(ClipKind::text, sentence, 800));
    EXPECT_EQ(height(ClipKind::link, QStringLiteral("https://example.org/") + QString(3000, u'x'), 300), 220);
    EXPECT_LT(height(ClipKind::link, QStringLiteral("https://example.org"), 300), 220);
    // However long the address: a link is a link.
    EXPECT_EQ(height(ClipKind::link, QStringLiteral("https://example.org/") + QString(20000, u'x'), 300), 220);
}

TEST_F(ClipPreviewPanelTest, WebAddresses)
{
    const auto url = [](const char* text) {
        return ClipPreviewPanel::webURL(sampleRecord(ClipKind::link, QString::fromUtf8(text)));
    };
    EXPECT_TRUE(url("https://example.org/path"));
    EXPECT_TRUE(url("HTTP://EXAMPLE.ORG"));
    EXPECT_FALSE(url("ftp://example.org/file"));
    EXPECT_FALSE(url("https:///no-host"));
    EXPECT_FALSE(url("example.org"));

    OpenedURLs opened;
    test::ThemedWindow window;
    ClipPreviewPanel* panel = show(window, sampleRecord(ClipKind::link, QStringLiteral("HTTPS://Example.org/a")),
                                   ClipPreview::text(), std::nullopt);
    auto* open = panel->findChild<QAbstractButton*>(QStringLiteral("open-in-browser"));
    ASSERT_TRUE(open);
    QTest::mouseClick(open, Qt::LeftButton);
    ASSERT_EQ(opened.urls.size(), 1);
    EXPECT_EQ(opened.urls.first().host(), QStringLiteral("example.org"));

    test::ThemedWindow other;
    ClipPreviewPanel* ftp = show(other, sampleRecord(ClipKind::link, QStringLiteral("ftp://example.org/file")),
                                 ClipPreview::text(), std::nullopt);
    EXPECT_FALSE(ftp->findChild<QAbstractButton*>(QStringLiteral("open-in-browser")));
}

TEST_F(ClipPreviewPanelTest, OneBlockPerFileInStoredOrder)
{
    ClipMetadata metadata;
    metadata.filePaths = {existingFile(), QStringLiteral("/nowhere/b.txt"), QStringLiteral("/nowhere/c")};
    test::ThemedWindow window;
    ClipPreviewPanel* panel = show(window, sampleRecord(ClipKind::file, StoredPlaceholder::files(3)),
                                   ClipPreview::text(), metadata);
    const QList<QWidget*> blocks = panel->findChildren<QWidget*>(QStringLiteral("file-details"));
    ASSERT_EQ(blocks.size(), 3);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(blocks[i]->property("path").toString(), metadata.filePaths[i]);
    // Files that are gone say so instead of offering buttons.
    EXPECT_TRUE(blocks[0]->findChild<QAbstractButton*>(QStringLiteral("open-file")));
    EXPECT_FALSE(blocks[0]->findChild<QWidget*>(QStringLiteral("file-missing")));
    EXPECT_FALSE(blocks[1]->findChild<QAbstractButton*>(QStringLiteral("open-file")));
    EXPECT_TRUE(blocks[1]->findChild<QWidget*>(QStringLiteral("file-missing")));
    EXPECT_EQ(ClipPreviewPanel::fileTypeLine(QStringLiteral("/a/report.pdf")), QStringLiteral("Type: PDF"));
    EXPECT_EQ(ClipPreviewPanel::fileTypeLine(QStringLiteral("/nowhere/c")), QStringLiteral("File"));

    test::ThemedWindow bare;
    ClipPreviewPanel* withoutMetadata = show(bare, sampleRecord(ClipKind::file, QStringLiteral("a.txt")),
                                             ClipPreview::text(), std::nullopt);
    EXPECT_TRUE(withoutMetadata->findChildren<QWidget*>(QStringLiteral("file-details")).isEmpty());
}

// A copy of a thousand files shows its first blocks at once and the others as the view is
// scrolled towards them, still one per file in order: building them all would stop the window
// for seconds.
TEST_F(ClipPreviewPanelTest, ManyFilesAreBuiltAsTheViewNearsThem)
{
    ClipMetadata metadata;
    for (int i = 0; i < 1000; ++i)
        metadata.filePaths.append(QStringLiteral("/nowhere/photos/IMG_%1.jpg").arg(i, 5, 10, QLatin1Char('0')));
    test::ThemedWindow window;
    ClipPreviewPanel* panel = show(window, sampleRecord(ClipKind::file, StoredPlaceholder::files(1000)),
                                   ClipPreview::text(), metadata);
    auto* scroll = panel->findChild<QScrollArea*>();
    ASSERT_TRUE(scroll);
    const auto blocks = [panel] { return panel->findChildren<QWidget*>(QStringLiteral("file-details")); };
    ASSERT_LT(blocks().size(), 100);
    // Enough to fill the view and scroll.
    EXPECT_GT(blocks().last()->mapTo(scroll->viewport(), QPoint(0, 0)).y(), scroll->viewport()->height());

    QScrollBar* bar = scroll->verticalScrollBar();
    for (int step = 0; step < 1000 && blocks().size() < 1000; ++step) {
        bar->setValue(bar->maximum());
        test::ThemedWindow::settle();
    }
    const QList<QWidget*> all = blocks();
    ASSERT_EQ(all.size(), 1000);
    for (int i = 0; i < 1000; ++i)
        EXPECT_EQ(all[i]->property("path").toString(), metadata.filePaths[i]);

    // Tab from the last block built goes on to the next file's buttons, built for it, before the
    // panel's own actions.
    ClipMetadata present;
    for (int i = 0; i < 60; ++i)
        present.filePaths.append(existingFile());
    test::ThemedWindow other;
    ClipPreviewPanel* files = show(other, sampleRecord(ClipKind::file, StoredPlaceholder::files(60)),
                                   ClipPreview::text(), present);
    const QList<QWidget*> first = files->findChildren<QWidget*>(QStringLiteral("file-details"));
    ASSERT_LT(first.size(), 60);
    first.last()->findChild<QAbstractButton*>(QStringLiteral("open-file"))->setFocus(Qt::TabFocusReason);
    for (const char* expected : {"show-in-folder", "open-file"}) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        test::ThemedWindow::settle();
        EXPECT_EQ(QApplication::focusWidget()->objectName().toStdString(), expected);
    }
    const QWidget* block = QApplication::focusWidget();
    while (block && block->objectName() != u"file-details")
        block = block->parentWidget();
    ASSERT_TRUE(block);
    EXPECT_EQ(files->findChildren<QWidget*>(QStringLiteral("file-details")).indexOf(block), first.size());
}

TEST_F(ClipPreviewPanelTest, FileButtonsCheckAgainWhenPressed)
{
    const QString path = existingFile();
    ClipMetadata metadata;
    metadata.filePaths = {path};
    OpenedURLs opened;
    test::ThemedWindow window;
    ClipPreviewPanel* panel = show(window, sampleRecord(ClipKind::file, QStringLiteral("Quarterly report.pdf")),
                                   ClipPreview::text(), metadata);
    QTest::mouseClick(panel->findChild<QAbstractButton*>(QStringLiteral("open-file")), Qt::LeftButton);
    ASSERT_EQ(opened.urls.size(), 1);
    EXPECT_EQ(opened.urls.first(), QUrl::fromLocalFile(path));

    QTest::mouseClick(panel->findChild<QAbstractButton*>(QStringLiteral("show-in-folder")), Qt::LeftButton);
    EXPECT_EQ(workspace.shownItems, QList<QList<QUrl>>({{QUrl::fromLocalFile(path)}}));

    QFile::remove(path);
    QTest::mouseClick(panel->findChild<QAbstractButton*>(QStringLiteral("open-file")), Qt::LeftButton);
    QTest::mouseClick(panel->findChild<QAbstractButton*>(QStringLiteral("show-in-folder")), Qt::LeftButton);
    EXPECT_EQ(opened.urls.size(), 1);
    EXPECT_EQ(workspace.shownItems.size(), 1);
}

TEST_F(ClipPreviewPanelTest, SourceNames)
{
    EXPECT_EQ(ClipPreviewPanel::sourceName(sampleRecord(ClipKind::text, {}, std::nullopt), sources),
              QStringLiteral("Unknown source"));
    EXPECT_EQ(
        ClipPreviewPanel::sourceName(sampleRecord(ClipKind::text, {}, QStringLiteral("org.example.Gone")), sources),
        QStringLiteral("org.example.Gone"));
    EXPECT_EQ(ClipPreviewPanel::sourceName(sampleRecord(ClipKind::text, {}), sources), QStringLiteral("Text Editor"));
    // A name keeps an ".app" in its middle.
    EXPECT_EQ(
        ClipPreviewPanel::sourceName(sampleRecord(ClipKind::text, {}, QStringLiteral("org.example.Sketch")), sources),
        QStringLiteral("Sketch.app Helper"));
}

TEST_F(ClipPreviewPanelTest, CountsBesideALongSourceNameAreCutOnlyAtTheirEnd)
{
    test::ThemedWindow window(false);
    ClipMetadata counts;
    counts.characterCount = 500000;
    counts.lineCount = 3650;
    auto* panel = new ClipPreviewPanel(
        sources, sampleRecord(ClipKind::text, QStringLiteral("x"), QStringLiteral("org.example.AVeryLongIdentifier")),
        ClipPreview::text(), {}, counts, false, {}, {}, {});
    window.hold(panel, QSize(300, 640));
    test::ThemedWindow::settle();
    const QString shown = panel->findChild<ElidedLabel*>(QStringLiteral("clip-footer"))->shownText();
    EXPECT_TRUE(shown.startsWith(QStringLiteral("3650 lines · 5"))) << shown.toStdString();
}

// Tabbed to, the preview's text is ringed whole, with room between the ring and the text's first
// glyph and caret.
TEST_F(ClipPreviewPanelTest, TheTextsFocusRingStandsClearOfItsText)
{
    test::ThemedWindow window(false);
    auto* panel = new ClipPreviewPanel(sources,
                                       sampleRecord(ClipKind::text, QStringLiteral("Meet at the Lighthouse café")),
                                       ClipPreview::text(), {}, {}, false, {}, {}, {});
    window.hold(panel, QSize(300, 640));
    auto* text = panel->findChild<QWidget*>(QStringLiteral("plain-text"));
    ASSERT_TRUE(text);
    window.window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window.window));
    text->clearFocus();
    text->setFocus(Qt::TabFocusReason);
    test::ThemedWindow::settle();
    const QImage image = window.window.grab().toImage();
    const QRect box(text->mapTo(&window.window, QPoint()), text->size());
    const QColor ring = TavlinTheme::focusColor.resolve(Appearance::light());
    const auto ringIn = [&](const QRect& area) {
        for (int y = area.top(); y <= area.bottom(); ++y) {
            for (int x = area.left(); x <= area.right(); ++x) {
                const QColor seen = image.pixelColor(x, y);
                if (std::abs(seen.red() - ring.red()) + std::abs(seen.green() - ring.green())
                        + std::abs(seen.blue() - ring.blue())
                    < 60)
                    return true;
            }
        }
        return false;
    };
    const int middle = box.center().y();
    EXPECT_TRUE(ringIn(QRect(box.left() - 8, middle, 6, 1))) << "ringed on its left";
    EXPECT_TRUE(ringIn(QRect(box.center().x(), box.top() - 8, 1, 6))) << "ringed above, not cut";
    EXPECT_FALSE(ringIn(QRect(box.left() - 2, box.top() - 2, 2, box.height() + 4))) << "touching the text";
    EXPECT_FALSE(ringIn(QRect(box.left(), box.top() - 2, box.width(), 2))) << "touching the text";
}

TEST_F(ClipPreviewPanelTest, ANarrowPanelKeepsTheSourceNameAndEveryFileButtonWhole)
{
    test::ThemedWindow window(false);
    ClipMetadata metadata;
    metadata.filePaths = {existingFile()};
    const test::ScopedLanguage russian(QStringLiteral("ru"));
    auto* panel = new ClipPreviewPanel(sources, sampleRecord(ClipKind::file, QStringLiteral("Quarterly report.pdf")),
                                       ClipPreview::text(), {}, metadata, false, {}, {}, {});
    window.hold(panel, QSize(260, 640));
    test::ThemedWindow::settle();
    const auto* source = panel->findChild<ElidedLabel*>(QStringLiteral("source-name"));
    EXPECT_EQ(source->shownText(), QStringLiteral("Text Editor"));
    const auto* footer = panel->findChild<ElidedLabel*>(QStringLiteral("clip-footer"));
    EXPECT_NE(footer->shownText(), footer->text()) << "the folder yields";
    for (const char* name : {"open-file", "show-in-folder"}) {
        const auto* pill = panel->findChild<QAbstractButton*>(QLatin1String(name));
        const QRect shown(pill->mapTo(panel, QPoint()), pill->size());
        EXPECT_TRUE(panel->rect().adjusted(0, 0, -24, 0).contains(shown))
            << name << " clear of the edge and the scroll bar";
        EXPECT_EQ(pill->height(), 32);
    }
}

TEST_F(ClipPreviewPanelTest, NarrowRussianPanelKeepsBothActionsWhole)
{
    test::ScopedLanguage russian(QStringLiteral("ru"));
    test::ThemedWindow window;
    Clip clip = sampleRecord(ClipKind::text, QStringLiteral("Short note"));
    clip.isFavorite = true;
    // As narrow as the history window's smallest size makes it, below the panel's own minimum.
    auto* host = window.hold(new QWidget, QSize(400, 400));
    auto* panel = new ClipPreviewPanel(sources, clip, ClipPreview::text(), {}, std::nullopt, false, {}, {}, {});
    panel->setParent(host);
    panel->setGeometry(0, 0, 270, 340);
    panel->show();
    test::ThemedWindow::settle();
    auto* favorite = panel->findChild<QAbstractButton*>(QStringLiteral("favorite-clip"));
    auto* copy = panel->findChild<QAbstractButton*>(QStringLiteral("copy-clip"));
    EXPECT_GE(favorite->width(), favorite->sizeHint().width());
    EXPECT_GE(copy->width(), copy->sizeHint().width());
    EXPECT_LE(favorite->geometry().right(), copy->geometry().left());
    EXPECT_TRUE(favorite->text().isEmpty()) << "the star alone";
    EXPECT_EQ(favorite->accessibleName(), QStringLiteral("Убрать из избранного"));
    EXPECT_EQ(favorite->toolTip(), favorite->accessibleName());
}

TEST_F(ClipPreviewPanelTest, ActionsReachTheHost)
{
    test::ThemedWindow window;
    Clip clip = sampleRecord(ClipKind::text, QStringLiteral("Short note"));
    clip.isFavorite = true;
    ClipPreviewPanel* panel = show(window, clip, ClipPreview::text(), std::nullopt);
    auto* favorite = panel->findChild<QAbstractButton*>(QStringLiteral("favorite-clip"));
    EXPECT_EQ(favorite->text(), QStringLiteral("Unfavorite"));
    // Never cut.
    EXPECT_GE(favorite->width(), favorite->sizeHint().width());
    QTest::mouseClick(favorite, Qt::LeftButton);
    QTest::mouseClick(panel->findChild<QAbstractButton*>(QStringLiteral("copy-clip")), Qt::LeftButton);
    EXPECT_EQ(favorites, 1);
    EXPECT_EQ(copies, 1);
    EXPECT_EQ(deletions, 0);
}

TEST_F(ClipPreviewPanelTest, CtrlCCopiesTheSelectionWithTheRecordsOwnLineBreaksElseTheRecord)
{
    // Every kind of line break a record may hold, in a short text and in a long one.
    const QString breaks = QStringLiteral("one\r\ntwo\rthree\u2028four\u2029five\nsix");
    QString longText = breaks;
    while (longText.size() < 9000)
        longText += QStringLiteral("\r\nA longer line of the record, ") + breaks;
    int expected = 0;
    for (const QString& text : {breaks, longText}) {
        test::ThemedWindow window;
        ClipPreviewPanel* panel = show(window, sampleRecord(ClipKind::text, text), ClipPreview::text(), std::nullopt);
        window.window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window.window));
        auto* shown = panel->findChild<QWidget*>(QStringLiteral("plain-text"));
        ASSERT_TRUE(shown);
        QApplication::clipboard()->clear();

        // Nothing selected: the record is copied.
        shown->setFocus();
        QTest::keyClick(shown, Qt::Key_C, Qt::ControlModifier);
        ++expected;
        EXPECT_TRUE(QTest::qWaitFor([&] { return copies == expected; }, 10000));

        QTest::keyClick(shown, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(shown, Qt::Key_C, Qt::ControlModifier);
        // The copy button answers its shortcut a moment later, when it answers it.
        QTest::qWait(300);
        EXPECT_EQ(copies, expected) << "the selection is copied, not the record";
        EXPECT_EQ(QApplication::clipboard()->text(), text);
    }
}

} // namespace
} // namespace tavlin

#include "ClipPreviewPanelTests.moc"
