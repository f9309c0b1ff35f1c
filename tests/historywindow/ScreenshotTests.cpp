// Renders the history window in each language, theme and view into <build>/screenshots, for
// people to look at; asserts only that every record shows.
#include "ClearHistorySheet.h"
#include "DesignTestSupport.h"
#include "FakeSystemAppearance.h"
#include "HistoryWindowFixture.h"
#include "ImageSamples.h"
#include "SourceFilterPopover.h"
#include "ThemeAppearance.h"

#include <QFile>
#include <QLinearGradient>
#include <QPainter>

#include <gtest/gtest.h>

using namespace tavlin;
using namespace tavlin::test;

namespace {

using Item = FakePasteboard::Item;

Item item(const QString& type, const QByteArray& data)
{
    return {{type}, {{type, data}}};
}

QByteArray picture()
{
    QImage image(640, 400, QImage::Format_ARGB32);
    QPainter painter(&image);
    QLinearGradient gradient(0, 0, 640, 400);
    gradient.setColorAt(0, QColor(0x6652AD));
    gradient.setColorAt(1, QColor(0xBFD8FF));
    painter.fillRect(image.rect(), gradient);
    painter.end();
    return encoded(image, "PNG");
}

// One record of every kind, from several applications.
void captureEveryKind(HistoryWindowFixture& fixture)
{
    const QString photo = fixture.folder.path() + QStringLiteral("/holiday.png");
    QFile file(photo);
    file.open(QIODevice::WriteOnly);
    file.write(picture());
    file.close();
    fixture.frontmost = QStringLiteral("org.gnome.Nautilus");
    fixture.capture({item(QStringLiteral("public.file-url"), QUrl::fromLocalFile(photo).toEncoded())});
    fixture.frontmost = std::nullopt;
    fixture.capture({item(QStringLiteral("com.adobe.pdf"), "%PDF-1.4 report")});
    fixture.frontmost = QStringLiteral("org.gnome.Loupe");
    fixture.capture({item(QStringLiteral("public.png"), picture())});
    fixture.frontmost = QStringLiteral("org.libreoffice.LibreOffice");
    fixture.capture({item(QStringLiteral("public.rtf"),
                          "{\\rtf1\\ansi{\\fonttbl\\f0 Serif;}{\\colortbl;\\red180\\green30\\blue30;}\\f0\\fs30 "
                          "\\b Quarterly notes\\b0\\par \\cf1 Revenue grew\\cf0  in every region; see the \\i attached\\i0  tables.}")});
    fixture.captureText(QStringLiteral("{\n  \"name\": \"tavlin\",\n  \"version\": 1\n}"), QStringLiteral("org.gnome.TextEditor"));
    fixture.captureText(QStringLiteral("https://www.debian.org/releases/stable/amd64/ch02s01.html?lang=en"),
                        QStringLiteral("org.mozilla.firefox"));
    fixture.captureText(QStringLiteral("Привет! Встреча перенесена на четверг, 15:00 — захватите, пожалуйста, отчёт 🙂"),
                        QStringLiteral("org.gnome.TextEditor"));
    fixture.captureText(QStringLiteral("مرحبا بالعالم — نص من اليمين إلى اليسار"), std::nullopt);
    QCoro::waitFor(fixture.model->reload());
    QCoro::waitFor(fixture.model->setFavorite(fixture.model->clips()[1], true));
}

void render(HistoryWindowFixture& fixture, FakeSystemAppearance& system, const QString& language, bool dark)
{
    for (HistoryViewMode mode : {HistoryViewMode::cards, HistoryViewMode::list}) {
        fixture.preferences.setViewMode(mode);
        fixture.preferences.setThemePreference(dark ? ThemePreference::dark : ThemePreference::light);
        ContentView& view = fixture.show();
        new ThemeAppearance(&view, system, fixture.preferences.themePreference());
        fixture.records()->setFocus();
        QTest::qWait(50);
        EXPECT_EQ(fixture.records()->model()->rowCount(), fixture.model->clips().size());
        saveScreenshot(view, QStringLiteral("history-%1-%2-%3").arg(toRaw(mode), dark ? QStringLiteral("dark") : QStringLiteral("light"), language));
    }
}

} // namespace

TEST(HistoryWindowScreenshots, EveryKindInBothViewsThemesAndLanguages)
{
    HistoryWindowFixture fixture;
    captureEveryKind(fixture);
    FakeSystemAppearance system;
    for (const QString& language : {QStringLiteral("en"), QStringLiteral("ru")}) {
        std::optional<ScopedLanguage> scoped;
        if (language == QLatin1String("ru"))
            scoped.emplace(language);
        for (bool dark : {false, true})
            render(fixture, system, language, dark);
        ContentView& view = *fixture.view;
        view.setShowingSources(true);
        ASSERT_TRUE(view.sourcePopover());
        view.sourcePopover()->adjustSize();
        saveScreenshot(*view.sourcePopover(), QStringLiteral("history-popover-") + language);
        view.setShowingSources(false);
        view.showClearSheet();
        ASSERT_TRUE(view.clearSheet());
        view.clearSheet()->adjustSize();
        saveScreenshot(*view.clearSheet(), QStringLiteral("history-sheet-") + language);
        view.clearSheet()->reject();
    }
}

TEST(HistoryWindowScreenshots, EmptyHistoryAndCompactWindow)
{
    HistoryWindowFixture fixture;
    FakeSystemAppearance system;
    ContentView& view = fixture.show({820, 540});
    new ThemeAppearance(&view, system, ThemePreference::light);
    QTest::qWait(50);
    saveScreenshot(view, QStringLiteral("history-empty"));
}
