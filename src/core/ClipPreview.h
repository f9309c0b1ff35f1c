#pragma once

#include <QByteArray>
#include <QString>

namespace tavlin {

// What a preview shows for a record.
struct ClipPreview {
    enum class Case { image, richText, text };

    Case kind = Case::text;
    // PNG bytes (image) or RTF/RTFD bytes (richText); empty for text.
    QByteArray data;
    // The clipboard type the rich text was stored under ("public.rtf", "com.apple.flat-rtfd").
    QString type;

    static ClipPreview image(QByteArray png) { return {Case::image, std::move(png), {}}; }
    static ClipPreview richText(QByteArray bytes, QString type)
    {
        return {Case::richText, std::move(bytes), std::move(type)};
    }
    // Show the record's own text.
    static ClipPreview text() { return {}; }

    bool operator==(const ClipPreview&) const = default;
};

} // namespace tavlin
