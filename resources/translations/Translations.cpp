#include "Translations.h"

#include <QTranslator>

namespace tavlin {

bool Translations::load(QTranslator& translator, const QString& languageCode)
{
    return translator.load(QStringLiteral(":/i18n/tavlin_%1.qm").arg(languageCode));
}

} // namespace tavlin
