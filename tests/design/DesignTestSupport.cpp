#include "DesignTestSupport.h"

#include "Translations.h"

#include <QCoreApplication>

namespace tavlin::test {

ScopedLanguage::ScopedLanguage(const QString& language)
    : previousLocale_(QLocale()), compiled_(std::make_unique<QTranslator>())
{
    QLocale::setDefault(QLocale(language));
    if (Translations::load(*compiled_, language))
        QCoreApplication::installTranslator(compiled_.get());
}

ScopedLanguage::~ScopedLanguage()
{
    QCoreApplication::removeTranslator(compiled_.get());
    QLocale::setDefault(previousLocale_);
}

Clip sampleRecord(ClipKind kind, const QString& text, std::optional<QString> source)
{
    Clip clip;
    clip.id = 42;
    clip.kind = kind;
    clip.text = text;
    clip.source = std::move(source);
    clip.createdAt = QDateTime(QDate(2024, 12, 6), QTime(15, 5), Qt::UTC);
    return clip;
}

void installEnglishTexts()
{
    static QTranslator compiled;
    if (Translations::load(compiled, QStringLiteral("en")))
        QCoreApplication::installTranslator(&compiled);
}

} // namespace tavlin::test
