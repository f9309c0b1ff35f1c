#pragma once

#include "Clip.h"

#include <QLocale>
#include <QString>
#include <QTranslator>

#include <memory>

namespace tavlin::test {

// Runs a test in another interface language: its translations, and QLocale's default.
class ScopedLanguage {
public:
    explicit ScopedLanguage(const QString& language);
    ~ScopedLanguage();

private:
    QLocale previousLocale_;
    std::unique_ptr<QTranslator> compiled_;
};

// A record of `kind` showing `text`, made on 6 December 2024 at 15:05 UTC.
Clip sampleRecord(ClipKind kind, const QString& text,
                  std::optional<QString> source = QStringLiteral("org.example.Editor"));

// Installs the English plural forms; called once by the test main.
void installEnglishTexts();

} // namespace tavlin::test

#include <ostream>

// Readable QStrings in test failures.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}
