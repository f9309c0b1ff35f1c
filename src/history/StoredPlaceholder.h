#pragma once

#include "ClipKind.h"

#include <QString>

#include <optional>

namespace tavlin {

// Records without a text of their own (images, PDFs, unreadable rich text, several files) store a
// fixed Russian text in the history's text column, whatever the interface language. These texts
// are stored data: they must never change. `display` turns them into the running language.
struct StoredPlaceholder {
    static QString image(); // "Изображение"
    static QString pdfDocument(); // "PDF-документ"
    static QString formattedText(); // "Форматированный текст"
    static QString files(qint64 count); // "Файлы (N)"

    // The display text of a stored placeholder of that kind, or nothing when `text` is not one;
    // the caller then shows the stored text as it is.
    static std::optional<QString> display(const QString& text, ClipKind kind);
};

} // namespace tavlin
