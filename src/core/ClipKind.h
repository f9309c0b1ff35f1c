#pragma once

#include "RawValue.h"

#include <QString>

namespace tavlin {

// The kind of a record; its raw string is what the database's kind column holds.
enum class ClipKind { text, richText, link, image, file, other };

QString toRaw(ClipKind kind);
template<>
std::optional<ClipKind> fromRaw<ClipKind>(QStringView raw);

inline constexpr ClipKind allClipKinds[] = {ClipKind::text, ClipKind::richText, ClipKind::link,
                                            ClipKind::image, ClipKind::file, ClipKind::other};

} // namespace tavlin
