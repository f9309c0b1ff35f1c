#pragma once

#include <QString>

namespace tavlin {

// The clipboard type identifiers the engine works with, and the one question about them that
// needs a type registry: which of them are images.
struct PasteboardTypes {
    static inline const QString plainText = QStringLiteral("public.utf8-plain-text");
    static inline const QString rtf = QStringLiteral("public.rtf");
    static inline const QString flatRTFD = QStringLiteral("com.apple.flat-rtfd");
    static inline const QString html = QStringLiteral("public.html");
    static inline const QString fileURL = QStringLiteral("public.file-url");
    static inline const QString url = QStringLiteral("public.url");
    static inline const QString pdf = QStringLiteral("com.adobe.pdf");
    static inline const QString png = QStringLiteral("public.png");
    static inline const QString concealed = QStringLiteral("org.nspasteboard.ConcealedType");

    // True for a known image type identifier ("public.png", "public.jpeg", "public.image", ...).
    // MIME names that the clipboard passes through unmapped ("image/x-xpixmap") are not known
    // type identifiers and give false. Exact, case-sensitive.
    static bool conformsToImage(const QString& type);

    // The identifier a clipboard MIME type is presented as ("text/html" -> "public.html"); a type
    // outside the table keeps its MIME name.
    static QString identifierForMimeType(const QString& mimeType);
    // The MIME type an identifier is written back as ("public.html" -> "text/html"); an
    // identifier outside the table is written under its own name.
    static QString mimeTypeForIdentifier(const QString& identifier);
};

} // namespace tavlin
