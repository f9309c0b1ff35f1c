#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QUrl>

#include <optional>

namespace tavlin {

// One release in the update feed.
struct AppcastItem {
    // What versions are compared by ("1.4.2").
    QString version;
    // What the user sees ("1.4"); may be empty.
    QString shortVersion;
    // The release's download page; empty when the item has none that may be opened (only http
    // and https pages with a host are kept).
    QUrl link;

    QString displayVersion() const { return shortVersion.isEmpty() ? version : shortVersion; }
    bool operator==(const AppcastItem&) const = default;
};

// The update feed: an RSS document whose items carry the release's version in the Sparkle
// namespace ("http://www.andymatuschak.org/xml-namespaces/sparkle"):
//
//     <rss version="2.0" xmlns:sparkle="http://www.andymatuschak.org/xml-namespaces/sparkle">
//       <channel>
//         <item>
//           <title>Tavlin 1.4</title>
//           <sparkle:version>1.4.0</sparkle:version>
//           <sparkle:shortVersionString>1.4</sparkle:shortVersionString>
//           <link>https://example.org/tavlin/download</link>
//         </item>
//       </channel>
//     </rss>
//
// Tavlin only reads which version is the newest and where its page is; it never downloads or
// runs anything named in the feed.
struct Appcast {
    static inline const QString sparkleNamespace = QStringLiteral(
        "http://www.andymatuschak.org/xml-namespaces/sparkle");

    // The items that carry a version (one starting with a digit). Nothing when the document is
    // not well-formed XML, is not RSS, or has no such item.
    static std::optional<QList<AppcastItem>> parse(const QByteArray& document);
    // The item with the highest version; the first of equals.
    static AppcastItem newest(const QList<AppcastItem>& items);
    // Negative, zero or positive as `a` is older than, the same as or newer than `b`. Versions are
    // compared part by part at the dots, numbers as numbers ("1.10" > "1.9", "1.2" == "1.2.0"); a
    // part with a suffix comes before the plain number ("1.0b1" < "1.0").
    static int compareVersions(const QString& a, const QString& b);
};

} // namespace tavlin
