#pragma once

#include <QFile>
#include <QString>

namespace tavlin::test {

// `program` as the Exec= key of a desktop entry names it: quoted when it holds a space or another
// reserved character (a clone under "My Projects"), with `"`, `` ` ``, `$` and `\` escaped inside
// the quotes, then every backslash doubled as the key's string value requires, and `%` doubled as
// field codes require.
inline QByteArray desktopExec(const QString& program)
{
    const QByteArray path = QFile::encodeName(program);
    const QByteArray reserved(" \t\n\"'\\><~|&;$*?#()`");
    QByteArray quoted;
    bool needsQuotes = false;
    for (const char c : path) {
        needsQuotes = needsQuotes || reserved.contains(c);
        if (c == '"' || c == '`' || c == '$')
            quoted += "\\\\" + QByteArray(1, c);
        else if (c == '\\')
            quoted += "\\\\\\\\";
        else
            quoted += c == '%' ? QByteArray("%%") : QByteArray(1, c);
    }
    return needsQuotes ? '"' + quoted + '"' : path.contains('%') ? quoted : path;
}

} // namespace tavlin::test
