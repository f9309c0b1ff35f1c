#include "CardMetadata.h"
#include "DesignTestSupport.h"

#include <gtest/gtest.h>

namespace tavlin {
namespace {

ClipMetadata counts(std::optional<qint64> characters, std::optional<qint64> lines)
{
    ClipMetadata metadata;
    metadata.characterCount = characters;
    metadata.lineCount = lines;
    return metadata;
}

ClipMetadata files(QStringList paths)
{
    ClipMetadata metadata;
    metadata.filePaths = std::move(paths);
    return metadata;
}

TEST(CardMetadata, ImagesShowTheirPixelSizeWhateverTheirCounts)
{
    ClipMetadata metadata = counts(12, 3);
    metadata.pixelWidth = 800;
    metadata.pixelHeight = 600;
    EXPECT_EQ(CardMetadata::footer(metadata, ClipKind::image), QStringLiteral("800 × 600 px"));
    EXPECT_EQ(CardMetadata::dimensions(metadata), QStringLiteral("800 × 600 px"));
    // No grouping in pixel sizes.
    metadata.pixelWidth = 12000;
    EXPECT_EQ(CardMetadata::dimensions(metadata), QStringLiteral("12000 × 600 px"));
    // Half a pixel size is none.
    metadata.pixelHeight.reset();
    EXPECT_EQ(CardMetadata::dimensions(metadata), std::nullopt);
    EXPECT_EQ(CardMetadata::footer(metadata, ClipKind::image), QStringLiteral("3 lines · 12 characters"));
    EXPECT_EQ(CardMetadata::dimensions(std::nullopt), std::nullopt);
}

TEST(CardMetadata, TextCountsLinesFromTwoOn)
{
    EXPECT_EQ(CardMetadata::footer(counts(12, 1), ClipKind::text), QStringLiteral("12 characters"));
    EXPECT_EQ(CardMetadata::footer(counts(1, 1), ClipKind::text), QStringLiteral("1 character"));
    EXPECT_EQ(CardMetadata::footer(counts(12, 2), ClipKind::text), QStringLiteral("2 lines · 12 characters"));
    EXPECT_EQ(CardMetadata::footer(counts(std::nullopt, 4), ClipKind::text), QStringLiteral("Text"));
    // The short footer leaves out the lines, and only them.
    EXPECT_EQ(CardMetadata::shortFooter(counts(12, 2), ClipKind::text), QStringLiteral("12 characters"));
    EXPECT_EQ(CardMetadata::shortFooter(std::nullopt, ClipKind::richText), QStringLiteral("Rich Text"));
}

TEST(CardMetadata, FileRecordsShowTheFolderOfTheirFirstFile)
{
    EXPECT_EQ(CardMetadata::footer(
                  files({QStringLiteral("/home/ann/Documents/report.pdf"), QStringLiteral("/tmp/other.txt")}),
                  ClipKind::file),
              QStringLiteral("/home/ann/Documents/"));
    EXPECT_EQ(CardMetadata::footer(files({QStringLiteral("/report.pdf")}), ClipKind::file), QStringLiteral("/"));
    EXPECT_EQ(CardMetadata::footer(files({QStringLiteral("report.pdf")}), ClipKind::file), QStringLiteral("/"));
    EXPECT_EQ(CardMetadata::footer(files({QStringLiteral("/home/ann/Photos/")}), ClipKind::file),
              QStringLiteral("/home/ann/"));
    EXPECT_EQ(CardMetadata::folder(QStringLiteral("/")), QStringLiteral("/"));
    // Without paths a file record falls through to the other rules.
    EXPECT_EQ(CardMetadata::footer(files({}), ClipKind::file), QStringLiteral("File"));
    // Paths of another kind of record are not a folder.
    EXPECT_EQ(CardMetadata::footer(files({QStringLiteral("/a/b")}), ClipKind::text), QStringLiteral("Text"));
}

TEST(CardMetadata, WithoutMetadataTheKindNameAsAHeading)
{
    EXPECT_EQ(CardMetadata::footer(std::nullopt, ClipKind::richText), QStringLiteral("Rich Text"));
    EXPECT_EQ(CardMetadata::footer(std::nullopt, ClipKind::other), QStringLiteral("Document"));
}

TEST(CardMetadata, RussianCountsAndSentenceCase)
{
    test::ScopedLanguage russian(QStringLiteral("ru"));
    EXPECT_EQ(CardMetadata::footer(counts(1, 1), ClipKind::text), QStringLiteral("1 символ"));
    EXPECT_EQ(CardMetadata::footer(counts(23, 2), ClipKind::text), QStringLiteral("2 строки · 23 символа"));
    EXPECT_EQ(CardMetadata::footer(counts(111, 25), ClipKind::text), QStringLiteral("25 строк · 111 символов"));
    EXPECT_EQ(CardMetadata::footer(std::nullopt, ClipKind::richText), QStringLiteral("Оформленный текст"));
}

} // namespace
} // namespace tavlin
