#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <utility>

namespace tavlin {

// Writes a binary property list ("bplist00"), object by object, in time linear in the number of
// objects. libplist's plist_to_bin finds every object in a hash table of a fixed 4096 buckets to
// share equal ones: a list of a hundred thousand files took it tens of seconds.
class BinaryPlistWriter {
public:
    // An object written so far, to be placed in an array or a dictionary.
    using Object = quint64;

    // Room for `count` objects in all.
    void reserve(qsizetype count) { objects_.reserve(count); }

    Object integer(quint64 value);
    Object string(const QString& text);
    Object data(const QByteArray& bytes);
    Object array(const QList<Object>& elements);
    Object dictionary(const QList<std::pair<Object, Object>>& entries);
    // The whole property list, with `root` as its top object.
    QByteArray finish(Object root) const;

private:
    struct Entry {
        // The object's type, in the high four bits.
        quint8 marker = 0;
        // Its length, or an integer's value.
        quint64 count = 0;
        // A string's or data's content.
        QByteArray bytes;
        QList<Object> references;
    };

    Object add(Entry entry);

    QList<Entry> objects_;
};

} // namespace tavlin
