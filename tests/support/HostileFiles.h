#pragma once

#include <QByteArray>
#include <QList>

namespace tavlin::test {

// Property lists a hostile or broken writer could leave on disk.

// A binary property list of `depth` arrays, each holding the next (the last one empty).
QByteArray nestedBinaryArrays(int depth);
// The same as an XML property list.
QByteArray nestedXmlArrays(int depth);
// A binary property list whose objects are arrays given by the indexes they refer to; object 0
// is the top. Lets a test build shared and cyclic object graphs.
QByteArray binaryArrayGraph(const QList<QList<quint32>>& references);

} // namespace tavlin::test
