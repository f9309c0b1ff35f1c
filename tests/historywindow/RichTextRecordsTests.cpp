// Rich text that names no colour of its own reads on its surface in a dark window's rows and
// cards, as it does in the preview.
#include "Contrast.h"
#include "FakeSystemAppearance.h"
#include "HistoryWindowFixture.h"
#include "TavlinTheme.h"
#include "ThemeAppearance.h"

#include <gtest/gtest.h>

using namespace tavlin;
using namespace tavlin::test;

namespace {

class RichTextRecords : public ::testing::TestWithParam<HistoryViewMode> { };

// The part of `area` the rich text's surface covers: every pixel of its colour.
QRect surfaceIn(const QImage& image, const QRect& area, const QColor& surface)
{
    QRect found;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (image.pixelColor(x, y) == surface)
                found |= QRect(x, y, 1, 1);
        }
    }
    return found;
}

TEST_P(RichTextRecords, UncolouredTextReadsOnItsDarkSurface)
{
    HistoryWindowFixture fixture;
    const QString rtf = QStringLiteral("public.rtf");
    fixture.capture({{{rtf},
                      {{rtf,
                        "{\\rtf1\\ansi{\\fonttbl\\f0\\fswiss Helvetica;}\\f0\\pard This is {\\b bold RTF} text "
                        "with {\\i italics}.\\par}"}}}});
    fixture.preferences.setViewMode(GetParam());
    ContentView& view = fixture.show();
    FakeSystemAppearance system;
    new ThemeAppearance(&view, system, ThemePreference::dark);
    const QColor surface = TavlinTheme::richTextFallbackColor.resolve(Appearance::darkAppearance());
    QAbstractItemView* records = fixture.records();
    const QRect record = records->visualRect(records->model()->index(0, 0));
    // A card's excerpt stands in its upper part, above the kind badge (on a surface of the same
    // colour); a row's title line above the middle, over its footer.
    const QRect area = GetParam() == HistoryViewMode::cards
        ? QRect(record.left(), record.top(), record.width(), record.height() / 2)
        : QRect(record.left() + 60, record.top(), record.width() - 200, record.height() / 2 - 3);
    QImage image;
    QRect drawn;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            image = records->viewport()->grab().toImage();
            drawn = surfaceIn(image, area, surface);
            return drawn.width() > 40;
        },
        5000))
        << "the rich text is drawn on its surface";
    EXPECT_GE(strongestContrast(image, drawn, surface), 4.5);
}

INSTANTIATE_TEST_SUITE_P(HistoryWindow, RichTextRecords,
                         ::testing::Values(HistoryViewMode::list, HistoryViewMode::cards), viewModeName);

} // namespace
