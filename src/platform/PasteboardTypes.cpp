#include "PasteboardTypes.h"

#include <QHash>
#include <QSet>

namespace tavlin {

namespace {

// Identifier <-> MIME type for the types that have a counterpart on both sides. Plain text, file
// and web URLs and the password-manager hint need more than a rename and are handled by the X11
// clipboard adapter.
struct TypePair {
    QString identifier;
    QString mimeType;
};

const QList<TypePair>& typePairs()
{
    static const QList<TypePair> pairs{
        {PasteboardTypes::rtf, QStringLiteral("text/rtf")},
        {PasteboardTypes::html, QStringLiteral("text/html")},
        {PasteboardTypes::pdf, QStringLiteral("application/pdf")},
        {PasteboardTypes::png, QStringLiteral("image/png")},
        {QStringLiteral("public.jpeg"), QStringLiteral("image/jpeg")},
        {QStringLiteral("com.compuserve.gif"), QStringLiteral("image/gif")},
        {QStringLiteral("public.tiff"), QStringLiteral("image/tiff")},
        {QStringLiteral("com.microsoft.bmp"), QStringLiteral("image/bmp")},
        {QStringLiteral("org.webmproject.webp"), QStringLiteral("image/webp")},
    };
    return pairs;
}

} // namespace

bool PasteboardTypes::conformsToImage(const QString& type)
{
    static const QSet<QString> images{
        QStringLiteral("public.image"),
        QStringLiteral("public.png"),
        QStringLiteral("public.jpeg"),
        QStringLiteral("com.compuserve.gif"),
        QStringLiteral("public.tiff"),
        QStringLiteral("com.microsoft.bmp"),
        QStringLiteral("org.webmproject.webp"),
        QStringLiteral("com.microsoft.ico"),
        QStringLiteral("com.apple.icns"),
        QStringLiteral("public.heic"),
        QStringLiteral("public.heif"),
        QStringLiteral("public.avif"),
        QStringLiteral("public.jpeg-2000"),
        QStringLiteral("public.svg-image"),
        QStringLiteral("public.camera-raw-image"),
        QStringLiteral("com.adobe.photoshop-image"),
        QStringLiteral("com.truevision.tga-image"),
        QStringLiteral("com.ilm.openexr-image"),
        QStringLiteral("com.apple.pict"),
    };
    return images.contains(type);
}

QString PasteboardTypes::identifierForMimeType(const QString& mimeType)
{
    static const QHash<QString, QString> identifiers = [] {
        QHash<QString, QString> table;
        for (const TypePair& pair : typePairs())
            table.insert(pair.mimeType, pair.identifier);
        table.insert(QStringLiteral("application/rtf"), rtf);
        table.insert(QStringLiteral("text/plain;charset=utf-8"), plainText);
        table.insert(QStringLiteral("UTF8_STRING"), plainText);
        table.insert(QStringLiteral("text/plain"), plainText);
        return table;
    }();
    return identifiers.value(mimeType, mimeType);
}

QString PasteboardTypes::mimeTypeForIdentifier(const QString& identifier)
{
    static const QHash<QString, QString> mimeTypes = [] {
        QHash<QString, QString> table;
        for (const TypePair& pair : typePairs())
            table.insert(pair.identifier, pair.mimeType);
        table.insert(plainText, QStringLiteral("text/plain"));
        return table;
    }();
    return mimeTypes.value(identifier, identifier);
}

} // namespace tavlin
