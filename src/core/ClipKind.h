#pragma once

#include "RawValue.h"

#include <QString>

namespace tavlin {

// The kind of a record; its raw string is what the database's kind column holds.
enum class ClipKind { text, richText, link, image, file, other };

template <>
struct EnumCases<ClipKind> {
    static constexpr EnumCase<ClipKind> cases[] = {
        {ClipKind::text, "text"},   {ClipKind::richText, "richText"}, {ClipKind::link, "link"},
        {ClipKind::image, "image"}, {ClipKind::file, "file"},         {ClipKind::other, "other"},
    };
};

inline constexpr auto allClipKinds = enumValues<ClipKind>();

} // namespace tavlin
