#include "Appcast.h"
#include "TemporaryFolder.h"
#include "UpdateConfiguration.h"

#include <gtest/gtest.h>

using namespace tavlin;
using namespace tavlin::test;

namespace {

const QString key32 = QString::fromLatin1(QByteArray(32, '\x5a').toBase64());

std::optional<UpdateConfiguration> configuration(const QVariant& feed, const QVariant& key = key32)
{
    return UpdateConfiguration::from(
        {{UpdateConfiguration::feedURLKey, feed}, {UpdateConfiguration::publicKeyKey, key}});
}

} // namespace

TEST(UpdateConfiguration, AcceptsOnlyASecureFeedAndA32ByteKey)
{
    const std::optional<UpdateConfiguration> trimmed = configuration(
        QStringLiteral(" \thttps://updates.example.org/appcast.xml\t "),
        QStringLiteral("  ") + key32 + QStringLiteral("\t"));
    ASSERT_TRUE(trimmed.has_value());
    EXPECT_EQ(trimmed->feedURL, QUrl(QStringLiteral("https://updates.example.org/appcast.xml")));
    EXPECT_EQ(trimmed->publicKey, key32);

    EXPECT_TRUE(configuration(QStringLiteral("http://localhost:8080/feed")).has_value());
    EXPECT_TRUE(configuration(QStringLiteral("http://127.0.0.1/feed")).has_value());
    EXPECT_FALSE(configuration(QStringLiteral("http://updates.example.org/feed")).has_value());
    EXPECT_FALSE(configuration(QStringLiteral("http://127.0.0.2/feed")).has_value());
    EXPECT_FALSE(configuration(QStringLiteral("ftp://updates.example.org/feed")).has_value());
    EXPECT_FALSE(configuration(QStringLiteral("https:///no-host")).has_value());
    EXPECT_FALSE(configuration(QStringLiteral("https://exa mple.org/feed")).has_value());
    EXPECT_FALSE(configuration(QStringLiteral("https://example.org/feed\n")).has_value())
        << "line breaks are not trimmed";
    EXPECT_FALSE(configuration(QUrl(QStringLiteral("https://example.org/feed"))).has_value()) << "not a string";
    EXPECT_FALSE(configuration(QVariant()).has_value());

    EXPECT_FALSE(
        configuration(QStringLiteral("https://example.org/f"), QString::fromLatin1(QByteArray(31, 'k').toBase64()))
            .has_value());
    EXPECT_FALSE(
        configuration(QStringLiteral("https://example.org/f"), QString::fromLatin1(QByteArray(33, 'k').toBase64()))
            .has_value());
    EXPECT_FALSE(configuration(QStringLiteral("https://example.org/f"), key32.chopped(1)).has_value())
        << "padding is required";
    EXPECT_FALSE(
        configuration(QStringLiteral("https://example.org/f"), QString(key32).replace(0, 1, u'-')).has_value());
    EXPECT_FALSE(configuration(QStringLiteral("https://example.org/f"), QVariant(QByteArray(32, 'k'))).has_value());
}

TEST(UpdateConfiguration, ReadsTheInstalledFile)
{
    TemporaryFolder folder;
    const QString path = folder.path() + QStringLiteral("/update.conf");
    writeFile(path,
              "# Tavlin update feed\n\nSUFeedURL = https://example.org/appcast.xml?a=b\r\nSUPublicEDKey="
                  + key32.toLatin1() + "\nUnknown=1\n");
    const std::optional<UpdateConfiguration> read = UpdateConfiguration::read(path);
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(read->feedURL, QUrl(QStringLiteral("https://example.org/appcast.xml?a=b")));

    writeFile(path, "SUFeedURL=https://example.org/appcast.xml\n");
    EXPECT_EQ(UpdateConfiguration::read(path), std::nullopt) << "no key";
    EXPECT_EQ(UpdateConfiguration::read(folder.path() + QStringLiteral("/missing.conf")), std::nullopt);
    EXPECT_EQ(UpdateConfiguration::read(QString()), std::nullopt);
}

TEST(Appcast, ComparesVersionsPartByPart)
{
    EXPECT_GT(Appcast::compareVersions(QStringLiteral("1.10"), QStringLiteral("1.9")), 0);
    EXPECT_EQ(Appcast::compareVersions(QStringLiteral("1.2"), QStringLiteral("1.2.0")), 0);
    EXPECT_EQ(Appcast::compareVersions(QStringLiteral("01.002"), QStringLiteral("1.2")), 0);
    EXPECT_LT(Appcast::compareVersions(QStringLiteral("1.2.0"), QStringLiteral("1.2.1")), 0);
    EXPECT_LT(Appcast::compareVersions(QStringLiteral("1.0b1"), QStringLiteral("1.0")), 0);
    EXPECT_LT(Appcast::compareVersions(QStringLiteral("1.0b1"), QStringLiteral("1.0b2")), 0);
    EXPECT_GT(Appcast::compareVersions(QStringLiteral("2"), QStringLiteral("1.99.99")), 0);
    EXPECT_GT(Appcast::compareVersions(QStringLiteral("1.100000000000000000000000"),
                                       QStringLiteral("1.99999999999999999999999")),
              0)
        << "numbers longer than any integer type";
}

TEST(Appcast, ReadsVersionedItemsAndKeepsOnlyWebLinks)
{
    const QByteArray feed = R"(<?xml version="1.0" encoding="utf-8"?>
<rss version="2.0" xmlns:sparkle="http://www.andymatuschak.org/xml-namespaces/sparkle">
  <channel>
    <title>Tavlin</title>
    <item><title>Old</title><sparkle:version>1.9</sparkle:version><link>https://example.org/1.9</link></item>
    <item>
      <title>New</title>
      <description><![CDATA[<p>Notes</p>]]></description>
      <sparkle:version>1.10</sparkle:version>
      <sparkle:shortVersionString>1.10 "Birch"</sparkle:shortVersionString>
      <link>https://example.org/1.10</link>
      <enclosure url="https://example.org/tavlin.deb" length="1" type="application/octet-stream"/>
    </item>
    <item><title>No version</title><link>https://example.org/none</link></item>
    <item><sparkle:version>beta</sparkle:version></item>
    <item><sparkle:version>1.5</sparkle:version><link>javascript:alert(1)</link></item>
    <item><version>9.9</version></item>
  </channel>
</rss>)";
    const std::optional<QList<AppcastItem>> items = Appcast::parse(feed);
    ASSERT_TRUE(items.has_value());
    ASSERT_EQ(items->size(), 3);
    EXPECT_EQ((*items)[2].link, QUrl()) << "only http and https pages are opened";
    const AppcastItem newest = Appcast::newest(*items);
    EXPECT_EQ(newest.version, QStringLiteral("1.10"));
    EXPECT_EQ(newest.displayVersion(), QStringLiteral("1.10 \"Birch\""));
    EXPECT_EQ(newest.link, QUrl(QStringLiteral("https://example.org/1.10")));

    EXPECT_EQ(Appcast::parse("<html><body>Not found</body></html>"), std::nullopt);
    EXPECT_EQ(Appcast::parse("<rss><channel><item><sparkle:version>1</sparkle:version>"), std::nullopt)
        << "unbound prefix";
    EXPECT_EQ(Appcast::parse("<rss><channel></channel></rss>"), std::nullopt) << "no release at all";
    EXPECT_EQ(Appcast::parse(feed.left(feed.size() - 20)), std::nullopt) << "cut short";
    EXPECT_EQ(Appcast::parse(QByteArray()), std::nullopt);
}
