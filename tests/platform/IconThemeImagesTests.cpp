#include "IconThemeImages.h"
#include "SlowIconFile.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QThread>
#include <QThreadPool>
#include <QtEndian>

#include <gtest/gtest.h>

#include <algorithm>

namespace tavlin {
namespace {

QByteArray png(QSize size, QColor colour)
{
    QImage image(size, QImage::Format_ARGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

class IconThemeImagesTest : public ::testing::Test {
protected:
    QString write(const QString& name, const QByteArray& bytes)
    {
        QFile file(folder.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return file.fileName();
    }
    QList<QImage> load(const QString& path) { return IconThemeImages::load(path, {}, {18, 36}); }

    QTemporaryDir folder;
};

TEST_F(IconThemeImagesTest, AnOrdinaryIconIsDecodedAtEachEdgeShown)
{
    const QList<QImage> images = load(write(QStringLiteral("wide.png"), png({512, 256}, Qt::red)));
    ASSERT_EQ(images.size(), 2);
    EXPECT_EQ(images[0].size(), QSize(18, 9));
    EXPECT_EQ(images[1].size(), QSize(36, 18));
    EXPECT_EQ(images[1].pixelColor(18, 9), QColor(Qt::red));
}

// What no icon is gives no images, so that the kind's symbol stands in, and is neither waited on
// nor decoded whole.
TEST_F(IconThemeImagesTest, WhatNoIconIsGivesNothing)
{
    const QString pipe = folder.filePath(QStringLiteral("pipe.png"));
    test::SlowIconFile slow(pipe, Qt::yellow);
    ASSERT_TRUE(slow.made());
    EXPECT_TRUE(load(pipe).isEmpty());
    EXPECT_TRUE(slow.release()) << "the pipe was read";

    // An icon followed by more bytes than any icon has.
    QByteArray padded = png({64, 64}, Qt::red);
    padded.append(QByteArray(IconThemeImages::maximumFileBytes, '\0'));
    EXPECT_TRUE(load(write(QStringLiteral("padded.png"), padded)).isEmpty());

    // A few kilobytes that a decoder would make into 36 MB before scaling them down.
    const QByteArray bomb = png({3000, 3000}, Qt::red);
    ASSERT_LT(bomb.size(), 1 << 20);
    EXPECT_TRUE(load(write(QStringLiteral("bomb.png"), bomb)).isEmpty());

    // An ICO whose directory says 256 by 256 of a PNG it holds of 3000 by 3000.
    QByteArray ico("\0\0\1\0\1\0\0\0\0\0\1\0\x20\0", 14);
    const auto little = [](quint32 value) {
        QByteArray bytes(4, '\0');
        qToLittleEndian(value, bytes.data());
        return bytes;
    };
    ico += little(quint32(bomb.size())) + little(22) + bomb;
    EXPECT_TRUE(load(write(QStringLiteral("bomb.ico"), ico)).isEmpty());

    // An SVG that takes long to draw: hundreds of strokes, each of hundreds of dashes.
    QByteArray dashes = "<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 48 48\">";
    for (int i = 0; i < 200; ++i)
        dashes += "<circle cx=\"24\" cy=\"24\" r=\"20\" stroke=\"#000\" stroke-dasharray=\"0.1\" fill=\"none\"/>";
    EXPECT_TRUE(load(write(QStringLiteral("dashes.svg"), dashes + "</svg>")).isEmpty());

    EXPECT_TRUE(load(folder.path()).isEmpty()) << "a folder";
}

// Icon editors write "stroke-dasharray:none" on every path they save (xterm's icons): a stroke
// is dashed only by lengths, whether an attribute, a style or a style sheet gives them.
TEST_F(IconThemeImagesTest, AnSvgThatSaysItHasNoDashesIsDrawn)
{
    QByteArray solid = "<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 48 48\">"
                       "<style>circle { stroke-dasharray: 0 0 }</style>";
    for (int i = 0; i < 100; ++i)
        solid += "<circle cx=\"24\" cy=\"24\" r=\"20\" fill=\"#0000ff\" stroke=\"#000\" stroke-dasharray=\"none\" "
                 "style=\"stroke-dasharray:none;stroke-width:1\"/>";
    solid += "</svg>";
    EXPECT_EQ(load(write(QStringLiteral("solid.svg"), solid)).size(), 2);
    EXPECT_TRUE(load(write(QStringLiteral("styled.svg"), QByteArray(solid).replace("dasharray:none", "dasharray: .1")))
                    .isEmpty());
}

QByteArray svg(const char* width, const char* height)
{
    return QByteArray("<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 ") + width + ' ' + height
        + "\"><rect width=\"" + width + "\" height=\"" + height + "\" fill=\"#0000ff\"/></svg>";
}

TEST_F(IconThemeImagesTest, AnSvgIsDrawnAtTheEdgeShownWhateverItsViewBox)
{
    const QList<QImage> huge = load(write(QStringLiteral("huge.svg"), svg("1e9", "1e9")));
    ASSERT_EQ(huge.size(), 2);
    EXPECT_EQ(huge[0].size(), QSize(18, 18));
    EXPECT_EQ(huge[1].size(), QSize(36, 36));
    EXPECT_EQ(huge[1].pixelColor(18, 18), QColor(Qt::blue));

    // Larger than Qt's SVG reader takes, or of proportions no icon has: nothing to draw.
    EXPECT_TRUE(load(write(QStringLiteral("vast.svg"), svg("1e12", "1e12"))).isEmpty());
    EXPECT_TRUE(load(write(QStringLiteral("thread.svg"), svg("1e9", "1"))).isEmpty());
}

// A name a theme lacks is looked for less its last dash-separated part in that theme before those
// it inherits, as QIcon looks; of several names the first found is shown, and none found shows none.
// Each size comes from the file drawn closest to it, never enlarged.
TEST_F(IconThemeImagesTest, ThemeNamesAreFoundAsQIconFindsThem)
{
    for (const auto& [theme, inherits] : {std::pair{"own", "parent"}, std::pair{"parent", "hicolor"}}) {
        for (const char* size : {"32", "48"})
            ASSERT_TRUE(QDir(folder.path()).mkpath(QStringLiteral("%1/%2x%2/mimetypes").arg(theme, size)));
        write(QStringLiteral("%1/index.theme").arg(QLatin1String(theme)),
              QByteArray("[Icon Theme]\nName=Test\nInherits=") + inherits
                  + "\nDirectories=32x32/mimetypes,48x48/mimetypes\n[32x32/mimetypes]\nSize=32\nType=Fixed\n"
                    "[48x48/mimetypes]\nSize=48\nType=Fixed\n");
    }
    write(QStringLiteral("own/48x48/mimetypes/text.png"), png({48, 48}, Qt::red));
    write(QStringLiteral("parent/48x48/mimetypes/text-x-python.png"), png({48, 48}, Qt::blue));
    write(QStringLiteral("parent/48x48/mimetypes/x-office-document.png"), png({48, 48}, Qt::green));
    const IconThemeImages::Themes themes{{folder.path()}, QStringLiteral("own"), {}, {}};
    const auto colour = [&](const QStringList& names) {
        const QList<QImage> images = IconThemeImages::loadFirst(names, themes, {36});
        return images.isEmpty() ? QColor() : images[0].pixelColor(18, 18);
    };
    EXPECT_EQ(colour({QStringLiteral("text-x-python")}), QColor(Qt::red));
    EXPECT_EQ(colour({QStringLiteral("application-pdf"), QStringLiteral("x-office-document")}), QColor(Qt::green));
    EXPECT_FALSE(colour({QStringLiteral("application-pdf"), QStringLiteral("audio-x-generic")}).isValid());

    write(QStringLiteral("own/32x32/mimetypes/image-x-generic.png"), png({32, 32}, Qt::yellow));
    write(QStringLiteral("own/48x48/mimetypes/image-x-generic.png"), png({48, 48}, Qt::magenta));
    QList<std::pair<int, QColor>> sizes;
    for (const QImage& image : IconThemeImages::loadFirst({QStringLiteral("image-x-generic")}, themes, {32, 36, 64}))
        sizes.append({image.width(), image.pixelColor(8, 8)});
    std::sort(sizes.begin(), sizes.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    const QList<std::pair<int, QColor>> expected{{32, Qt::yellow}, {32, Qt::yellow}, {48, Qt::magenta}};
    EXPECT_EQ(sizes, expected);
}

// The painter hands its image scaling and conversions to Qt's shared threads and waits for them:
// lookups, however long a theme of hundreds of folders makes them, never take those threads.
TEST_F(IconThemeImagesTest, LookupsLeaveQtsSharedThreadsToTheDrawing)
{
    QByteArray index = "[Icon Theme]\nName=Big\nDirectories=";
    QByteArray sections;
    for (int i = 0; i < 300; ++i) {
        const QByteArray name = "48x48/set" + QByteArray::number(i);
        ASSERT_TRUE(QDir(folder.path()).mkpath(QStringLiteral("big/") + QString::fromLatin1(name)));
        index += name + ',';
        sections += '[' + name + "]\nSize=48\nType=Fixed\n";
    }
    write(QStringLiteral("big/index.theme"), index + '\n' + sections);
    const IconThemeImages images({{folder.path()}, QStringLiteral("big"), {}, {}});
    QList<QFuture<QList<QImage>>> lookups;
    for (int i = 0; i < QThreadPool::globalInstance()->maxThreadCount(); ++i) {
        lookups.append(images.applicationIcon(QStringLiteral("missing-%1").arg(i), {48}));
        lookups.append(images.fileTypeIcon(QStringLiteral("x%1").arg(i), {48}));
    }
    do {
        ASSERT_EQ(QThreadPool::globalInstance()->activeThreadCount(), 0);
        QThread::msleep(5);
    } while (std::any_of(lookups.cbegin(), lookups.cend(), [](const auto& lookup) { return !lookup.isFinished(); }));
}

} // namespace
} // namespace tavlin
