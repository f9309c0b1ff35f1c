#pragma once

#include "RawValue.h"

#include <QLocale>
#include <QString>
#include <QStringList>

namespace tavlin {

class Defaults;

// The interface language: English or Russian. The running one is decided once per process, at
// start-up, from the stored "AppleLanguages" choice and the system's languages; a change made in
// Settings applies from the next launch. Every text lookup and formatter uses its locale.
//
// A class around a plain enumeration rather than an enum class, so that the running language and
// its locale live next to the cases (TavlinLanguage::current(), TavlinLanguage::russian).
class TavlinLanguage {
public:
    enum Value { english, russian };

    constexpr TavlinLanguage(Value value) : value_(value) { }
    constexpr operator Value() const { return value_; }

    static constexpr TavlinLanguage development() { return english; }

    // "en" or "ru"; also the raw value.
    QString code() const;
    // `base` with this language: region kept where Qt has data for that pair (there is no
    // "ru_US", so Russian on a US machine formats as ru_RU), everything else of the language.
    QLocale locale(const QLocale& base) const;

    // The first of the preferred language identifiers ("de", "ru-RU", "en_GB") that is English or
    // Russian; English when none is.
    static TavlinLanguage matching(const QStringList& preferences);
    // The language code of an identifier, lowercased: "ru-RU" -> "ru", "pt_BR.UTF-8" -> "pt".
    static QString languageCode(const QString& identifier);

    // The language a process with these defaults runs in: the stored "AppleLanguages" (when it is
    // an array of strings) in front of the system's languages, matched.
    static TavlinLanguage resolve(const Defaults& defaults, const QStringList& systemLanguages);

    // Start-up, once, before any text is shown: fixes the running language from `defaults` and the
    // system's languages, installs its translations (the English plural forms first, then
    // Russian when it runs in Russian) and makes its locale the default QLocale, so numbers, dates
    // and byte counts follow the interface language rather than the system. Needs the
    // application object.
    static void install(const Defaults& defaults);

    // The running language. Fixed by install(); read before it, it follows the system's languages
    // alone, and stays so for the life of the process.
    static TavlinLanguage current();
    // The locale of every text and formatter: current() over the system locale.
    static QLocale locale();

private:
    Value value_;
};

template <>
struct EnumCases<TavlinLanguage> {
    static constexpr EnumCase<TavlinLanguage> cases[] = {
        {TavlinLanguage::english, "en"},
        {TavlinLanguage::russian, "ru"},
    };
};

inline constexpr auto allTavlinLanguages = enumValues<TavlinLanguage>();

// A count inside an interface text, with the running language's grouping ("12,345", "12 345").
QString localizedCount(qint64 value);

} // namespace tavlin
