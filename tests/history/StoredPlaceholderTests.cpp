#include "StoredPlaceholder.h"

#include <gtest/gtest.h>

using namespace tavlin;

TEST(StoredPlaceholder, StoredTextsAreFixedBytes)
{
    // They live in the history's text column: any change would orphan every stored record.
    EXPECT_EQ(StoredPlaceholder::image().toUtf8(),
              QByteArray("\xd0\x98\xd0\xb7\xd0\xbe\xd0\xb1\xd1\x80\xd0\xb0\xd0\xb6"
                         "\xd0\xb5\xd0\xbd\xd0\xb8\xd0\xb5"));
    EXPECT_EQ(StoredPlaceholder::pdfDocument().toUtf8(),
              QByteArray("PDF-\xd0\xb4\xd0\xbe\xd0\xba\xd1\x83\xd0\xbc\xd0\xb5"
                         "\xd0\xbd\xd1\x82"));
    EXPECT_EQ(StoredPlaceholder::formattedText().toUtf8(), QByteArray("Форматированный текст"));
    EXPECT_EQ(StoredPlaceholder::formattedText().toUtf8().size(), 41);
    EXPECT_EQ(StoredPlaceholder::files(0).toUtf8(), QByteArray("\xd0\xa4\xd0\xb0\xd0\xb9\xd0\xbb\xd1\x8b (0)"));
    EXPECT_EQ(StoredPlaceholder::files(12).toUtf8().size(), 13 + 2);
}

TEST(StoredPlaceholder, DisplaysOnlyThePlaceholderOfTheRecordsKind)
{
    EXPECT_EQ(StoredPlaceholder::display(StoredPlaceholder::image(), ClipKind::image), QStringLiteral("Image"));
    EXPECT_EQ(StoredPlaceholder::display(StoredPlaceholder::pdfDocument(), ClipKind::other),
              QStringLiteral("PDF document"));
    EXPECT_EQ(StoredPlaceholder::display(StoredPlaceholder::formattedText(), ClipKind::richText),
              QStringLiteral("Formatted text"));

    // A text record that happens to say the same is the user's own text.
    EXPECT_EQ(StoredPlaceholder::display(StoredPlaceholder::image(), ClipKind::text), std::nullopt);
    EXPECT_EQ(StoredPlaceholder::display(StoredPlaceholder::formattedText(), ClipKind::link), std::nullopt);
    EXPECT_EQ(StoredPlaceholder::display(StoredPlaceholder::pdfDocument(), ClipKind::image), std::nullopt);
    EXPECT_EQ(StoredPlaceholder::display(StoredPlaceholder::image() + u' ', ClipKind::image), std::nullopt);
}

TEST(StoredPlaceholder, FilePlaceholderNeedsAWholeNumberOtherThanOne)
{
    EXPECT_EQ(StoredPlaceholder::display(StoredPlaceholder::files(3), ClipKind::file), QStringLiteral("Files (3)"));
    EXPECT_EQ(StoredPlaceholder::display(StoredPlaceholder::files(0), ClipKind::file), QStringLiteral("Files (0)"));
    EXPECT_EQ(StoredPlaceholder::display(StoredPlaceholder::files(1), ClipKind::file), std::nullopt)
        << "one file stores its name";
    const QString prefix = QStringLiteral("Файлы (");
    for (const char* middle : {"", "x", "3a", " 3", "3 ", "+", "١٢", "99999999999999999999"})
        EXPECT_EQ(StoredPlaceholder::display(prefix + QString::fromUtf8(middle) + u')', ClipKind::file), std::nullopt)
            << middle;
    EXPECT_EQ(StoredPlaceholder::display(StoredPlaceholder::files(3), ClipKind::text), std::nullopt);
    EXPECT_EQ(StoredPlaceholder::display(QStringLiteral("report.pdf"), ClipKind::file), std::nullopt);
}
