#pragma once

#include <QHash>
#include <QLocale>
#include <QString>
#include <QTranslator>

#include <memory>
#include <vector>

class QWidget;

namespace tavlin::test {

// Texts not yet merged into the shared .ts files, read from the tab-separated pending lists
// (context, English, translation; plural forms separated by " | "), with the plural rules of
// the list's language.
class TsvTranslator : public QTranslator {
public:
    TsvTranslator(const QString& path, const QString& language);
    bool isEmpty() const override { return texts_.isEmpty(); }
    QString translate(const char* context, const char* sourceText, const char* disambiguation = nullptr,
                      int n = -1) const override;

private:
    QHash<QString, QStringList> texts_;
    QString language_;
};

// Runs a test in another interface language: its translations, and QLocale's default.
class ScopedLanguage {
public:
    explicit ScopedLanguage(const QString& language);
    ~ScopedLanguage();

private:
    QLocale previousLocale_;
    std::unique_ptr<QTranslator> compiled_;
    std::vector<std::unique_ptr<TsvTranslator>> pending_;
};

// Renders a widget (laid out at its current size) into <build>/screenshots/<name>.png and
// returns the path.
QString saveScreenshot(QWidget& widget, const QString& name);

// Installs the English plural forms; called once by the test main.
void installEnglishTexts();

} // namespace tavlin::test

#include <ostream>

// Readable QStrings in test failures.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}
