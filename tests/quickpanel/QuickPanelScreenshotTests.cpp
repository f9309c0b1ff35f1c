// The Quick Panel as people see it: every kind of record, empty and failing, light and dark,
// English and Russian, rendered into <build>/screenshots.
#include "DesignTestSupport.h"
#include "QuickPanel.h"
#include "QuickPanelFixture.h"
#include "SourceApplicationIcon.h"

#include <QBuffer>
#include <QImage>
#include <QLabel>
#include <QPainter>

#include <gtest/gtest.h>

using namespace tavlin;
using namespace tavlin::test;

namespace {

QByteArray png()
{
    QImage image(96, 64, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.fillRect(image.rect(), QColor(0x3D7BD9));
    painter.fillRect(QRect(0, 40, 96, 24), QColor(0x4CAF50));
    painter.end();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

// One record of every kind, the newest a favourite.
void captureEveryKind(PanelFixture& fixture)
{
    using Item = FakePasteboard::Item;
    const auto capture = [&](const QList<Item>& items) {
        fixture.pasteboard.setItems(items);
        QCoro::waitFor(fixture.model->tick());
    };
    capture({{{QStringLiteral("com.adobe.pdf")}, {{QStringLiteral("com.adobe.pdf"), QByteArray("%PDF-1.4 a document")}}}});
    capture({{{QStringLiteral("public.file-url")}, {{QStringLiteral("public.file-url"), QUrl::fromLocalFile(QStringLiteral("/home/ann/Documents/report.pdf")).toEncoded()}}}});
    capture({{{QStringLiteral("public.png")}, {{QStringLiteral("public.png"), png()}}}});
    capture({{{QStringLiteral("public.rtf"), QStringLiteral("public.utf8-plain-text")},
              {{QStringLiteral("public.rtf"), QByteArray("{\\rtf1 {\\b Bold} words}")}, {QStringLiteral("public.utf8-plain-text"), QByteArray("Bold words")}}}});
    fixture.capture(QStringLiteral("https://www.debian.org/releases/"));
    fixture.capture(QStringLiteral("{\n  \"name\": \"tavlin\",\n  \"version\": 1\n}"));
    fixture.capture(QStringLiteral("Привет! Emoji 👍🏽 and עברית in one line"));
    fixture.capture(QStringLiteral("A short note to copy again"));
    QCoro::waitFor(fixture.model->setFavorite(fixture.model->clips().first(), true));
}

} // namespace

TEST(QuickPanelScreenshots, EveryKindEmptyAndFailingInEveryThemeAndLanguage)
{
    for (const QString& language : {QStringLiteral("en"), QStringLiteral("ru")}) {
        std::optional<ScopedLanguage> russian;
        if (language == QStringLiteral("ru"))
            russian.emplace(language);
        SourceApplicationIcon::setWorkspace(nullptr); // names cached in the other language go
        for (const bool dark : {false, true}) {
            const QString suffix = QStringLiteral("-%1-%2").arg(dark ? QStringLiteral("dark") : QStringLiteral("light"), language);
            PanelFixture empty;
            empty.appearance.setDark(dark);
            empty.open(0);
            saveScreenshot(*empty.coordinator->panel(), QStringLiteral("quick-panel-empty") + suffix);

            PanelFixture fixture;
            fixture.appearance.setDark(dark);
            captureEveryKind(fixture);
            fixture.open(8);
            // Presentations (thumbnails, file names) arrive as rows are painted.
            saveScreenshot(*fixture.coordinator->panel(), QStringLiteral("quick-panel-kinds") + suffix);
            EXPECT_TRUE(waitFor([&] { return fixture.state().rows().size() >= 4; })); // the rows in view
            saveScreenshot(*fixture.coordinator->panel(), QStringLiteral("quick-panel-kinds") + suffix);
            // The older half: rich text, an image, a file, a document.
            fixture.state().moveSelection(7);
            saveScreenshot(*fixture.coordinator->panel(), QStringLiteral("quick-panel-kinds-older") + suffix);
            EXPECT_TRUE(waitFor([&] { return fixture.state().rows().size() == 8; }));
            saveScreenshot(*fixture.coordinator->panel(), QStringLiteral("quick-panel-kinds-older") + suffix);

            // A record deleted behind the panel's back fails to copy.
            const Clip newest = fixture.state().clips().first();
            executeSQL(fixture.folder.databasePath(), QStringLiteral("DELETE FROM clips WHERE id = %1").arg(newest.id));
            fixture.coordinator->copy(newest);
            EXPECT_TRUE(waitFor([&] { return fixture.find("quick-panel-error")->isVisible(); }));
            saveScreenshot(*fixture.coordinator->panel(), QStringLiteral("quick-panel-error") + suffix);
        }
    }
}
