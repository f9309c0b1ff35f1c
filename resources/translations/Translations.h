#pragma once

#include <QString>

class QTranslator;

namespace tavlin {

// Loads the compiled interface translation for a language code ("ru"); English needs none, as
// the English texts are the keys.
struct Translations {
    static bool load(QTranslator& translator, const QString& languageCode);
};

} // namespace tavlin
