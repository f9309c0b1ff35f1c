#pragma once

#include <QByteArrayView>

namespace tavlin {

// How deeply arrays and dictionaries nest in a property list, found without building it: libplist
// recurses once per level while parsing, converting and freeing, so a file nested a hundred
// thousand levels deep (a few hundred kilobytes) overflows the stack. Files are checked here
// first and refused when they nest deeper than their format allows.
struct PlistNesting {
    // True when no chain of arrays, sets and dictionaries is longer than `maximumDepth` (the
    // top-level container counts as 1). Binary property lists ("bplist00") are walked through
    // their object table, every object once, without recursion; a reference cycle or a table
    // that points outside the bytes counts as too deep. Anything else is read as XML, counting
    // open <array> and <dict> elements.
    static bool isWithin(QByteArrayView bytes, int maximumDepth);
};

} // namespace tavlin
