#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QColor>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringDecoder>
#include <QTextCursor>

#include <map>
#include <optional>
#include <string_view>
#include <vector>

class QTextBlockFormat;
class QTextCharFormat;
class QTextDocument;

namespace tavlin {

// One pass over RTF bytes into an empty QTextDocument, for RichTextDocument. The input comes
// from other programs' clipboard data, so every count is bounded by the input: groups nest at
// most maximumDepth deep (deeper braces are still counted, but share one state), numeric
// parameters saturate, \bin never skips past the end, and the end of input ends the document.
class RtfReader {
public:
    static constexpr int maximumDepth = 1000;

    // maximumCharacters: see RichTextDocument.
    RtfReader(QByteArrayView rtf, QTextDocument& document, std::optional<qsizetype> maximumCharacters);

    // Reads until the document's own group closes, the input ends or the text is long enough.
    void read();

private:
    enum class Destination : quint8 { Body, FontTable, ColorTable, Skipped, Attachment };

    struct CharacterStyle {
        int font = -1;
        int halfPoints = 24; // RTF's own default: 12 points
        int foreground = -1; // colour table indices; no colour when out of the table or automatic
        int background = -1;
        int script = 0; // 1 superscript, -1 subscript
        bool bold = false;
        bool italic = false;
        bool underline = false;
        bool strike = false;

        bool operator==(const CharacterStyle&) const = default;
    };

    struct ParagraphStyle {
        Qt::Alignment alignment = Qt::AlignLeft;
        // In twips, as RTF gives them.
        int leftIndent = 0;
        int rightIndent = 0;
        int firstLineIndent = 0;
        int spaceBefore = 0;
        int spaceAfter = 0;

        bool operator==(const ParagraphStyle&) const = default;
    };

    // What a group restores when it closes.
    struct GroupState {
        Destination destination = Destination::Body;
        CharacterStyle character;
        ParagraphStyle paragraph;
        bool hidden = false;
        int fallbackLength = 1; // \ucN: characters that stand in for each \u character
    };

    struct Font {
        QString family;
        int codePage = 0; // 0: the document's
    };

    void openGroup();
    void closeGroup();
    void readControl();
    std::optional<int> readParameter();
    void controlSymbol(char symbol);
    void controlWord(std::string_view name, std::optional<int> parameter);
    void skipBinary(std::optional<int> length);

    void textByte(char byte, bool escaped);
    void emitCharacter(char16_t character);
    void unicodeCharacter(int value);
    void decodePending();
    void appendText(QStringView text);
    void flushText();
    void paragraphBreak();
    void checkLimit();
    void finish();

    void commitFontName();
    void commitColor();
    bool inBody() const;
    int codePage() const;
    QStringDecoder& decoder(int codePage);
    void applyParagraphStyle();
    QTextCharFormat charFormat(const CharacterStyle& style) const;
    static QTextBlockFormat blockFormat(const ParagraphStyle& style);

    QByteArrayView input_;
    qsizetype position_ = 0;
    QTextDocument& document_;
    QTextCursor cursor_;
    bool finished_ = false;

    GroupState state_;
    std::vector<GroupState> enclosing_;
    int flattenedDepth_ = 0;

    int documentCodePage_ = 1252;
    int defaultFont_ = 0;
    QHash<int, Font> fonts_;
    int fontEntry_ = -1;
    QByteArray fontName_;
    QList<QColor> colors_;
    int red_ = 0, green_ = 0, blue_ = 0;
    bool colorComponentSeen_ = false;
    std::map<int, QStringDecoder> decoders_;

    int fallbackToSkip_ = 0;
    char16_t highSurrogate_ = 0;
    bool afterAttachment_ = false;

    QByteArray pendingBytes_;
    QString pendingText_;
    CharacterStyle pendingStyle_;
    ParagraphStyle blockStyle_; // what the cursor's block has; a new block inherits it

    std::optional<qsizetype> limit_;
    qsizetype produced_ = 0;
    qsizetype nextLimitCheck_ = 0;
};

} // namespace tavlin
