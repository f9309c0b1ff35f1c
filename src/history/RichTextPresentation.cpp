#include "RichTextPresentation.h"

#include "PasteboardTypes.h"
#include "RichTextDocument.h"

#include <QTextBlock>
#include <QTextDocument>

#include <algorithm>

namespace tavlin {

namespace {

constexpr double darkInkLuminance = 0.35;
constexpr double lightInkLuminance = 0.55;

std::unique_ptr<QTextDocument> read(const QByteArray& bytes, const QString& type,
                                    std::optional<qsizetype> maximumCharacters = std::nullopt)
{
    return type == PasteboardTypes::flatRTFD ? RichTextDocument::fromFlatRTFD(bytes, maximumCharacters)
                                             : RichTextDocument::fromRTF(bytes, maximumCharacters);
}

} // namespace

std::optional<QString> RichTextPresentation::plainString(const QByteArray& bytes, const QString& type,
                                                         std::optional<qint64> maximumCharacters)
{
    if (maximumCharacters)
        maximumCharacters = std::max<qint64>(0, *maximumCharacters);
    const std::unique_ptr<QTextDocument> document = read(bytes, type, maximumCharacters);
    if (!document)
        return std::nullopt;
    return RichTextDocument::plainText(*document);
}

std::unique_ptr<QTextDocument> RichTextPresentation::attributed(const QByteArray& bytes, const QString& type,
                                                                qint64 maximumCharacters)
{
    return read(bytes, type, std::max<qint64>(0, maximumCharacters));
}

RichTextPresentation::Surface RichTextPresentation::surface(const QTextDocument& document)
{
    qint64 dark = 0;
    qint64 light = 0;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto fragment = block.begin(); !fragment.atEnd(); ++fragment) {
            const QTextFragment run = fragment.fragment();
            if (!run.isValid())
                continue;
            // Only a plain colour counts as ink: no brush, gradients and patterns don't.
            const QBrush brush = run.charFormat().foreground();
            if (brush.style() != Qt::SolidPattern || !brush.color().isValid())
                continue;
            const QColor color = brush.color().toRgb();
            const double luminance = 0.2126 * color.redF() + 0.7152 * color.greenF() + 0.0722 * color.blueF();
            if (luminance < darkInkLuminance)
                dark += run.length();
            else if (luminance > lightInkLuminance)
                light += run.length();
        }
    }
    if (light < dark)
        return Surface::white;
    return light == 0 ? Surface::fallback : Surface::lightInk;
}

} // namespace tavlin
