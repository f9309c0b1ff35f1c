#pragma once

// Texts that are heavy to lay out or shape, as the end-to-end tests and the benches of big records
// copy them.
#include <QString>

#include <array>

namespace tavlin::test {

// Emoji of the faces block, in turn: a chat repeats some, as people write them.
inline QString emoji(int index)
{
    return QString::fromUcs4(std::array<char32_t, 1>{char32_t(0x1F600 + index % 80)}.data(), 1);
}

inline QString emojiText(int count)
{
    QString text;
    for (int i = 0; i < count; ++i)
        text += emoji(i);
    return text;
}

// 200 short words, each followed by an emoji.
inline QString chatMessage()
{
    QString text;
    for (int word = 0; word < 200; ++word)
        text += QStringLiteral("word%1 ").arg(word % 7) + emoji(word) + u' ';
    return text;
}

// Letters under thirty combining marks each.
inline QString zalgo(int characters)
{
    QString text;
    for (int letter = 0; text.size() < characters; ++letter) {
        text += QChar(u'a' + letter % 26);
        for (int mark = 0; mark < 30 && text.size() < characters; ++mark)
            text += QChar(0x0300 + (letter * 7 + mark) % 0x70);
    }
    return text;
}

// Lines as a service writes them, 12,500 of them: just under the 1 MiB a text record may hold.
inline QString serviceLog()
{
    QString log;
    for (int line = 0; line < 12500; ++line) {
        log += QStringLiteral("2026-12-07T00:%1:%2Z INFO worker[%3] request /api/v1/items/%4 served in %5 ms")
                   .arg(line / 600 % 60, 2, 10, QChar(u'0'))
                   .arg(line / 10 % 60, 2, 10, QChar(u'0'))
                   .arg(line % 8)
                   .arg(line * 37 % 100000)
                   .arg(line % 97)
                   .leftJustified(82)
            + u'\n';
    }
    return log;
}

// The numbers from 0 to 99,999, one a line.
inline QString numberedLines()
{
    QString lines;
    for (int line = 0; line < 100000; ++line)
        lines += QString::number(line) + u'\n';
    return lines;
}

} // namespace tavlin::test
