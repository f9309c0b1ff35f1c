#include "DesignTestSupport.h"

#include "Translations.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QPixmap>
#include <QWidget>

namespace tavlin::test {

namespace {

QString key(const QString& context, const QString& source)
{
    return context + QChar(0) + source;
}

int pluralIndex(const QString& language, int n, int forms)
{
    int index = 0;
    if (language == u"ru") {
        const int tens = n % 100;
        const int ones = n % 10;
        index = ones == 1 && tens != 11 ? 0 : ones >= 2 && ones <= 4 && (tens < 12 || tens > 14) ? 1 : 2;
    } else {
        index = n == 1 ? 0 : 1;
    }
    return qMin(index, forms - 1);
}

} // namespace

TsvTranslator::TsvTranslator(const QString& path, const QString& language)
    : language_(language)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return;
    for (const QByteArray& line : file.readAll().split('\n')) {
        const QList<QByteArray> fields = line.split('\t');
        if (fields.size() < 3)
            continue;
        // A line break inside a text is written as \n.
        const auto text = [](const QByteArray& field) {
            return QString::fromUtf8(field).trimmed().replace(QStringLiteral("\\n"), QStringLiteral("\n"));
        };
        texts_.insert(key(text(fields[0]), text(fields[1])), text(fields[2]).split(QStringLiteral(" | ")));
    }
}

QString TsvTranslator::translate(const char* context, const char* sourceText, const char*, int n) const
{
    const auto found = texts_.constFind(key(QString::fromUtf8(context), QString::fromUtf8(sourceText)));
    if (found == texts_.cend())
        return {};
    return found->at(n < 0 ? 0 : pluralIndex(language_, n, int(found->size())));
}

ScopedLanguage::ScopedLanguage(const QString& language)
    : previousLocale_(QLocale())
    , compiled_(std::make_unique<QTranslator>())
{
    // Every pending list of the language (the English plural forms are installed by main).
    const QDir folder(QStringLiteral(TAVLIN_TRANSLATIONS_DIR));
    for (const QString& name : folder.entryList({QStringLiteral("pending-*.tsv")}, QDir::Files)) {
        if (!name.endsWith(QStringLiteral("-en.tsv")))
            pending_.push_back(std::make_unique<TsvTranslator>(folder.filePath(name), language));
    }
    QLocale::setDefault(QLocale(language));
    if (Translations::load(*compiled_, language))
        QCoreApplication::installTranslator(compiled_.get());
    for (const auto& pending : pending_)
        QCoreApplication::installTranslator(pending.get());
}

ScopedLanguage::~ScopedLanguage()
{
    for (const auto& pending : pending_)
        QCoreApplication::removeTranslator(pending.get());
    QCoreApplication::removeTranslator(compiled_.get());
    QLocale::setDefault(previousLocale_);
}

QString saveScreenshot(QWidget& widget, const QString& name)
{
    QDir().mkpath(QStringLiteral(TAVLIN_SCREENSHOT_DIR));
    const QString path = QStringLiteral(TAVLIN_SCREENSHOT_DIR "/%1.png").arg(name);
    widget.grab().save(path);
    return path;
}

void installEnglishTexts()
{
    static QTranslator compiled;
    if (Translations::load(compiled, QStringLiteral("en")))
        QCoreApplication::installTranslator(&compiled);
    static TsvTranslator pending(QStringLiteral(TAVLIN_TRANSLATIONS_DIR "/pending-design-en.tsv"),
                                 QStringLiteral("en"));
    QCoreApplication::installTranslator(&pending);
}

} // namespace tavlin::test
