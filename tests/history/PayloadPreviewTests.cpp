#include "PayloadPreview.h"

#include "ClipboardReadError.h"
#include "ImageSamples.h"

#include <gtest/gtest.h>

using namespace tavlin;
using namespace tavlin::test;

namespace {

const QString rtf = QStringLiteral("public.rtf");
const QString rtfd = QStringLiteral("com.apple.flat-rtfd");

ClipPayload payloadOf(QList<ClipRepresentation> representations)
{
    return {{ClipItem{std::move(representations)}}, std::nullopt};
}

} // namespace

TEST(PayloadPreview, RichTextPreviewsTheFirstRepresentationWithinTheLimit)
{
    const QByteArray threeMiB(3 * 1024 * 1024, 'r');
    const QByteArray oneMiB(1024 * 1024, 'd');
    const ClipPayload overAndUnder{{ClipItem{{{rtf, threeMiB}}}, ClipItem{{{rtfd, oneMiB}}}}, std::nullopt};
    EXPECT_EQ(PayloadPreview::make(overAndUnder, ClipKind::richText), ClipPreview::richText(oneMiB, rtfd));

    const QByteArray atLimit(2'097'152, 'x');
    EXPECT_EQ(PayloadPreview::make(payloadOf({{rtf, atLimit}}), ClipKind::richText),
              ClipPreview::richText(atLimit, rtf));
    EXPECT_EQ(PayloadPreview::make(payloadOf({{rtf, atLimit + 'x'}}), ClipKind::richText), ClipPreview::text());

    EXPECT_EQ(PayloadPreview::make(payloadOf({{QStringLiteral("public.html"), "<b>x</b>"}}), ClipKind::richText),
              ClipPreview::text());
    EXPECT_EQ(PayloadPreview::make(ClipPayload{}, ClipKind::richText), ClipPreview::text());
}

TEST(PayloadPreview, ImagesAreReducedToAPNGOfAtMost1024Pixels)
{
    const ClipPreview wide = PayloadPreview::make(payloadOf({{QStringLiteral("public.png"), png(2048, 1000)}}),
                                                  ClipKind::image);
    ASSERT_EQ(wide.kind, ClipPreview::Case::image);
    EXPECT_TRUE(wide.data.startsWith("\x89PNG"));
    EXPECT_EQ(imageSize(wide.data), QSize(1024, 500));

    const ClipPreview turned = PayloadPreview::make(
        payloadOf({{QStringLiteral("public.jpeg"), jpegWithOrientation(2000, 1500, 8)}}), ClipKind::image);
    EXPECT_EQ(imageSize(turned.data), QSize(768, 1024)) << "shown as it is meant to be seen";

    const ClipPreview small = PayloadPreview::make(
        payloadOf({{QStringLiteral("com.microsoft.bmp"), encoded(QImage(30, 20, QImage::Format_RGB32), "BMP")}}),
        ClipKind::image);
    EXPECT_EQ(imageSize(small.data), QSize(30, 20));
}

TEST(PayloadPreview, DamagedImagesArePassedOverThenReported)
{
    const ClipPayload corruptFirst = payloadOf(
        {{QStringLiteral("public.jpeg"), "\xff\xd8\xff garbage"}, {QStringLiteral("public.png"), png(10, 10)}});
    EXPECT_EQ(imageSize(PayloadPreview::make(corruptFirst, ClipKind::image).data), QSize(10, 10));

    for (const ClipPayload& payload :
         {payloadOf({{QStringLiteral("public.png"), "not an image"}}),
          payloadOf({{QStringLiteral("public.png"), png(50, 50).left(80)}}),
          payloadOf({{QStringLiteral("public.utf8-plain-text"), "text"}}), ClipPayload{}}) {
        try {
            PayloadPreview::make(payload, ClipKind::image);
            ADD_FAILURE() << "no image, yet a preview";
        } catch (const ClipboardReadError& error) {
            EXPECT_EQ(error.localizedDescription(), QStringLiteral("Could not build the image preview."));
        }
    }
}

TEST(PayloadPreview, OtherKindsShowTheirText)
{
    const ClipPayload everything = payloadOf({{QStringLiteral("public.png"), png(4, 4)}, {rtf, "{\\rtf1 x}"}});
    for (ClipKind kind : {ClipKind::text, ClipKind::link, ClipKind::file, ClipKind::other})
        EXPECT_EQ(PayloadPreview::make(everything, kind), ClipPreview::text()) << qPrintable(toRaw(kind));
}
