#include "RtfReader.h"

#include <QFont>
#include <QTextBlockFormat>
#include <QTextBoundaryFinder>
#include <QTextCharFormat>
#include <QTextDocument>

#include <algorithm>
#include <limits>
#include <unordered_map>
#include <utility>

namespace tavlin {

namespace {

// Bytes of text collected before they are decoded, so that a long run of plain text still
// reaches the character limit early. The decoders keep their state, so a multi-byte character
// may straddle two chunks.
constexpr qsizetype decodeChunk = 4096;

enum class Word {
    Character,
    ParagraphBreak,
    SkippedDestination,
    Attachment,
    FontTable,
    ColorTable,
    Font,
    FontCharset,
    FontCodePage,
    DefaultFont,
    DocumentCodePage,
    CharacterSet,
    Red,
    Green,
    Blue,
    Foreground,
    Background,
    Bold,
    Italic,
    Underline,
    UnderlineNone,
    Strike,
    Hidden,
    Script,
    FontSize,
    Plain,
    ParagraphDefaults,
    Alignment,
    LeftIndent,
    RightIndent,
    FirstLineIndent,
    SpaceBefore,
    SpaceAfter,
    Unicode,
    FallbackLength,
    Binary,
};

struct WordEntry {
    Word word;
    int value = 0; // the character, code page, alignment or script the word stands for
};

const std::unordered_map<std::string_view, WordEntry>& words()
{
    static const auto table = [] {
        std::unordered_map<std::string_view, WordEntry> words{
            {"emdash", {Word::Character, 0x2014}},
            {"endash", {Word::Character, 0x2013}},
            {"emspace", {Word::Character, 0x2003}},
            {"enspace", {Word::Character, 0x2002}},
            {"qmspace", {Word::Character, 0x2005}},
            {"bullet", {Word::Character, 0x2022}},
            {"lquote", {Word::Character, 0x2018}},
            {"rquote", {Word::Character, 0x2019}},
            {"ldblquote", {Word::Character, 0x201C}},
            {"rdblquote", {Word::Character, 0x201D}},
            {"zwj", {Word::Character, 0x200D}},
            {"zwnj", {Word::Character, 0x200C}},
            {"ltrmark", {Word::Character, 0x200E}},
            {"rtlmark", {Word::Character, 0x200F}},
            {"line", {Word::Character, QChar::LineSeparator}},
            {"tab", {Word::Character, '\t'}},
            // Table cells come out as tab-separated lines.
            {"cell", {Word::Character, '\t'}},
            {"nestcell", {Word::Character, '\t'}},
            {"par", {Word::ParagraphBreak}},
            {"sect", {Word::ParagraphBreak}},
            {"page", {Word::ParagraphBreak}},
            {"row", {Word::ParagraphBreak}},
            {"nestrow", {Word::ParagraphBreak}},
            {"NeXTGraphic", {Word::Attachment}},
            {"fonttbl", {Word::FontTable}},
            {"colortbl", {Word::ColorTable}},
            {"f", {Word::Font}},
            {"fcharset", {Word::FontCharset}},
            {"cpg", {Word::FontCodePage}},
            {"deff", {Word::DefaultFont}},
            {"ansicpg", {Word::DocumentCodePage}},
            {"ansi", {Word::CharacterSet, 1252}},
            {"mac", {Word::CharacterSet, 10000}},
            {"pc", {Word::CharacterSet, 437}},
            {"pca", {Word::CharacterSet, 850}},
            {"red", {Word::Red}},
            {"green", {Word::Green}},
            {"blue", {Word::Blue}},
            {"cf", {Word::Foreground}},
            {"cb", {Word::Background}},
            {"highlight", {Word::Background}},
            {"chcbpat", {Word::Background}},
            {"b", {Word::Bold}},
            {"i", {Word::Italic}},
            {"ulnone", {Word::UnderlineNone}},
            {"strike", {Word::Strike}},
            {"striked", {Word::Strike}},
            {"v", {Word::Hidden}},
            {"super", {Word::Script, 1}},
            {"sub", {Word::Script, -1}},
            {"nosupersub", {Word::Script, 0}},
            {"fs", {Word::FontSize}},
            {"plain", {Word::Plain}},
            {"pard", {Word::ParagraphDefaults}},
            {"ql", {Word::Alignment, Qt::AlignLeft}},
            {"qr", {Word::Alignment, Qt::AlignRight}},
            {"qc", {Word::Alignment, Qt::AlignHCenter}},
            {"qj", {Word::Alignment, Qt::AlignJustify}},
            {"li", {Word::LeftIndent}},
            {"ri", {Word::RightIndent}},
            {"fi", {Word::FirstLineIndent}},
            {"sb", {Word::SpaceBefore}},
            {"sa", {Word::SpaceAfter}},
            {"u", {Word::Unicode}},
            {"uc", {Word::FallbackLength}},
            {"bin", {Word::Binary}},
        };
        // Groups whose content is not body text. Destinations written with \* are skipped
        // anyway; these are the ones that come without it.
        for (const std::string_view name : {"info",
                                            "stylesheet",
                                            "pict",
                                            "object",
                                            "header",
                                            "headerl",
                                            "headerr",
                                            "headerf",
                                            "footer",
                                            "footerl",
                                            "footerr",
                                            "footerf",
                                            "footnote",
                                            "ftnsep",
                                            "ftnsepc",
                                            "ftncn",
                                            "aftnsep",
                                            "aftnsepc",
                                            "aftncn",
                                            "annotation",
                                            "atnid",
                                            "atnauthor",
                                            "private",
                                            "fldinst",
                                            "xe",
                                            "tc",
                                            "txe",
                                            "rxe",
                                            "pn",
                                            "listtable",
                                            "listoverridetable",
                                            "revtbl",
                                            "rsidtbl",
                                            "filetbl",
                                            "themedata",
                                            "colorschememapping",
                                            "latentstyles",
                                            "datastore",
                                            "xmlnstbl",
                                            "generator",
                                            "nonshppict",
                                            "shpinst",
                                            "template",
                                            "docvar"})
            words.emplace(name, WordEntry{Word::SkippedDestination});
        for (const std::string_view name :
             {"ul", "uld", "uldash", "uldashd", "uldashdd", "uldb", "ulhwave", "ulldash", "ulth", "ulthd", "ulthdash",
              "ulthdashd", "ulthdashdd", "ulthldash", "ululdbwave", "ulw", "ulwave"})
            words.emplace(name, WordEntry{Word::Underline});
        return words;
    }();
    return table;
}

bool isLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

int hexValue(char c)
{
    if (isDigit(c))
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// The code pages RTF writers use, as the converter names Qt knows them by. Anything else is
// read as Windows-1252, the RTF default, which also keeps the set of decoders small.
QByteArray codecName(int codePage)
{
    switch (codePage) {
    case 437:
    case 850:
    case 852:
    case 860:
    case 861:
    case 862:
    case 863:
    case 865:
    case 866: return "IBM" + QByteArray::number(codePage);
    case 874:
    case 932:
    case 936:
    case 949:
    case 950:
    case 1250:
    case 1251:
    case 1252:
    case 1253:
    case 1254:
    case 1255:
    case 1256:
    case 1257:
    case 1258: return "windows-" + QByteArray::number(codePage);
    case 10000: return "macintosh";
    case 65001: return "UTF-8";
    default: return {};
    }
}

// \fcharset values to code pages; 0 (ANSI), 1 (default) and 2 (symbol) defer to the document.
int charsetCodePage(int charset)
{
    switch (charset) {
    case 77: return 10000;
    case 128: return 932;
    case 129: return 949;
    case 134: return 936;
    case 136: return 950;
    case 161: return 1253;
    case 162: return 1254;
    case 163: return 1258;
    case 177: return 1255;
    case 178: return 1256;
    case 186: return 1257;
    case 204: return 1251;
    case 222: return 874;
    case 238: return 1250;
    case 254: return 437;
    case 255: return 850;
    default: return 0;
    }
}

// UTF-16 length of the first `characters` user-perceived characters of text (all of it when
// it has fewer).
qsizetype prefixLength(const QString& text, qsizetype characters)
{
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    qsizetype position = 0;
    for (qsizetype counted = 0; counted < characters && position < text.size(); ++counted) {
        position = finder.toNextBoundary();
        if (position < 0)
            return text.size();
    }
    return position;
}

} // namespace

RtfReader::RtfReader(QByteArrayView rtf, QTextDocument& document, std::optional<qsizetype> maximumCharacters)
    : input_(rtf), document_(document), cursor_(&document)
{
    if (maximumCharacters) {
        // Clamped so that the checks below cannot overflow; no document gets that long.
        limit_ = std::clamp<qsizetype>(*maximumCharacters, 0, std::numeric_limits<qsizetype>::max() / 4);
        nextLimitCheck_ = *limit_ + 1;
    }
}

void RtfReader::read()
{
    cursor_.beginEditBlock();
    while (!finished_ && position_ < input_.size()) {
        const char c = input_[position_++];
        switch (c) {
        case '{': openGroup(); break;
        case '}': closeGroup(); break;
        case '\\': readControl(); break;
        case '\r':
        case '\n': break;
        default: textByte(c, false); break;
        }
    }
    finish();
    cursor_.endEditBlock();
}

void RtfReader::openGroup()
{
    decodePending();
    fallbackToSkip_ = 0;
    afterAttachment_ = false;
    if (enclosing_.size() >= maximumDepth) {
        ++flattenedDepth_;
        return;
    }
    enclosing_.push_back(state_);
}

void RtfReader::closeGroup()
{
    decodePending();
    fallbackToSkip_ = 0;
    afterAttachment_ = false;
    if (flattenedDepth_ > 0) {
        --flattenedDepth_;
        return;
    }
    if (state_.destination == Destination::FontTable)
        commitFontName();
    if (enclosing_.empty()) {
        finished_ = true;
        return;
    }
    // The attachment's placeholder character follows its group; see textByte.
    afterAttachment_ = state_.destination == Destination::Attachment
        && enclosing_.back().destination != Destination::Attachment;
    state_ = enclosing_.back();
    enclosing_.pop_back();
    // The closing brace of the document's own group ends it; what follows is not RTF.
    if (enclosing_.empty())
        finished_ = true;
}

void RtfReader::readControl()
{
    if (position_ >= input_.size())
        return;
    if (!isLetter(input_[position_])) {
        controlSymbol(input_[position_++]);
        return;
    }
    const qsizetype start = position_;
    while (position_ < input_.size() && isLetter(input_[position_]))
        ++position_;
    const std::string_view name(input_.data() + start, size_t(position_ - start));
    const std::optional<int> parameter = readParameter();
    if (position_ < input_.size() && input_[position_] == ' ')
        ++position_; // the delimiter belongs to the word

    decodePending();
    afterAttachment_ = false;
    if (fallbackToSkip_ > 0) {
        --fallbackToSkip_;
        if (name == "bin")
            skipBinary(parameter);
        return;
    }
    controlWord(name, parameter);
}

std::optional<int> RtfReader::readParameter()
{
    const qsizetype size = input_.size();
    const bool negative = position_ + 1 < size && input_[position_] == '-' && isDigit(input_[position_ + 1]);
    if (negative)
        ++position_;
    if (position_ >= size || !isDigit(input_[position_]))
        return {};
    // Saturates: a parameter of any length reads as at most INT_MAX.
    qint64 value = 0;
    for (; position_ < size && isDigit(input_[position_]); ++position_)
        value = std::min<qint64>(value * 10 + (input_[position_] - '0'), std::numeric_limits<int>::max());
    return int(negative ? -value : value);
}

void RtfReader::controlSymbol(char symbol)
{
    if (symbol == '\'') {
        int value = 0;
        int digits = 0;
        for (; digits < 2 && position_ < input_.size(); ++digits, ++position_) {
            const int digit = hexValue(input_[position_]);
            if (digit < 0)
                break;
            value = value * 16 + digit;
        }
        if (digits > 0)
            textByte(char(value), true);
        return;
    }
    if (symbol == '{' || symbol == '}' || symbol == '\\') {
        textByte(symbol, true);
        return;
    }

    decodePending();
    afterAttachment_ = false;
    if (fallbackToSkip_ > 0) {
        --fallbackToSkip_;
        return;
    }
    switch (symbol) {
    case '~': emitCharacter(0x00A0); break;
    case '_': emitCharacter(0x2011); break;
    case '*': state_.destination = Destination::Skipped; break;
    case '\n':
    case '\r': paragraphBreak(); break;
    default: break; // \- (optional hyphen), \| and \: (formulas and index entries)
    }
}

void RtfReader::controlWord(std::string_view name, std::optional<int> parameter)
{
    const auto found = words().find(name);
    if (found == words().end())
        return;
    const auto [word, wordValue] = found->second;
    if (word == Word::Binary) {
        skipBinary(parameter);
        return;
    }
    if (state_.destination == Destination::Skipped || state_.destination == Destination::Attachment)
        return;

    const bool inFontTable = state_.destination == Destination::FontTable;
    const bool on = parameter.value_or(1) != 0;
    const auto twips = [&] { return std::clamp(parameter.value_or(0), -31680, 31680); };
    const auto component = [&] {
        colorComponentSeen_ = true;
        return std::clamp(parameter.value_or(0), 0, 255);
    };
    CharacterStyle& character = state_.character;
    ParagraphStyle& paragraph = state_.paragraph;
    switch (word) {
    case Word::Character: emitCharacter(char16_t(wordValue)); break;
    case Word::ParagraphBreak: paragraphBreak(); break;
    case Word::SkippedDestination: state_.destination = Destination::Skipped; break;
    case Word::Attachment: state_.destination = Destination::Attachment; break;
    case Word::FontTable: state_.destination = Destination::FontTable; break;
    case Word::ColorTable: state_.destination = Destination::ColorTable; break;
    case Word::Font:
        if (inFontTable) {
            commitFontName();
            fontEntry_ = parameter.value_or(0);
            if (!fonts_.contains(fontEntry_))
                fonts_.insert(fontEntry_, Font{});
        } else {
            character.font = parameter.value_or(0);
        }
        break;
    case Word::FontCharset:
        if (inFontTable && fonts_.contains(fontEntry_))
            fonts_[fontEntry_].codePage = charsetCodePage(parameter.value_or(0));
        break;
    case Word::FontCodePage:
        if (inFontTable && fonts_.contains(fontEntry_))
            fonts_[fontEntry_].codePage = parameter.value_or(0);
        break;
    case Word::DefaultFont:
        defaultFont_ = parameter.value_or(0);
        character.font = defaultFont_;
        break;
    case Word::DocumentCodePage: documentCodePage_ = parameter.value_or(1252); break;
    case Word::CharacterSet: documentCodePage_ = wordValue; break;
    case Word::Red: red_ = component(); break;
    case Word::Green: green_ = component(); break;
    case Word::Blue: blue_ = component(); break;
    case Word::Foreground: character.foreground = parameter.value_or(0); break;
    case Word::Background: character.background = parameter.value_or(0); break;
    case Word::Bold: character.bold = on; break;
    case Word::Italic: character.italic = on; break;
    case Word::Underline: character.underline = on; break;
    case Word::UnderlineNone: character.underline = false; break;
    case Word::Strike: character.strike = on; break;
    case Word::Hidden: state_.hidden = on; break;
    case Word::Script: character.script = wordValue; break;
    case Word::FontSize: character.halfPoints = std::clamp(parameter.value_or(24), 2, 2000); break;
    case Word::Plain:
        character = CharacterStyle{};
        character.font = defaultFont_;
        state_.hidden = false;
        break;
    case Word::ParagraphDefaults: paragraph = ParagraphStyle{}; break;
    case Word::Alignment: paragraph.alignment = Qt::Alignment(wordValue); break;
    case Word::LeftIndent: paragraph.leftIndent = twips(); break;
    case Word::RightIndent: paragraph.rightIndent = twips(); break;
    case Word::FirstLineIndent: paragraph.firstLineIndent = twips(); break;
    case Word::SpaceBefore: paragraph.spaceBefore = twips(); break;
    case Word::SpaceAfter: paragraph.spaceAfter = twips(); break;
    case Word::Unicode:
        if (parameter)
            unicodeCharacter(*parameter);
        break;
    case Word::FallbackLength: state_.fallbackLength = std::max(parameter.value_or(1), 0); break;
    case Word::Binary: break;
    }
}

void RtfReader::skipBinary(std::optional<int> length)
{
    position_ += std::clamp<qsizetype>(length.value_or(0), 0, input_.size() - position_);
}

void RtfReader::textByte(char byte, bool escaped)
{
    if (fallbackToSkip_ > 0) {
        --fallbackToSkip_;
        return;
    }
    switch (state_.destination) {
    case Destination::Body: break;
    case Destination::FontTable:
        if (byte == ';' && !escaped)
            commitFontName();
        else
            fontName_.append(byte);
        return;
    case Destination::ColorTable:
        if (byte == ';' && !escaped)
            commitColor();
        return;
    case Destination::Skipped:
    case Destination::Attachment: return;
    }
    // An attachment's group is followed by a placeholder character, "¬" (0xAC), that stands
    // for the attachment in the text; attachments are left out, so it goes with them.
    if (std::exchange(afterAttachment_, false) && byte == '\xAC')
        return;
    if (state_.hidden || (uchar(byte) < 0x20 && byte != '\t'))
        return;
    pendingBytes_.append(byte);
    if (pendingBytes_.size() >= decodeChunk)
        decodePending();
}

bool RtfReader::inBody() const
{
    return state_.destination == Destination::Body && !state_.hidden;
}

void RtfReader::emitCharacter(char16_t character)
{
    if (inBody())
        appendText(QStringView(&character, 1));
}

void RtfReader::unicodeCharacter(int value)
{
    fallbackToSkip_ = state_.fallbackLength;
    // RTF writes code units as signed 16-bit numbers.
    if (value < 0)
        value += 0x10000;
    if (!inBody())
        return;
    if (value < 0 || value > 0xFFFF) {
        emitCharacter(QChar::ReplacementCharacter);
        return;
    }
    // Control characters are no text in RTF, whichever way they are written.
    if (value < 0x20 && value != '\t')
        return;
    const auto unit = char16_t(value);
    if (QChar::isHighSurrogate(unit)) {
        highSurrogate_ = unit;
        return;
    }
    if (QChar::isLowSurrogate(unit)) {
        // A surrogate without its other half is dropped.
        if (highSurrogate_ != 0) {
            const char16_t pair[] = {std::exchange(highSurrogate_, char16_t(0)), unit};
            appendText(QStringView(pair, 2));
        }
        return;
    }
    emitCharacter(unit);
}

void RtfReader::decodePending()
{
    if (pendingBytes_.isEmpty())
        return;
    const QString text = decoder(codePage()).decode(pendingBytes_);
    pendingBytes_.clear();
    appendText(text);
}

void RtfReader::appendText(QStringView text)
{
    highSurrogate_ = 0;
    if (text.isEmpty())
        return;
    if (!pendingText_.isEmpty() && pendingStyle_ != state_.character)
        flushText();
    if (pendingText_.isEmpty())
        pendingStyle_ = state_.character;
    pendingText_ += text;
    if (limit_ && produced_ + pendingText_.size() >= nextLimitCheck_)
        checkLimit();
}

void RtfReader::flushText()
{
    if (pendingText_.isEmpty())
        return;
    cursor_.insertText(pendingText_, charFormat(pendingStyle_));
    produced_ += pendingText_.size();
    pendingText_.clear();
}

void RtfReader::paragraphBreak()
{
    if (state_.destination != Destination::Body)
        return;
    highSurrogate_ = 0;
    flushText();
    applyParagraphStyle();
    cursor_.insertBlock();
    ++produced_;
    if (limit_ && produced_ >= nextLimitCheck_)
        checkLimit();
}

// Characters can be longer than one UTF-16 unit, so once the text has more units than the
// limit, its characters are counted; while they fall short, the next count waits until the
// text has doubled, which keeps the counting linear in the text read.
void RtfReader::checkLimit()
{
    flushText();
    const QString text = document_.toRawText();
    if (prefixLength(text, *limit_) < text.size())
        finished_ = true;
    else
        nextLimitCheck_ = std::max(2 * produced_, *limit_ + 1);
}

void RtfReader::finish()
{
    decodePending();
    flushText();
    applyParagraphStyle();
    if (!limit_)
        return;
    const QString text = document_.toRawText();
    const qsizetype end = prefixLength(text, *limit_);
    if (end < text.size()) {
        cursor_.setPosition(int(end));
        cursor_.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
        cursor_.removeSelectedText();
    }
}

// RTF states a paragraph's properties before the paragraph ends, so they are known by then.
// Most paragraphs share them, and setting a block's format is not cheap, so it is set only
// when it changes.
void RtfReader::applyParagraphStyle()
{
    if (state_.paragraph == blockStyle_)
        return;
    blockStyle_ = state_.paragraph;
    cursor_.setBlockFormat(blockFormat(blockStyle_));
}

void RtfReader::commitFontName()
{
    if (fontName_.isEmpty())
        return;
    if (const auto font = fonts_.find(fontEntry_); font != fonts_.end()) {
        const int codePage = font->codePage != 0 ? font->codePage : documentCodePage_;
        font->family = QString(decoder(codePage).decode(fontName_)).trimmed();
    }
    fontName_.clear();
}

void RtfReader::commitColor()
{
    // An entry without components is the automatic colour: no colour of its own.
    colors_.append(colorComponentSeen_ ? QColor(red_, green_, blue_) : QColor());
    red_ = green_ = blue_ = 0;
    colorComponentSeen_ = false;
}

int RtfReader::codePage() const
{
    const auto font = fonts_.constFind(state_.character.font);
    return font != fonts_.cend() && font->codePage != 0 ? font->codePage : documentCodePage_;
}

QStringDecoder& RtfReader::decoder(int codePage)
{
    QByteArray name = codecName(codePage);
    if (name.isEmpty()) {
        codePage = 1252;
        name = codecName(codePage);
    }
    auto found = decoders_.find(codePage);
    if (found == decoders_.end()) {
        QStringDecoder decoder(name.constData());
        // Without ICU, Qt knows no Windows code pages; Latin-1 is the closest it has.
        if (!decoder.isValid())
            decoder = QStringDecoder(QStringConverter::Latin1);
        found = decoders_.emplace(codePage, std::move(decoder)).first;
    }
    return found->second;
}

QTextCharFormat RtfReader::charFormat(const CharacterStyle& style) const
{
    QTextCharFormat format;
    if (const auto font = fonts_.constFind(style.font); font != fonts_.cend() && !font->family.isEmpty())
        format.setFontFamilies(QStringList{font->family});
    format.setFontPointSize(style.halfPoints / 2.0);
    if (style.bold)
        format.setFontWeight(QFont::Bold);
    if (style.italic)
        format.setFontItalic(true);
    if (style.underline)
        format.setFontUnderline(true);
    if (style.strike)
        format.setFontStrikeOut(true);
    if (style.script != 0)
        format.setVerticalAlignment(style.script > 0 ? QTextCharFormat::AlignSuperScript
                                                     : QTextCharFormat::AlignSubScript);
    const auto color = [this](int index) { return index >= 0 && index < colors_.size() ? colors_[index] : QColor(); };
    if (const QColor foreground = color(style.foreground); foreground.isValid())
        format.setForeground(foreground);
    if (const QColor background = color(style.background); background.isValid())
        format.setBackground(background);
    return format;
}

// Twips to the pixels QTextDocument lays out in, at 96 pixels an inch.
QTextBlockFormat RtfReader::blockFormat(const ParagraphStyle& style)
{
    constexpr double twipsPerPixel = 1440.0 / 96.0;
    QTextBlockFormat format;
    format.setAlignment(style.alignment);
    format.setLeftMargin(style.leftIndent / twipsPerPixel);
    format.setRightMargin(style.rightIndent / twipsPerPixel);
    format.setTextIndent(style.firstLineIndent / twipsPerPixel);
    format.setTopMargin(style.spaceBefore / twipsPerPixel);
    format.setBottomMargin(style.spaceAfter / twipsPerPixel);
    return format;
}

} // namespace tavlin
