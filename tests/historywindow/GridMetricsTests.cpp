#include "ClipSnippetView.h"
#include "ContentView.h"
#include "CopyConfirmationBadge.h"
#include "FakeApplicationIconImages.h"
#include "FakeWorkspace.h"
#include "HistoryCardFlowLayout.h"
#include "HistoryCollectionView.h"
#include "HistoryGridMetrics.h"
#include "HistoryListView.h"
#include "HistoryRecordsArea.h"
#include "HistoryRowContent.h"
#include "ImageSamples.h"
#include "RecordListModel.h"
#include "SourceApplicationIcon.h"
#include "SystemFont.h"
#include "TavlinTheme.h"

#include <QImage>
#include <QPainter>
#include <QTextDocument>

#include <tuple>

#include <gtest/gtest.h>

using namespace tavlin;

namespace {

Clip record(ClipKind kind, const QString& text)
{
    return Clip{1, text, QDateTime::currentDateTime(), std::nullopt, kind, false};
}

qreal cardHeight(ClipKind kind, const QString& text, std::optional<ClipRowPresentation> presentation = std::nullopt)
{
    const Clip clip = record(kind, text);
    return HistoryGridMetrics::height(
        HistoryGridMetrics::Measurement::of(clip, RecordPresentation::of(clip, presentation)), 236);
}

} // namespace

TEST(HistoryGridMetrics, ColumnsWidthsAndPositionsFollowTheAvailableWidth)
{
    HistoryCardFlowLayout layout;
    const auto fixed = [](int, qreal width) { return QSizeF(width, 150); };
    layout.prepare(4, 1000, std::nullopt, 0, fixed);
    ASSERT_EQ(layout.columns(), 3);
    EXPECT_NEAR(layout.cards()[0].width(), 317.33, 0.01);
    EXPECT_NEAR(layout.cards()[0].x(), 12, 0.01);
    EXPECT_NEAR(layout.cards()[1].x(), 341.33, 0.01);
    EXPECT_NEAR(layout.cards()[2].x(), 670.67, 0.01);
    EXPECT_EQ(layout.cards()[3].y(), 12 + 150 + 12);

    layout.prepare(1, 240, 240, 0, fixed);
    EXPECT_EQ(layout.columns(), 1);
    EXPECT_EQ(layout.cards()[0], QRectF(2, 12, 236, 150));
    layout.prepare(1, 100, std::nullopt, 0, fixed);
    EXPECT_EQ(layout.cards()[0].width(), 96);
    // The visible width limits the columns even when the content is wider.
    EXPECT_EQ(HistoryGridMetrics::columns(1000, 500), 1);
}

TEST(HistoryGridMetrics, RowsTakeTheTallestCardAndShorterOnesKeepTheirHeight)
{
    HistoryCardFlowLayout layout;
    layout.prepare(4, 1000, std::nullopt, 900,
                   [](int item, qreal width) { return QSizeF(width, item == 1 ? 190 : 128); });
    EXPECT_EQ(layout.cards()[0].height(), 128);
    EXPECT_EQ(layout.cards()[3].y(), 12 + 190 + 12);
    EXPECT_EQ(layout.contentSize().height(), 900);
    EXPECT_EQ(layout.itemAt(QPointF(100, 12 + 150)), -1) << "below a short card is empty space";
    EXPECT_EQ(layout.itemAt(QPointF(400, 12 + 150)), 1);
}

TEST(HistoryGridMetrics, CardHeightsByKindAndText)
{
    const QString longText = QStringLiteral("word ").repeated(400);
    EXPECT_EQ(cardHeight(ClipKind::text, QStringLiteral("one line")), 128);
    EXPECT_EQ(cardHeight(ClipKind::text, longText), 165);
    EXPECT_EQ(cardHeight(ClipKind::text, QStringLiteral("func main() {\n  let x = 1\n}\n").repeated(20)), 166);
    EXPECT_EQ(cardHeight(ClipKind::image, QStringLiteral("Изображение")), 190);
    EXPECT_EQ(cardHeight(ClipKind::link, QStringLiteral("https://example.org/") + QString(61, QLatin1Char('a'))), 160);
    EXPECT_EQ(cardHeight(ClipKind::link, QStringLiteral("https://example.org/") + QString(60, QLatin1Char('a'))), 136);
    EXPECT_EQ(cardHeight(ClipKind::file, QStringLiteral("a.png")), 136);
    EXPECT_EQ(cardHeight(ClipKind::file, QStringLiteral("a.png"), ClipRowPresentation{{}, ClipPreview::image("png")}),
              176);
    const QByteArray rtf = "{\\rtf1\\ansi " + QByteArray("Formatted words ").repeated(200) + "}";
    EXPECT_EQ(cardHeight(ClipKind::richText, QStringLiteral("Formatted"),
                         ClipRowPresentation{{}, ClipPreview::richText(rtf, QStringLiteral("public.rtf"))}),
              181);
    // The measurer decides the text height; five lines are the most a card counts.
    const Clip x = record(ClipKind::text, QStringLiteral("x"));
    const auto measurement = HistoryGridMetrics::Measurement::of(x, RecordPresentation::of(x, std::nullopt));
    EXPECT_EQ(HistoryGridMetrics::height(measurement, 236, [](const auto&, qreal) { return 60.4; }), 136);
}

TEST(HistoryGridMetrics, ArrowsMoveWithinRowsWithoutWrapping)
{
    // Four cards in three columns: 0 1 2 / 3.
    const auto target = [](Qt::Key key, int from) { return HistoryGridMetrics::arrowTarget(key, from, 3, 4); };
    EXPECT_EQ(target(Qt::Key_Right, 2), 2);
    EXPECT_EQ(target(Qt::Key_Down, 1), 3);
    EXPECT_EQ(target(Qt::Key_Down, 2), 3);
    EXPECT_EQ(target(Qt::Key_Down, 3), 3);
    EXPECT_EQ(target(Qt::Key_Up, 3), 0);
    EXPECT_EQ(target(Qt::Key_Left, 3), 3);
    EXPECT_EQ(target(Qt::Key_Left, 1), 0);
}

TEST(HistoryListView, RowHeightsByModeKindAndText)
{
    EXPECT_EQ(
        HistoryRowDelegate::rowHeight(HistoryViewMode::list, record(ClipKind::link, QStringLiteral("https://a.b"))),
        56);
    EXPECT_EQ(HistoryRowDelegate::rowHeight(HistoryViewMode::list, record(ClipKind::richText, QStringLiteral("x"))),
              64);
    EXPECT_EQ(HistoryRowDelegate::rowHeight(HistoryViewMode::list, record(ClipKind::image, QStringLiteral("x"))), 64);
    const auto cards = [](ClipKind kind, const QString& text) {
        return HistoryRowDelegate::rowHeight(HistoryViewMode::cards, record(kind, text));
    };
    EXPECT_EQ(cards(ClipKind::text, QString(160, QLatin1Char('a'))), 112);
    EXPECT_EQ(cards(ClipKind::text, QString(161, QLatin1Char('a'))), 144);
    // 160 user-perceived characters, each two UTF-16 units: still one line.
    EXPECT_EQ(cards(ClipKind::text, QStringLiteral("😀").repeated(160)), 112);
    EXPECT_EQ(cards(ClipKind::text, QStringLiteral("two\r\n")), 144);
    EXPECT_EQ(cards(ClipKind::richText, QStringLiteral("x")), 144);
    EXPECT_EQ(cards(ClipKind::file, QStringLiteral("x")), 176);
    EXPECT_EQ(HistoryRecordsArea::recordsPadding(759.9), 16);
    EXPECT_EQ(HistoryRecordsArea::recordsPadding(760), 24);
}

TEST(HistoryCollectionView, PresentationsFinishingTogetherReflowTheGridOnce)
{
    tavlin::test::FakeWorkspace workspace;
    tavlin::test::FakeApplicationIconImages icons;
    SourceApplicationIcon sources(workspace, icons);
    RecordListModel records(sources);
    QList<Clip> clips;
    for (int id = 1; id <= 6; ++id)
        clips.append(Clip{id, QStringLiteral("photo%1.png").arg(id), QDateTime::currentDateTime(), std::nullopt,
                          id == 6 ? ClipKind::text : ClipKind::file, false});
    HistoryCollectionView grid(records);
    records.setRecords(clips);
    grid.resize(1000, 2000);
    grid.grab();
    QCoreApplication::processEvents();
    EXPECT_EQ(grid.cardLayout().cards()[0].height(), 136);
    const int before = grid.relayoutCount();
    // Every load finishes at once: a file gets its image preview (taller card), the text its own text (same height).
    records.setLoader([](Clip clip) -> QCoro::Task<std::optional<ClipRowPresentation>> {
        co_return ClipRowPresentation{
            {}, clip.kind == ClipKind::file ? ClipPreview::image(test::png(4, 4)) : ClipPreview::text()};
    });
    grid.grab(); // paints every card, which starts and finishes every load
    QCoreApplication::processEvents();
    EXPECT_EQ(grid.relayoutCount(), before + 1);
    EXPECT_EQ(grid.cardLayout().cards()[0].height(), 176);
    EXPECT_EQ(grid.cardLayout().cards()[5].height(), 128);
}

TEST(HistoryCollectionView, ACardIsMeasuredOncePerWidthAsTheGridGoesBackAndForth)
{
    tavlin::test::FakeWorkspace workspace;
    tavlin::test::FakeApplicationIconImages icons;
    SourceApplicationIcon sources(workspace, icons);
    RecordListModel records(sources);
    QList<Clip> clips;
    for (int id = 1; id <= 3; ++id)
        clips.append(record(ClipKind::text, QStringLiteral("A text of a few words to wrap. ").repeated(id * 4)));
    for (int id = 1; id <= 3; ++id)
        clips[id - 1].id = id;
    HistoryCollectionView grid(records);
    int measured = 0;
    grid.measurer = [&measured](const HistoryGridMetrics::Measurement& measurement, qreal width) {
        ++measured;
        return HistoryGridMetrics::measureText(measurement, width);
    };
    records.setRecords(clips);
    const auto layOut = [&grid](int width) {
        grid.resize(width, 2000);
        grid.grab();
        QCoreApplication::processEvents();
        return grid.cardLayout().cards();
    };
    const QList<QRectF> wide = layOut(1000);
    const QList<QRectF> narrow = layOut(700);
    // The preview hidden and shown again, as the user turns it on and off: the cards are measured
    // at each width once.
    measured = 0;
    EXPECT_EQ(layOut(1000), wide);
    EXPECT_EQ(layOut(700), narrow);
    EXPECT_EQ(layOut(1000), wide);
    EXPECT_EQ(measured, 0);
}

TEST(HistoryRowContent, FooterCountsAreCutOnlyAtTheirEnd)
{
    const QFontMetricsF metrics(SystemFont::regular(11));
    const QString counts = QStringLiteral("4 строки · 38 символов");
    const qreal width = metrics.horizontalAdvance(counts);
    // Room for the counts and a short name: the name gives way.
    auto [name, detail] = HistoryRowContent::footerTexts(SystemFont::regular(11), QStringLiteral("Text Editor"), counts,
                                                         width + 60, false);
    EXPECT_EQ(detail, counts);
    EXPECT_TRUE(name.startsWith(u'T')) << name.toStdString();
    // Less: the counts take the line, the icon alone stands for the source.
    std::tie(name, detail) = HistoryRowContent::footerTexts(SystemFont::regular(11), QStringLiteral("Text Editor"),
                                                            counts, width + 10, false);
    EXPECT_EQ(name, QString());
    EXPECT_EQ(detail, counts);
    std::tie(name, detail) = HistoryRowContent::footerTexts(SystemFont::regular(11), QStringLiteral("Text Editor"),
                                                            counts, width - 20, false);
    EXPECT_TRUE(detail.startsWith(QStringLiteral("4 строки · 38"))) << detail.toStdString();
}

// A card too narrow for the name beside every count drops the line count before it cuts the name;
// where even that leaves the name cut, the whole counts stay.
TEST(HistoryRowContent, AFooterDropsItsLineCountBeforeItCutsTheName)
{
    const QFont font = SystemFont::regular(11);
    const QFontMetricsF metrics(font);
    const QString name = QStringLiteral("Code Editor");
    const QString counts = QStringLiteral("3 lines · 122 characters");
    const QString fewer = QStringLiteral("122 characters");
    const qreal separator = metrics.horizontalAdvance(QStringLiteral(" · "));
    const qreal fits = metrics.horizontalAdvance(name) + separator + metrics.horizontalAdvance(fewer) + 2;
    ASSERT_LT(fits, metrics.horizontalAdvance(name) + separator + metrics.horizontalAdvance(counts));
    EXPECT_EQ(HistoryRowContent::footerTexts(font, name, counts, fits, false, fewer), std::pair(name, fewer));
    // Room for everything: nothing is dropped.
    EXPECT_EQ(HistoryRowContent::footerTexts(font, name, counts, fits + 200, false, fewer), std::pair(name, counts));
    // Too narrow for the whole name either way: the counts stay whole and the name gives way.
    const auto [cut, detail] = HistoryRowContent::footerTexts(font, name, counts, fits - 20, false, fewer);
    EXPECT_EQ(detail, counts);
    EXPECT_NE(cut, name);
}

TEST(HistoryRowContent, TheCopiedBadgeLeavesTheFavoriteStarClear)
{
    const QRectF bounds(0, 0, 520, 56);
    const auto paint = [&](bool favorite) {
        HistoryRowContent::Input input;
        input.clip.kind = ClipKind::text;
        input.clip.text = QStringLiteral("hello");
        input.clip.createdAt = QDateTime(QDate(2024, 12, 6), QTime(15, 5), Qt::UTC);
        input.clip.isFavorite = favorite;
        input.source = std::make_shared<SourceApplicationIcon::Value>();
        input.confirmation = {true, 1.0};
        input.now = input.clip.createdAt.addSecs(10); // "Now": an age narrower than the badge
        QImage image(bounds.size().toSize(), QImage::Format_ARGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        HistoryRowContent::paint(painter, bounds, input);
        return image;
    };
    const QImage plain = paint(false);
    const QImage starred = paint(true);
    // The badge sits at the row's top trailing corner; the star shows, and not within it.
    const QSize badge = CopyConfirmationBadge::badgeSize();
    const QRect corner(int(bounds.right()) - 7 - 14 - badge.width(), 7 + 2, badge.width(), badge.height());
    int under = 0;
    int beside = 0;
    for (int y = 0; y < plain.height(); ++y) {
        for (int x = 0; x < plain.width(); ++x)
            (corner.contains(x, y) ? under : beside) += plain.pixel(x, y) != starred.pixel(x, y);
    }
    EXPECT_EQ(under, 0);
    EXPECT_GT(beside, 20) << "the star shows beside the badge";
}

TEST(HistoryRowContent, ARepaintedAgeDrawsItselfAndWhatGivesWayToItAlone)
{
    for (const bool compact : {true, false}) {
        const QRectF bounds(0, 0, compact ? 520 : 240, compact ? 56 : 144);
        HistoryRowContent::Input input;
        input.clip = record(ClipKind::text, QStringLiteral("a title too long for its row ").repeated(6));
        input.clip.createdAt = QDateTime(QDate(2024, 12, 6), QTime(15, 5), Qt::UTC);
        input.clip.isFavorite = true;
        input.shown = RecordPresentation::of(input.clip, std::nullopt);
        input.source = std::make_shared<SourceApplicationIcon::Value>();
        input.compact = compact;
        input.feedbackShape = compact ? CopyConfirmationShape::listRow : CopyConfirmationShape::card;
        const auto paint = [&](int seconds, const QRegion& exposed) {
            input.now = input.clip.createdAt.addSecs(seconds);
            input.exposed = exposed;
            QImage image(bounds.size().toSize(), QImage::Format_ARGB32);
            image.fill(Qt::white);
            QPainter painter(&image);
            HistoryRowContent::paint(painter, bounds, input);
            return image;
        };
        // "2 min" turning "3 min", as wide, then "Now" turning "1 min", wider: the star, and in a
        // row the title and footer, give way.
        const std::tuple<QString, QString, int> turns[] = {{QStringLiteral("2 min"), QStringLiteral("3 min"), 180},
                                                           {QStringLiteral("Now"), QStringLiteral("1 min"), 60}};
        for (const auto& [before, after, seconds] : turns) {
            const QRect change = HistoryRowContent::ageChangeRect(bounds, compact, before, after).toAlignedRect();
            const QImage whole = paint(seconds, {});
            const QImage repainted = paint(seconds, change);
            int inkWithin = 0;
            int differsWithin = 0;
            int drawnBeyond = 0;
            for (int y = 0; y < whole.height(); ++y) {
                for (int x = 0; x < whole.width(); ++x) {
                    if (change.contains(x, y)) {
                        inkWithin += whole.pixel(x, y) != qRgb(255, 255, 255);
                        differsWithin += whole.pixel(x, y) != repainted.pixel(x, y);
                    } else {
                        drawnBeyond += repainted.pixel(x, y) != qRgb(255, 255, 255);
                    }
                }
            }
            const std::string turn = (before + u'>' + after).toStdString() + (compact ? " row" : " card");
            EXPECT_GT(inkWithin, 20) << turn;
            EXPECT_EQ(differsWithin, 0) << turn << ": not drawn as a whole paint draws it";
            EXPECT_EQ(drawnBeyond, 0) << turn << ": drew what the repaint leaves as it stands";
        }
    }
}

TEST(HistoryRowContent, AnAgeWideningLaysOutAgainOnlyATitleItCuts)
{
    const QRectF bounds(0, 0, 520, 56);
    const QRect change =
        HistoryRowContent::ageChangeRect(bounds, true, QStringLiteral("Now"), QStringLiteral("1 min")).toAlignedRect();
    for (const bool cut : {false, true}) {
        HistoryRowContent::Excerpts kept;
        HistoryRowContent::Input input;
        input.clip = record(ClipKind::text,
                            cut ? QStringLiteral("a title too long for its row ").repeated(6)
                                : QStringLiteral("a short title"));
        input.clip.createdAt = QDateTime(QDate(2024, 12, 6), QTime(15, 5), Qt::UTC);
        input.shown = RecordPresentation::of(input.clip, std::nullopt);
        input.source = std::make_shared<SourceApplicationIcon::Value>();
        input.excerpts = &kept;
        const auto paint = [&](int seconds, const QRegion& exposed, HistoryRowContent::Excerpts* excerpts) {
            input.now = input.clip.createdAt.addSecs(seconds);
            input.exposed = exposed;
            input.excerpts = excerpts;
            QImage image(bounds.size().toSize(), QImage::Format_ARGB32);
            image.fill(Qt::white);
            QPainter painter(&image);
            HistoryRowContent::paint(painter, bounds, input);
            return image;
        };
        paint(10, {}, &kept);
        const qsizetype before = kept.size();
        ASSERT_GT(before, 0);
        // "Now" turns "1 min", wider: the title keeps its line while it still shows whole.
        const QImage repainted = paint(60, change, &kept);
        EXPECT_EQ(kept.size(), before + (cut ? 1 : 0)) << (cut ? "cut" : "whole");
        const QImage afresh = paint(60, {}, nullptr);
        int differs = 0;
        for (int y = change.top(); y <= change.bottom(); ++y) {
            for (int x = change.left(); x <= change.right(); ++x)
                differs += repainted.pixel(x, y) != afresh.pixel(x, y);
        }
        EXPECT_EQ(differs, 0) << (cut ? "cut" : "whole") << ": the title kept draws otherwise than laid out afresh";
    }
}

TEST(HistoryRowContent, TheConfirmationShowsAsFarAsItHasAppeared)
{
    for (const bool compact : {true, false}) {
        const QRectF bounds(0, 0, compact ? 520 : 240, compact ? 56 : 144);
        const auto paint = [&](qreal progress) {
            HistoryRowContent::Input input;
            input.clip.text = QStringLiteral("hello");
            input.source = std::make_shared<SourceApplicationIcon::Value>();
            input.compact = compact;
            input.feedbackShape = compact ? CopyConfirmationShape::listRow : CopyConfirmationShape::card;
            input.confirmation = {true, progress};
            QImage image(bounds.size().toSize(), QImage::Format_ARGB32);
            image.fill(Qt::white);
            QPainter painter(&image);
            HistoryRowContent::paint(painter, bounds, input);
            return image;
        };
        const QImage none = paint(0);
        const QImage half = paint(0.5);
        const QImage whole = paint(1);
        // How far a pixel is from the white under the row.
        const auto ink = [](const QImage& image, QPoint point) {
            const QColor color = image.pixelColor(point);
            return 3 * 255 - color.red() - color.green() - color.blue();
        };
        // Inside the fill, clear of any text.
        const QPoint fill(compact ? 12 : 8, int(bounds.height()) / 2);
        EXPECT_EQ(ink(none, fill), 0) << compact;
        EXPECT_GT(ink(half, fill), 0) << compact;
        EXPECT_LT(ink(half, fill), ink(whole, fill)) << compact;
    }
}

TEST(HistoryRowContent, ARichTextRowShowsItsOwnColours)
{
    HistoryRowContent::Input input;
    input.clip.kind = ClipKind::richText;
    input.clip.text = QStringLiteral("Quarterly notes");
    input.clip.createdAt = QDateTime(QDate(2024, 12, 6), QTime(15, 5), Qt::UTC);
    input.now = input.clip.createdAt.addSecs(10);
    input.source = std::make_shared<SourceApplicationIcon::Value>();
    input.shown.title.text = input.clip.text;
    auto document = std::make_shared<QTextDocument>();
    document->setHtml(QStringLiteral("<p style='font-size:20pt; color:#d01010'><b>Quarterly notes</b></p>"));
    input.shown.rich = document;
    QImage image(520, 56, QImage::Format_ARGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    HistoryRowContent::paint(painter, QRectF(image.rect()), input);
    painter.end();
    int red = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor seen = image.pixelColor(x, y);
            red += seen.red() > 150 && seen.green() < 110 && seen.blue() < 110;
        }
    }
    EXPECT_GT(red, 20) << "the title in the record's own red";
}

TEST(HistoryRowContent, ACardShowsCodeAsTheSnippetViewDoes)
{
    HistoryRowContent::Input input;
    input.clip = record(ClipKind::text, QStringLiteral("{\"name\": \"tavlin\", \"count\": 2}"));
    input.now = input.clip.createdAt;
    input.source = std::make_shared<SourceApplicationIcon::Value>();
    input.shown = RecordPresentation::of(input.clip, std::nullopt);
    ASSERT_TRUE(input.shown.code);
    input.compact = false;
    input.feedbackShape = CopyConfirmationShape::card;
    QImage card(280, 144, QImage::Format_ARGB32);
    card.fill(Qt::white);
    QPainter painter(&card);
    HistoryRowContent::paint(painter, QRectF(card.rect()), input);
    painter.end();
    // The raised surface, down its right padding, where no text reaches.
    const QColor surface = TavlinTheme::elevatedSurface.resolve(input.appearance);
    const int x = 280 - 16 - 7;
    int top = -1;
    int bottom = -1;
    for (int y = 0; y < card.height(); ++y) {
        if (card.pixelColor(x, y) == surface) {
            top = top < 0 ? y : top;
            bottom = y;
        }
    }
    ASSERT_GE(top, 0);
    EXPECT_NEAR(top, 12, 1);

    QWidget window;
    auto* view = new ClipSnippetView(input.clip.text, 5, 1200, 15, &window);
    ASSERT_TRUE(view->isCode());
    view->setFixedWidth(280 - 32);
    window.show();
    QCoreApplication::processEvents();
    const int height = view->height();
    EXPECT_NEAR(bottom + 1 - top, height, 1) << "as tall as its lines, with the view's padding";
}

TEST(HistoryRowContent, KeptLinesDrawAsLinesLaidOutAfresh)
{
    // One view's kept lines, over rows and cards of other sizes and texts, as a view repaints them.
    HistoryRowContent::Excerpts excerpts;
    const QString words = QStringLiteral("A card shows the first lines of a text, the last cut short. ").repeated(30);
    const QString emoji = QStringLiteral("\U0001F600\U0001F44D\U0001F3FD\U0001F680 ").repeated(300);
    struct Drawing {
        QString text;
        bool compact;
        QSize size;
    };
    for (const Drawing& drawing :
         {Drawing{words, false, {280, 190}}, Drawing{words, false, {240, 190}}, Drawing{words, false, {240, 150}},
          Drawing{emoji, false, {240, 150}}, Drawing{emoji, true, {240, 56}}, Drawing{emoji, true, {520, 56}},
          Drawing{words, true, {520, 56}}, Drawing{words, false, {280, 190}}}) {
        HistoryRowContent::Input input;
        input.clip = record(ClipKind::text, drawing.text);
        input.now = input.clip.createdAt;
        input.source = std::make_shared<SourceApplicationIcon::Value>();
        input.shown = RecordPresentation::of(input.clip, std::nullopt);
        input.compact = drawing.compact;
        input.feedbackShape = drawing.compact ? CopyConfirmationShape::listRow : CopyConfirmationShape::card;
        const auto paint = [&](HistoryRowContent::Excerpts* kept) {
            input.excerpts = kept;
            QImage image(drawing.size, QImage::Format_ARGB32);
            image.fill(Qt::white);
            QPainter painter(&image);
            HistoryRowContent::paint(painter, QRectF(image.rect()), input);
            return image;
        };
        // Drawn twice from what is kept: once as it is made, once as it is found.
        paint(&excerpts);
        EXPECT_EQ(paint(&excerpts), paint(nullptr)) << drawing.text.left(8).toStdString() << " " << drawing.compact
                                                    << " " << drawing.size.width() << "x" << drawing.size.height();
    }
}

TEST(HistoryRowContent, AShortenedSourceNameLeavesTheCountsWholeAtEveryWidth)
{
    // Qt's eliding may hand back a text a fraction of a pixel wider than asked for; the counts
    // beside it must not pay for that with a cut in their middle.
    const QFontMetricsF metrics(SystemFont::regular(11));
    const qreal separator = metrics.horizontalAdvance(QStringLiteral(" · "));
    for (const QString& counts : {QStringLiteral("11722 characters"), QStringLiteral("3 lines · 122 characters")}) {
        const qreal width = metrics.horizontalAdvance(counts);
        for (qreal available = width + 40; available < width + 140; available += 0.25) {
            const auto [name, detail] = HistoryRowContent::footerTexts(
                SystemFont::regular(11), QStringLiteral("org.tavlin.Tavlin"), counts, available, false);
            ASSERT_EQ(detail, counts) << available << " beside " << name.toStdString();
            if (!name.isEmpty()) {
                EXPECT_LE(metrics.horizontalAdvance(name) + separator + width, available + 0.01) << available;
            }
        }
    }
}
