#pragma once

#include <QFont>
#include <QList>
#include <QString>
#include <QStringView>
#include <QTextLayout>
#include <QTextOption>

#include <memory>

namespace tavlin {

// The first lines of a text wrapped at one width, laid out from only as much of the text as they
// need. Shaping costs with the length shaped, and far more for colour emoji, whose glyph the
// FreeType engine decodes again each time it is measured; a card or a row shows a few lines of a
// text that may run to thousands of characters.
class FirstLines {
public:
    // Lays out the text's first `count` lines (all of them when it has fewer) at `width`, each
    // line as a layout of the whole text would have it; `formats` are positions in `text`. The
    // lines are placed one under the other from 0, and keep their glyphs for drawing.
    FirstLines(const QString& text, const QFont& font, const QTextOption& option, qreal width, int count,
               const QList<QTextLayout::FormatRange>& formats = {});

    int lineCount() const { return layout_->lineCount(); }
    QTextLine lineAt(int index) const { return layout_->lineAt(index); }
    // How much of the text was laid out, in UTF-16 units.
    qsizetype laidOutLength() const { return layout_->text().size(); }

    // The text as one line elided to `width`, its line feeds shown as spaces. Elided at its end,
    // only the part of the text that can show is measured.
    static QString elided(QStringView text, const QFont& font, Qt::TextElideMode mode, qreal width);

    // How far past a line the text laid out must reach, so that nothing after it (a joining
    // letter, a combining mark, a break rule that looks ahead) could have changed the line.
    static constexpr qsizetype reach = 64;

private:
    std::unique_ptr<QTextLayout> layout_;
};

} // namespace tavlin
