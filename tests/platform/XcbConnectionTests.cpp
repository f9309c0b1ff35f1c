#include "XcbConnection.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace tavlin {
namespace {

// Another client on the display interns as many atoms as it likes and offers them as targets: the
// names read back stay right while the cache never holds more than its limit.
TEST(XcbConnectionTest, AtomNamesStayRightWhileTheCacheStaysBounded)
{
    XcbConnection other;
    XcbConnection x;
    ASSERT_TRUE(other.isValid() && x.isValid());
    const qsizetype count = 3 * XcbConnection::atomCacheLimit;
    QList<QByteArray> names;
    QList<xcb_intern_atom_cookie_t> cookies;
    for (qsizetype index = 0; index < count; ++index) {
        names.append("TAVLIN_OFFERED_TARGET_" + QByteArray::number(index));
        cookies.append(xcb_intern_atom(other.get(), 0, names.last().size(), names.last().constData()));
    }
    QList<xcb_atom_t> atoms;
    for (xcb_intern_atom_cookie_t cookie : cookies) {
        xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(other.get(), cookie, nullptr);
        ASSERT_NE(reply, nullptr);
        atoms.append(reply->atom);
        std::free(reply);
    }

    // Read as a selection's targets are, a thousand at a time, each batch beginning with a name
    // read before, so that the cache starting afresh meets names it already answered from.
    const xcb_atom_t known = x.atom("UTF8_STRING");
    for (qsizetype start = 0; start < count; start += 1000) {
        QList<xcb_atom_t> batch{known};
        batch += atoms.mid(start, 1000);
        QList<QByteArray> expected{"UTF8_STRING"};
        expected += names.mid(start, 1000);
        ASSERT_EQ(x.atomNames(batch), expected) << "from target " << start;
        EXPECT_LE(x.cachedAtomCount(), XcbConnection::atomCacheLimit);
    }
    EXPECT_EQ(x.atom("TAVLIN_OFFERED_TARGET_7"), atoms[7]);
    EXPECT_EQ(x.atomNames({atoms[7], XCB_NONE}), (QList<QByteArray>{names[7], QByteArray()}));
}

} // namespace
} // namespace tavlin
