#pragma once

#include <QString>
#include <QUrl>
#include <QVariantMap>

#include <optional>

namespace tavlin {

// Where an installed Tavlin looks for newer versions. It comes from the installed file
// "tavlin/update.conf" in the XDG data folders (usually /usr/share/tavlin/update.conf), put
// there by the package:
//
//     # Tavlin update feed
//     SUFeedURL=https://example.org/tavlin/appcast.xml
//     SUPublicEDKey=<Base64 of the feed's 32-byte Ed25519 public key>
//
// One "key=value" a line; lines starting with '#' are comments; the value is everything after
// the first '='. Without the file, or with an invalid value, update checks are not configured.
struct UpdateConfiguration {
    static inline const QString feedURLKey = QStringLiteral("SUFeedURL");
    static inline const QString publicKeyKey = QStringLiteral("SUPublicEDKey");

    QUrl feedURL;
    QString publicKey;

    bool operator==(const UpdateConfiguration&) const = default;

    // The valid configuration in `info`, else nothing: the feed URL (spaces and tabs trimmed) must
    // have a host and the scheme https, or http for the host 127.0.0.1 or localhost only; the key
    // (trimmed the same way) must be standard Base64 of exactly 32 bytes.
    static std::optional<UpdateConfiguration> from(const QVariantMap& info);
    // `from` of the file's keys; nothing when it cannot be read.
    static std::optional<UpdateConfiguration> read(const QString& path);
    // The installed file, or empty when there is none.
    static QString installedPath();

    // An address the feed may be fetched from (also after a redirect): https, or http on this
    // computer only.
    static bool isTrustedFeedURL(const QUrl& url);
};

} // namespace tavlin
