#include "ClipKind.h"

namespace tavlin {

QString toRaw(ClipKind kind)
{
    switch (kind) {
    case ClipKind::text: return QStringLiteral("text");
    case ClipKind::richText: return QStringLiteral("richText");
    case ClipKind::link: return QStringLiteral("link");
    case ClipKind::image: return QStringLiteral("image");
    case ClipKind::file: return QStringLiteral("file");
    case ClipKind::other: return QStringLiteral("other");
    }
    return QStringLiteral("other");
}

template<>
std::optional<ClipKind> fromRaw<ClipKind>(QStringView raw)
{
    for (ClipKind kind : allClipKinds) {
        if (raw == toRaw(kind))
            return kind;
    }
    return std::nullopt;
}

} // namespace tavlin
