#include "DesktopFile.h"
#include "TemporaryFolder.h"

#include <gtest/gtest.h>

namespace tavlin {
namespace {

using test::TemporaryFolder;

TEST(DesktopFile, ReadsTheFirstDesktopEntryGroupWithEscapesAndTranslations)
{
    const std::optional<DesktopFile> file = DesktopFile::parse("# Name=Comment\n"
                                                               "[Other]\nName=Before\n"
                                                               "\n[Desktop Entry]\r\n"
                                                               "  Name = Viewer \r\n"
                                                               "Name[ru]=Просмотр\n"
                                                               "Name[ru_RU]=\n"
                                                               "Name[sr@latin]=Pregled\n"
                                                               "Name[sr]=Преглед\n"
                                                               "Name=Second\n"
                                                               "Comment=Line\\none\\sand\\ttab\\\\ \\x end\\\n"
                                                               "NoEquals\n"
                                                               "=no key\n"
                                                               "# Icon=commented\n"
                                                               "[Desktop Action new]\nIcon=action\n"
                                                               "[Desktop Entry]\nIcon=again\n");
    ASSERT_TRUE(file.has_value());
    EXPECT_EQ(file->values.size(), 6) << QStringList(file->values.keys()).join(u' ').toStdString();
    EXPECT_EQ(file->value(QStringLiteral("Name")), QStringLiteral("Viewer")) << "the first occurrence counts";
    EXPECT_EQ(file->value(QStringLiteral("Comment")), QStringLiteral("Line\none and\ttab\\ \\x end\\"));
    EXPECT_FALSE(file->values.contains(QStringLiteral("Icon")))
        << "comments, actions and a second group are not the entry";

    const auto name = [&](const char* locale) {
        return file->localizedValue(QStringLiteral("Name"), QString::fromLatin1(locale));
    };
    EXPECT_EQ(name("ru_RU"), QStringLiteral("Просмотр")) << "an empty translation does not count";
    EXPECT_EQ(name("ru_RU.UTF-8"), QStringLiteral("Просмотр"));
    EXPECT_EQ(name("sr_RS@latin"), QStringLiteral("Pregled"));
    EXPECT_EQ(name("sr_RS"), QStringLiteral("Преглед"));
    EXPECT_EQ(name("de_DE"), QStringLiteral("Viewer"));
    EXPECT_EQ(name(""), QStringLiteral("Viewer"));
    EXPECT_EQ(file->localizedValue(QStringLiteral("GenericName"), QStringLiteral("ru")), QString());

    EXPECT_EQ(DesktopFile::parse("[Other]\nName=x\n"), std::nullopt);
    EXPECT_EQ(DesktopFile::parse(QByteArray("\xff\xfe\x00[Desktop", 11)), std::nullopt);
    EXPECT_EQ(DesktopFile::parse("[Desktop Entry]\n"), DesktopFile{});

    const QString awkward = QStringLiteral("a\\s b\\\\\n\t\r");
    EXPECT_EQ(DesktopFile::unescaped(DesktopFile::escaped(awkward)), awkward);
    EXPECT_FALSE(DesktopFile::escaped(awkward).contains(u'\n'));
}

TEST(DesktopFile, ReadsOnlyAFileOfBoundedSize)
{
    TemporaryFolder folder;
    const QString path = folder.path() + QStringLiteral("/big.desktop");
    QByteArray contents = "[Desktop Entry]\nName=Big\n#";
    contents += QByteArray(DesktopFile::maximumBytes - contents.size(), 'x');
    test::writeFile(path, contents);
    ASSERT_TRUE(DesktopFile::read(path).has_value());
    EXPECT_EQ(DesktopFile::read(path)->value(QStringLiteral("Name")), QStringLiteral("Big"));

    test::writeFile(path, contents + 'x');
    EXPECT_EQ(DesktopFile::read(path), std::nullopt);
    EXPECT_EQ(DesktopFile::read(folder.path() + QStringLiteral("/absent.desktop")), std::nullopt);
    EXPECT_EQ(DesktopFile::read(folder.path()), std::nullopt) << "a folder";
}

} // namespace
} // namespace tavlin
