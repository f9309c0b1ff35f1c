#pragma once
// How long a test waits for a condition before it fails, stretched by TAVLIN_TEST_TIME_SCALE when
// that is set: scripts/sanitize.sh sets it, since under the sanitizers every allocation records
// its stack and the same work takes several times as long. Only deadlines are stretched; what a
// test measures (a ping's answer, a benchmark's figure) is not.
#include <QtGlobal>

#include <algorithm>

namespace tavlin::test {

inline int deadline(int milliseconds)
{
    static const int scale = std::max(1, qEnvironmentVariableIntValue("TAVLIN_TEST_TIME_SCALE"));
    return milliseconds * scale;
}

} // namespace tavlin::test
