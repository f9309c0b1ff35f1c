#include "RichTextWriter.h"

#include <QColor>
#include <QFont>
#include <QList>
#include <QTextBlock>
#include <QTextCharFormat>
#include <QTextDocument>

#include <cmath>

namespace tavlin {

namespace {

// Indexes into a table that is written out once the whole document has been seen.
template <class T>
int indexIn(QList<T>& table, const T& value)
{
    const qsizetype found = table.indexOf(value);
    if (found >= 0)
        return static_cast<int>(found);
    table.append(value);
    return static_cast<int>(table.size() - 1);
}

void appendText(QByteArray& out, QStringView text)
{
    for (const QChar c : text) {
        const char16_t code = c.unicode();
        if (code == u'\\' || code == u'{' || code == u'}') {
            out += '\\';
            out += static_cast<char>(code);
        } else if (code == u'\t') {
            out += "\\tab ";
        } else if (code == QChar::LineSeparator || code == u'\n') {
            out += "\\line ";
        } else if (code >= 0x20 && code < 0x80) {
            out += static_cast<char>(code);
        } else if (code >= 0x80) {
            // \uN takes a signed 16-bit number; "?" is the fallback for readers without Unicode.
            out += "\\u" + QByteArray::number(static_cast<qint16>(code)) + '?';
        }
    }
}

} // namespace

std::optional<QByteArray> RichTextWriter::rtf(const QTextDocument& document)
{
    QList<QString> fonts{document.defaultFont().family()};
    QList<QRgb> colors;
    QByteArray body;

    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (block != document.begin())
            body += "\\par\n";
        body += "\\pard ";
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.isValid())
                continue;
            const QTextCharFormat format = fragment.charFormat();
            QByteArray controls = "\\plain";
            const QString family = format.fontFamilies().toStringList().value(0);
            if (!family.isEmpty())
                controls += "\\f" + QByteArray::number(indexIn(fonts, family));
            if (format.fontPointSize() > 0)
                controls += "\\fs" + QByteArray::number(std::lround(format.fontPointSize() * 2));
            if (format.fontWeight() >= QFont::DemiBold)
                controls += "\\b";
            if (format.fontItalic())
                controls += "\\i";
            if (format.fontUnderline())
                controls += "\\ul";
            if (format.fontStrikeOut())
                controls += "\\strike";
            const QBrush foreground = format.foreground();
            if (foreground.style() == Qt::SolidPattern)
                controls += "\\cf" + QByteArray::number(indexIn(colors, foreground.color().rgb()) + 1);
            const QBrush background = format.background();
            if (background.style() == Qt::SolidPattern)
                controls += "\\highlight" + QByteArray::number(indexIn(colors, background.color().rgb()) + 1);
            body += "{" + controls + ' ';
            appendText(body, fragment.text());
            body += '}';
        }
    }

    QByteArray out = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl";
    for (int i = 0; i < fonts.size(); ++i) {
        out += "{\\f" + QByteArray::number(i) + "\\fnil ";
        appendText(out, fonts[i]);
        out += ";}";
    }
    out += "}{\\colortbl;";
    for (const QRgb color : std::as_const(colors)) {
        out += "\\red" + QByteArray::number(qRed(color)) + "\\green" + QByteArray::number(qGreen(color)) + "\\blue"
            + QByteArray::number(qBlue(color)) + ';';
    }
    out += "}\n" + body + "}";
    return out;
}

} // namespace tavlin
