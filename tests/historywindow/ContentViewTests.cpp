#include "ClearHistorySheet.h"
#include "Contrast.h"
#include "DesignTestSupport.h"
#include "FakeSystemAppearance.h"
#include "HistoryControls.h"
#include "HistoryEmptyView.h"
#include "HistoryWindow.h"
#include "HistoryWindowFixture.h"
#include "ImageSamples.h"
#include "RecordListModel.h"
#include "RecordMenu.h"
#include "SearchFocusRing.h"
#include "SourceFilterPopover.h"
#include "SourceIconView.h"
#include "TavlinTheme.h"
#include "ThemeAppearance.h"

#include <QAbstractItemModelTester>
#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QCursor>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QStyleOptionButton>

#include <gtest/gtest.h>

using namespace tavlin;
using namespace tavlin::test;

namespace {

QString text(QWidget* widget)
{
    if (auto* label = qobject_cast<QLabel*>(widget))
        return label->text();
    return qobject_cast<QAbstractButton*>(widget)->text();
}

QModelIndex rowOf(QAbstractItemView* view, int row)
{
    return view->model()->index(row, 0);
}

// A Ctrl+C as X11 delivers it: under a Russian layout the key is the Latin C and the text empty.
void pressCopy(QWidget* widget, bool russianLayout)
{
    QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_C, russianLayout ? QString() : QStringLiteral("c"),
                        Qt::ControlModifier);
}

QAction* moreAction(ContentView& view, const QString& title)
{
    for (QMenu* menu : view.findChildren<QMenu*>()) {
        for (QAction* action : menu->actions()) {
            if (action->text() == title)
                return action;
        }
    }
    return nullptr;
}

} // namespace

TEST(ContentView, ListsTheHistoryAndCopiesRecordsBackFromListAndCards)
{
    HistoryWindowFixture fixture;
    fixture.captureText(QStringLiteral("first"));
    fixture.captureText(QStringLiteral("second"));
    ContentView& view = fixture.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::focusWidget() == view.searchField(); }, 10000));
    EXPECT_EQ(view.searchField()->objectName(), QStringLiteral("history-search"));
    QAbstractItemView* list = fixture.records();
    ASSERT_EQ(list->objectName(), QStringLiteral("history-list"));
    ASSERT_EQ(list->model()->rowCount(), 2);
    EXPECT_EQ(view.selection(), fixture.model->browser().clips().first().id) << "the newest record is selected";

    // Ctrl+C in the list copies the selected record, not the row's text.
    const Clip first = fixture.model->browser().clips().last();
    list->setFocus();
    list->setCurrentIndex(rowOf(list, 1));
    const int writes = fixture.pasteboard.writeCount();
    pressCopy(list, true);
    ASSERT_TRUE(QTest::qWaitFor([&] { return fixture.pasteboard.writeCount() == writes + 1; }, 10000));
    EXPECT_EQ(fixture.pasteboard.string(QStringLiteral("public.utf8-plain-text")), QStringLiteral("first"));
    const QString confirmation = QStringLiteral("copy-confirmation-%1").arg(first.id);
    EXPECT_EQ(rowOf(list, 1).data(RecordListModel::ConfirmationRole).toString(), confirmation);
    // Assistive technology finds the badge in the record's cell, named and identified.
    QAccessibleInterface* cell = QAccessible::queryAccessibleInterface(list)->child(1);
    ASSERT_EQ(cell->childCount(), 1);
    EXPECT_EQ(cell->child(0)->text(QAccessible::Name), QStringLiteral("Copied"));
    EXPECT_EQ(cell->child(0)->text(QAccessible::UserText), confirmation);
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return rowOf(list, 1).data(RecordListModel::ConfirmationRole).isNull(); }, 10000));
    EXPECT_EQ(cell->childCount(), 0);
    EXPECT_TRUE(view.copied());

    // Cards: each card is named by its record; Return on a focused card copies it.
    fixture.preferences.setViewMode(HistoryViewMode::cards);
    QAbstractItemView* grid = fixture.records();
    ASSERT_EQ(grid->objectName(), QStringLiteral("history-grid"));
    EXPECT_EQ(rowOf(grid, 1).data(RecordListModel::IdentifierRole).toString(),
              QStringLiteral("history-card-%1").arg(first.id));
    EXPECT_EQ(view.selection(), first.id) << "the selection survives the change of view";
    grid->setFocus();
    QTest::keyClick(grid, Qt::Key_Left);
    EXPECT_EQ(view.selection(), fixture.model->browser().clips().first().id);
    QTest::keyClick(grid, Qt::Key_Enter, Qt::KeypadModifier);
    ASSERT_TRUE(QTest::qWaitFor([&] { return fixture.pasteboard.writeCount() == writes + 2; }, 10000));
    EXPECT_EQ(fixture.pasteboard.string(QStringLiteral("public.utf8-plain-text")), QStringLiteral("second"));
}

TEST(ContentView, ACaptureWhileOpenInsertsOneRowAndResetsNothing)
{
    HistoryWindowFixture fixture;
    fixture.captureText(QStringLiteral("first"));
    fixture.captureText(QStringLiteral("second"));
    fixture.preferences.setViewMode(HistoryViewMode::cards);
    ContentView& view = fixture.show();
    QAbstractItemView* grid = fixture.records();
    QAbstractItemModelTester tester(grid->model(), QAbstractItemModelTester::FailureReportingMode::Fatal);
    const qint64 selected = fixture.model->browser().clips().last().id;
    view.setSelection(selected);
    QSignalSpy resets(grid->model(), &QAbstractItemModel::modelReset);
    QSignalSpy inserted(grid->model(), &QAbstractItemModel::rowsInserted);

    fixture.captureText(QStringLiteral("third"));
    ASSERT_EQ(grid->model()->rowCount(), 3);
    EXPECT_EQ(inserted.size(), 1);
    EXPECT_EQ(inserted.value(0).value(1).toInt(), 0);
    EXPECT_TRUE(resets.isEmpty());
    EXPECT_EQ(view.selection(), selected);
    EXPECT_EQ(grid->currentIndex().row(), 2) << "the selection moved down with its record";
    EXPECT_GT(grid->visualRect(grid->model()->index(0, 0)).height(), 0) << "the new card is laid out";
}

// The first rows come with the page, the others as the cards ask for them: either way the image
// is decoded before it reaches the records, and what a card shows is that very image.
TEST(ContentView, ImageRecordsReachTheRecordsWithTheirImagesDecoded)
{
    HistoryWindowFixture fixture;
    for (int i = 0; i < 8; ++i) {
        const QByteArray image = png(512, 256, QColor::fromHsv(i * 40, 200, 200));
        fixture.capture({{{QStringLiteral("public.png")}, {{QStringLiteral("public.png"), image}}}});
    }
    fixture.preferences.setViewMode(HistoryViewMode::cards);
    fixture.show();
    auto* records = qobject_cast<RecordListModel*>(fixture.records()->model());
    ASSERT_TRUE(records);
    ASSERT_EQ(records->rowCount(), 8);
    for (int row : {0, 7}) {
        records->presentation(row);
        ASSERT_TRUE(QTest::qWaitFor([&] { return records->storedRow(row).has_value(); }, 5000)) << row;
        const QImage arrived = records->storedRow(row)->image;
        EXPECT_EQ(arrived.size(), QSize(256, 128)) << row;
        EXPECT_EQ(arrived.pixel(5, 5), QColor::fromHsv((7 - row) * 40, 200, 200).rgb()) << row;
        EXPECT_EQ(records->presentation(row).image.cacheKey(), arrived.cacheKey()) << row;
    }
}

TEST(ContentView, ThePreviewIsRebuiltOnlyWhenTheRecordItShowsChanges)
{
    HistoryWindowFixture fixture;
    fixture.captureText(QStringLiteral("kept"));
    ContentView& view = fixture.show();
    const qint64 kept = fixture.model->browser().clips().first().id;
    QPointer<QWidget> panel = fixture.find(QStringLiteral("clip-preview-panel"));
    ASSERT_TRUE(panel);

    // A capture and the reload after it keep the selection, and the panel with it.
    fixture.captureText(QStringLiteral("arrived"));
    fixture.settle();
    ASSERT_EQ(fixture.model->browser().clips().size(), 2);
    EXPECT_EQ(view.selection(), kept);
    EXPECT_TRUE(panel) << "the preview was built again";

    // Making the record a favorite changes what the panel shows.
    fixture.find<QAbstractButton>(QStringLiteral("favorite-clip"))->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !panel; }, 10000));
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            auto* favorite = fixture.find<QAbstractButton>(QStringLiteral("favorite-clip"));
            return favorite && favorite->text() == QStringLiteral("Unfavorite");
        },
        5000));
}

// Counts the paint events each watched widget receives.
struct PaintCounter : QObject {
    QHash<QObject*, int> paints;
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        paints[watched] += event->type() == QEvent::Paint;
        return false;
    }
};

TEST(ContentView, TheSearchCaretsBlinkRepaintsTheFieldAlone)
{
    HistoryWindowFixture fixture;
    ContentView& view = fixture.show();
    QLineEdit* search = view.searchField();
    ASSERT_TRUE(QTest::qWaitFor([&] { return search->hasFocus(); }, 10000));
    QWidget* ring = fixture.find<QWidget>(QStringLiteral("history-search-box"))->findChild<SearchFocusRing*>();
    ASSERT_TRUE(ring);
    QTest::qWait(200);
    PaintCounter counter;
    for (QObject* watched : std::initializer_list<QObject*>{&view, ring, search})
        watched->installEventFilter(&counter);
    ASSERT_TRUE(QTest::qWaitFor([&] { return counter.paints.value(search) >= 2; }, 5000)) << "the caret does not blink";
    EXPECT_EQ(counter.paints.value(&view), 0) << "the window under the field was repainted";
    EXPECT_EQ(counter.paints.value(ring), 0) << "the field's outline was repainted";
}

TEST(ContentView, CtrlCInTheSearchFieldCopiesItsSelectionElseTheSelectedRecord)
{
    HistoryWindowFixture fixture;
    fixture.captureText(QStringLiteral("the record"));
    ContentView& view = fixture.show();
    QLineEdit* search = view.searchField();
    search->setFocus();
    QTest::keyClicks(search, QStringLiteral("the"));
    search->selectAll();
    const int writes = fixture.pasteboard.writeCount();
    pressCopy(search, false);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("the"));
    search->deselect();
    for (bool russian : {false, true}) {
        pressCopy(search, russian);
        ASSERT_TRUE(QTest::qWaitFor([&] { return fixture.pasteboard.writeCount() == writes + 1 + russian; }, 10000))
            << russian;
    }
    EXPECT_EQ(fixture.pasteboard.string(QStringLiteral("public.utf8-plain-text")), QStringLiteral("the record"));
    // Ctrl+F brings the caret back from the records; Down leads to them.
    fixture.records()->setFocus();
    QTest::keyClick(fixture.records(), Qt::Key_F, Qt::ControlModifier);
    EXPECT_TRUE(search->hasFocus());
    QTest::keyClick(search, Qt::Key_Down);
    EXPECT_TRUE(fixture.records()->hasFocus());
    fixture.preferences.setViewMode(HistoryViewMode::cards);
    search->setFocus();
    QTest::keyClick(search, Qt::Key_Down);
    EXPECT_TRUE(fixture.records()->hasFocus()) << QApplication::focusWidget()->objectName().toStdString();
}

TEST(ContentView, TypingReloadsOnceAfterTheLastKeystroke)
{
    HistoryWindowFixture fixture;
    for (const QString& word : {QStringLiteral("apple"), QStringLiteral("banana"), QStringLiteral("apricot")})
        fixture.captureText(word);
    ContentView& view = fixture.show();
    QSignalSpy reloads(&fixture.model->browser(), &HistoryBrowser::historyChanges);
    QTest::keyClicks(view.searchField(), QStringLiteral("apr"));
    EXPECT_TRUE(view.isReloadPending());
    EXPECT_EQ(reloads.count(), 0) << "no reload while typing";
    ASSERT_TRUE(QTest::qWaitFor([&] { return fixture.model->browser().clips().size() == 1; }, 10000));
    QTest::qWait(0);
    EXPECT_EQ(reloads.count(), 1);
    EXPECT_EQ(fixture.model->browser().query(), QStringLiteral("apr"));
    EXPECT_EQ(fixture.records()->model()->rowCount(), 1);
}

TEST(ContentView, StatusLineCountsAndFilterControls)
{
    HistoryWindowFixture fixture;
    fixture.store(350);
    ContentView& view = fixture.show();
    auto* status = fixture.find<QLabel>(QStringLiteral("history-status"));
    EXPECT_EQ(status->text(), QStringLiteral("Showing 200 of 350"));
    EXPECT_EQ(fixture.find<QPushButton>(QStringLiteral("history-section-history"))->accessibleDescription(),
              QStringLiteral("350"));

    QAction* reset = moreAction(view, QStringLiteral("Reset Filters"));
    ASSERT_TRUE(reset);
    EXPECT_FALSE(reset->isEnabled());
    fixture.model->browser().setSection(HistorySection::favorites);
    EXPECT_FALSE(reset->isEnabled()) << "the section is not a filter";
    QTest::keyClick(view.searchField(), Qt::Key_Space);
    EXPECT_TRUE(reset->isEnabled()) << "a blank query still filters";
    reset->trigger();
    EXPECT_EQ(view.searchField()->text(), QString());
    EXPECT_EQ(fixture.model->browser().section(), HistorySection::favorites);
    fixture.settle();
    EXPECT_EQ(status->text(), QStringLiteral("Records: 0"));
}

TEST(ContentView, EmptyHistoryShowsZerosTheEmptyStateAndNoClearing)
{
    HistoryWindowFixture fixture;
    ContentView& view = fixture.show();
    EXPECT_EQ(fixture.find<QPushButton>(QStringLiteral("history-section-history"))->accessibleDescription(),
              QStringLiteral("0"));
    EXPECT_EQ(fixture.find<QPushButton>(QStringLiteral("history-section-favorites"))->accessibleDescription(),
              QStringLiteral("0"));
    EXPECT_FALSE(fixture.records()->isVisible());
    EXPECT_TRUE(view.findChild<HistoryEmptyView*>()->isVisible());
    EXPECT_FALSE(moreAction(view, QStringLiteral("Clear All History…"))->isEnabled());
}

TEST(ContentView, SourceFilterCountsApplicationsAndUnknownSources)
{
    HistoryWindowFixture fixture;
    fixture.captureText(QStringLiteral("from the editor"), QStringLiteral("org.gnome.TextEditor"));
    fixture.captureText(QStringLiteral("from firefox"), QStringLiteral("org.mozilla.firefox"));
    fixture.captureText(QStringLiteral("from nowhere"), std::nullopt);
    ContentView& view = fixture.show();
    auto* button = fixture.find<QAbstractButton>(QStringLiteral("history-source-filter"));
    EXPECT_EQ(button->text(), QStringLiteral("All Apps"));
    button->click();
    SourceFilterPopover* popover = view.sourcePopover();
    ASSERT_TRUE(popover);
    EXPECT_EQ(popover->width(), SourceFilterPopover::popoverWidth);
    QAbstractItemView* rows = popover->list();
    ASSERT_TRUE(rows);
    ASSERT_EQ(rows->model()->rowCount(), 3);
    for (int row = 0; row < 3; ++row) {
        EXPECT_EQ(rowOf(rows, row).data(Qt::CheckStateRole), Qt::Unchecked);
        QTest::mouseClick(rows->viewport(), Qt::LeftButton, {}, rows->visualRect(rowOf(rows, row)).center());
    }
    EXPECT_EQ(button->text(), QStringLiteral("Apps: 3"));
    EXPECT_EQ(text(view.sourcePopover()->findChild<QLabel*>(QStringLiteral("source-filter-summary"))),
              QStringLiteral("Selected: 3"));
    QStringList names;
    for (int row = 0; row < 3; ++row)
        names.append(QAccessible::queryAccessibleInterface(rows)->child(row)->text(QAccessible::Name));
    EXPECT_TRUE(names.contains(QStringLiteral("Unknown source")));
    EXPECT_TRUE(names.contains(QStringLiteral("org.mozilla.firefox")))
        << "an application not installed goes by its identifier";

    view.sourcePopover()->findChild<QAbstractButton*>(QStringLiteral("source-filter-reset"))->click();
    EXPECT_EQ(button->text(), QStringLiteral("All Apps"));
    // A press on the button closes the popup and does not open it again; closing clears the flag.
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !view.sourcePopover(); }, 10000));
}

TEST(ClearHistorySheet, ReturnDoesNothingEscapeCancelsAndTheCountNeverGoesNegative)
{
    QWidget window;
    int cancelled = 0;
    std::optional<bool> cleared;
    auto* sheet = new ClearHistorySheet(
        3, 0, [&] { ++cancelled; }, [&](bool keeping) { cleared = keeping; }, &window);
    sheet->show();
    auto* count = sheet->findChild<QLabel*>(QStringLiteral("clear-history-count"));
    // The counts arrive one at a time: the total of a finished clear before its favorites.
    sheet->setCounts(3, 5);
    EXPECT_EQ(count->text(), QStringLiteral("To be deleted: 0"));
    sheet->findChild<QRadioButton*>()->setChecked(false);
    for (QRadioButton* option : sheet->findChildren<QRadioButton*>())
        option->setChecked(option->text() == QStringLiteral("Delete all records"));
    EXPECT_EQ(count->text(), QStringLiteral("To be deleted: 3"));
    for (QWidget* target :
         QList<QWidget*>{sheet, sheet->findChild<QPushButton*>(QStringLiteral("clear-history-confirm"))}) {
        target->setFocus();
        QTest::keyClick(target, Qt::Key_Return);
    }
    EXPECT_FALSE(cleared);
    EXPECT_TRUE(sheet->isVisible());
    QTest::keyClick(sheet, Qt::Key_Escape);
    EXPECT_EQ(cancelled, 1);
    EXPECT_FALSE(cleared);
}

TEST(ClearHistorySheet, ItsChoicesShowOnADarkWindow)
{
    QWidget window;
    window.setPalette(ThemeAppearance::palette({true, false}));
    ClearHistorySheet sheet(
        3, 1, [] {}, [](bool) {}, &window);
    sheet.show();
    const int background = sheet.palette().color(QPalette::Window).lightness();
    for (QRadioButton* choice : sheet.findChildren<QRadioButton*>()) {
        QStyleOptionButton option;
        option.initFrom(choice);
        const QRect indicator = choice->style()->subElementRect(QStyle::SE_RadioButtonIndicator, &option, choice);
        const QImage image = sheet.grab(QRect(choice->mapTo(&sheet, indicator.topLeft()), indicator.size())).toImage();
        int contrast = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x)
                contrast = std::max(contrast, std::abs(image.pixelColor(x, y).lightness() - background));
        }
        EXPECT_GE(contrast, 60) << choice->text().toStdString();
    }
}

TEST(ContentView, ClearingKeepingFavoritesLeavesOnlyThem)
{
    HistoryWindowFixture fixture;
    for (const QString& text : {QStringLiteral("keep"), QStringLiteral("drop 1"), QStringLiteral("drop 2")})
        fixture.captureText(text);
    QCoro::waitFor(fixture.model->browser().reload());
    QCoro::waitFor(fixture.model->operations().setFavorite(fixture.model->browser().clips().last(), true));
    ContentView& view = fixture.show();
    moreAction(view, QStringLiteral("Clear All History…"))->trigger();
    ASSERT_TRUE(view.clearSheet());
    EXPECT_EQ(view.clearSheet()->findChild<QLabel*>(QStringLiteral("clear-history-count"))->text(),
              QStringLiteral("To be deleted: 2"));
    QSignalSpy ended(&view, &ContentView::sheetEnded);
    view.clearSheet()->findChild<QPushButton*>(QStringLiteral("clear-history-confirm"))->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return fixture.model->browser().totalCount() == 1; }, 10000));
    EXPECT_EQ(ended.count(), 1);
    EXPECT_EQ(fixture.model->browser().clips().first().text, QStringLiteral("keep"));
}

TEST(RecordMenu, EntriesFollowTheRecordAndActOnlyOnRecordsStillListed)
{
    QList<Clip> listed{{7, QStringLiteral("x"), QDateTime::currentDateTime(), QStringLiteral("org.mozilla.firefox"),
                        ClipKind::text, true}};
    std::optional<std::pair<qint64, bool>> favorite;
    std::optional<qint64> selected;
    RecordCallbacks callbacks;
    callbacks.onFavoriteChange = [&](const Clip& clip, bool value) { favorite = std::pair(clip.id, value); };
    callbacks.onSelect = [&](std::optional<qint64> id) { selected = id; };
    const auto resolve = [&](qint64 id) { return RecordMenu::find(listed, id); };
    std::unique_ptr<QMenu> menu(RecordMenu::build(listed.first(), resolve, callbacks, nullptr));
    QStringList titles;
    for (QAction* action : menu->actions())
        titles.append(action->text());
    EXPECT_EQ(titles, (QStringList{"Copy", "Remove from Favorites", "Copies from This App", "", "Delete"}));
    menu->actions()[1]->trigger();
    EXPECT_EQ(favorite, std::pair(qint64(7), false));
    menu->actions()[0]->trigger();
    EXPECT_EQ(selected, 7);

    Clip plain = listed.first();
    plain.source.reset();
    plain.isFavorite = false;
    std::unique_ptr<QMenu> short_(RecordMenu::build(plain, resolve, callbacks, nullptr));
    EXPECT_EQ(short_->actions().size(), 4);
    favorite.reset();
    listed.clear();
    short_->actions()[1]->trigger();
    EXPECT_FALSE(favorite) << "the record left the listing";
}

TEST(ContentView, AssistiveTechnologyReadsRecordsAndIconButtons)
{
    HistoryWindowFixture fixture;
    fixture.captureText(QStringLiteral("https://example.org/a"));
    fixture.captureText(QStringLiteral("newer"));
    ContentView& view = fixture.show();
    for (HistoryViewMode mode : {HistoryViewMode::list, HistoryViewMode::cards}) {
        fixture.preferences.setViewMode(mode);
        QAccessibleInterface* records = QAccessible::queryAccessibleInterface(fixture.records());
        ASSERT_TRUE(records);
        ASSERT_GE(records->childCount(), 1) << records->role();
        QStringList names;
        for (int i = 0; i < records->childCount(); ++i) {
            names.append(records->child(i)->text(QAccessible::Name));
            EXPECT_EQ(records->child(i)->text(QAccessible::Description), QString()) << "read aloud after the name";
        }
        EXPECT_TRUE(names.contains(QStringLiteral("LINK: https://example.org/a")))
            << names.join(QLatin1Char('|')).toStdString();
        // Pressing a card or row selects its record in the window.
        view.setSelection(fixture.model->browser().clips().first().id);
        QAccessibleInterface* older = records->child(1);
        EXPECT_EQ(older->role(), QAccessible::Cell);
        older->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        EXPECT_EQ(view.selection(), fixture.model->browser().clips().last().id);
    }
    EXPECT_EQ(QAccessible::queryAccessibleInterface(view.searchField())->text(QAccessible::Name),
              QStringLiteral("Search history…"));
    EXPECT_EQ(QAccessible::queryAccessibleInterface(fixture.find(QStringLiteral("history-preview-toggle")))
                  ->text(QAccessible::Name),
              QStringLiteral("Hide Preview"));

    // The chosen kind chip and section are heard as chosen, and only they; pressing the chosen
    // one again leaves it chosen.
    const auto chosen = [&](const QStringList& names) {
        QStringList checked;
        for (const QString& name : names) {
            if (QAccessible::queryAccessibleInterface(fixture.find(name))->state().checked)
                checked.append(name);
        }
        return checked;
    };
    const QStringList chips{QStringLiteral("history-kind-all"), QStringLiteral("history-kind-text"),
                            QStringLiteral("history-kind-links")};
    const QStringList sections{QStringLiteral("history-section-history"), QStringLiteral("history-section-favorites")};
    EXPECT_EQ(chosen(chips), QStringList{chips[0]});
    EXPECT_EQ(chosen(sections), QStringList{sections[0]});
    for (int press = 0; press < 2; ++press) {
        QAccessible::queryAccessibleInterface(fixture.find(chips[2]))
            ->actionInterface()
            ->doAction(QAccessibleActionInterface::pressAction());
        QTest::mouseClick(fixture.find<QPushButton>(sections[1]), Qt::LeftButton);
        fixture.settle();
        EXPECT_EQ(chosen(chips), QStringList{chips[2]}) << press;
        EXPECT_EQ(chosen(sections), QStringList{sections[1]}) << press;
    }
    EXPECT_EQ(fixture.model->browser().kindFilter(), HistoryKindFilter::links);
}

TEST(ContentView, AssistiveTechnologyHearsOnlyWhatShows)
{
    HistoryWindowFixture fixture;
    fixture.store(60);
    fixture.show();
    for (HistoryViewMode mode : {HistoryViewMode::list, HistoryViewMode::cards}) {
        fixture.preferences.setViewMode(mode);
        QAccessibleInterface* records = QAccessible::queryAccessibleInterface(fixture.records());
        ASSERT_EQ(records->childCount(), 60);
        EXPECT_FALSE(records->child(0)->state().offscreen);
        EXPECT_TRUE(records->child(59)->state().offscreen) << "scrolled out of view";
    }
    // The search field's magnifying glass only decorates.
    auto* glass = fixture.view->findChild<QWidget*>(QStringLiteral("search-glass"));
    ASSERT_TRUE(glass);
    EXPECT_TRUE(QAccessible::queryAccessibleInterface(glass)->state().invisible);
}

TEST(ContentView, ADamagedDatabaseShowsItsMessageAndStaysUntouched)
{
    HistoryWindowFixture fixture;
    QDir().mkpath(QFileInfo(fixture.folder.databasePath()).absolutePath());
    const QByteArray junk = QByteArray("not a database, but somebody's bytes ").repeated(200);
    QFile file(fixture.folder.databasePath());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(junk) == junk.size());
    file.close();
    ContentView& view = fixture.show();
    auto* banner = fixture.find(QStringLiteral("history-error"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return banner->isVisible(); }, 10000));
    EXPECT_FALSE(fixture.find<QLabel>(QStringLiteral("history-error-message"))->text().isEmpty());
    EXPECT_TRUE(view.findChild<HistoryEmptyView*>()->isVisible());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), junk) << "the file is left as it was";
}

TEST(ContentView, MenusTakeTheWindowsDarkTheme)
{
    HistoryWindowFixture fixture;
    fixture.store(1);
    ContentView& view = fixture.show();
    FakeSystemAppearance system;
    new ThemeAppearance(&view, system, ThemePreference::dark);
    const QColor window = view.palette().color(QPalette::Window);
    ASSERT_LT(window.lightness(), 80);
    // The record menu, as the menu key opens it on the selected record.
    fixture.records()->setCurrentIndex(rowOf(fixture.records(), 0));
    QContextMenuEvent key(QContextMenuEvent::Keyboard, QPoint(), QCursor::pos());
    QApplication::sendEvent(fixture.records(), &key);
    auto* record = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_TRUE(record);
    auto* more = qobject_cast<QMenu*>(moreAction(view, QStringLiteral("Reset Filters"))->parent());
    ASSERT_TRUE(more);
    for (QMenu* menu : {record, more}) {
        EXPECT_EQ(menu->palette().color(QPalette::Window), window);
        EXPECT_EQ(menu->palette().color(QPalette::WindowText), view.palette().color(QPalette::WindowText));
    }
    record->close();
}

// No compositor draws a shadow under the Apps popover: its edge alone tells it from the window and
// the cards it opens over, in light, dark and increased contrast.
TEST(ContentView, TheAppsPopoversEdgeStandsOutFromWhatItOpensOver)
{
    HistoryWindowFixture fixture;
    fixture.store(1);
    ContentView& view = fixture.show();
    FakeSystemAppearance system;
    new ThemeAppearance(&view, system, ThemePreference::system);
    for (const Appearance appearance :
         {Appearance{false, false}, Appearance{false, true}, Appearance{true, false}, Appearance{true, true}}) {
        system.setDark(appearance.dark);
        system.setIncreasedContrast(appearance.highContrast);
        view.setShowingSources(true);
        SourceFilterPopover* popover = view.sourcePopover();
        ASSERT_TRUE(popover);
        for (const ThemeColor& under : {TavlinTheme::appBackground, TavlinTheme::surfaceColor}) {
            const QColor behind = under.resolve(appearance);
            QImage image(popover->size(), QImage::Format_ARGB32);
            image.fill(behind);
            popover->render(&image, {}, {}, QWidget::DrawChildren);
            // Its left edge, halfway down.
            EXPECT_GE(test::strongestContrast(image, QRect(0, image.height() / 2, 2, 1), behind), 3.0)
                << (appearance.dark ? "dark" : "light") << (appearance.highContrast ? "+contrast " : " ")
                << behind.name().toStdString();
        }
        view.setShowingSources(false);
    }
}

TEST(ContentView, SmallestRussianWindowShowsEveryKindChipWhole)
{
    ScopedLanguage russian(QStringLiteral("ru"));
    HistoryWindowFixture fixture;
    ContentView& view = fixture.show({820, 540});
    fixture.settle();
    auto* source = fixture.find<QPushButton>(QStringLiteral("history-source-filter"));
    const QWidget* viewport =
        view.findChild<QPushButton*>(QStringLiteral("history-kind-all"))->parentWidget()->parentWidget();
    for (HistoryKindFilter filter : allHistoryKindFilters) {
        auto* chip = fixture.find<QPushButton>(QStringLiteral("history-kind-") + toRaw(filter));
        const QRect shown(chip->mapTo(viewport, QPoint()), chip->size());
        EXPECT_TRUE(viewport->rect().contains(shown)) << toRaw(filter).toStdString();
        EXPECT_GE(chip->width(), chip->sizeHint().width()) << toRaw(filter).toStdString();
    }
    // The narrowed source button still says what it filters, and a wider window gives its title back.
    EXPECT_TRUE(source->text().isEmpty());
    EXPECT_EQ(QAccessible::queryAccessibleInterface(source)->text(QAccessible::Name), QStringLiteral("Все приложения"));
    EXPECT_FALSE(source->toolTip().isEmpty());
    view.resize(1200, 700);
    fixture.settle();
    EXPECT_EQ(source->text(), QStringLiteral("Все приложения"));
}

// The heading is measured anew for each section's title, whichever came first.
TEST(ContentView, TheHeadingIsAsWideAsItsTitleInEverySection)
{
    for (const char* language : {"en", "ru"}) {
        ScopedLanguage scoped(QString::fromLatin1(language));
        HistoryWindowFixture fixture;
        fixture.show();
        auto* heading = fixture.find<QLabel>(QStringLiteral("history-heading"));
        for (HistorySection section : {HistorySection::favorites, HistorySection::history}) {
            fixture.model->browser().setSection(section);
            fixture.settle();
            EXPECT_GE(heading->width(), heading->sizeHint().width()) << heading->text().toStdString();
        }
    }
}

// An application's icon arrives from a worker: the rows, the cards, the preview and the Apps filter
// draw its name at once, and what arrives when it does; for an icon that cannot be drawn, the
// kind's symbol.
TEST(ContentView, NoPartOfTheWindowWaitsForAnApplicationsIcon)
{
    HistoryWindowFixture fixture;
    fixture.icons.hold = true;
    fixture.workspace.install({QStringLiteral("org.example.Slow"), QStringLiteral("Slow"), QStringLiteral("slow"),
                               QStringLiteral("/usr/share/applications/org.example.Slow.desktop")});
    fixture.preferences.setShowPreview(true);
    fixture.captureText(QStringLiteral("copied from a slow application"), QStringLiteral("org.example.Slow"));
    ContentView& view = fixture.show();
    fixture.records()->viewport()->repaint();
    auto* source = view.findChild<SourceIconView*>(QStringLiteral("source-icon"));
    ASSERT_TRUE(source) << "the preview's source";
    EXPECT_EQ(source->toolTip(), QStringLiteral("Slow"));
    source->repaint();
    fixture.preferences.setViewMode(HistoryViewMode::cards);
    fixture.settle();
    fixture.records()->viewport()->repaint();
    fixture.find<QAbstractButton>(QStringLiteral("history-source-filter"))->click();
    ASSERT_TRUE(view.sourcePopover() && view.sourcePopover()->list());
    view.sourcePopover()->list()->viewport()->repaint();
    EXPECT_TRUE(source->source()->symbol.isEmpty()) << "nothing has arrived";
    fixture.icons.release();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !source->source()->symbol.isEmpty(); }, 10000));
}

// A file's type icon comes from a worker, "doc" standing in meanwhile, and shows once it arrives.
TEST(ContentView, AFilesTypeIconIsShownOnceItArrives)
{
    HistoryWindowFixture fixture;
    fixture.icons.hold = true;
    fixture.icons.fileTypes.insert(QStringLiteral("txt"), test::FakeApplicationIconImages::filled(Qt::green));
    const QString fileURL = QStringLiteral("public.file-url");
    fixture.capture({{{fileURL}, {{fileURL, QUrl::fromLocalFile(fixture.folder.path() + "/notes.txt").toEncoded()}}}});
    fixture.show();
    const auto greenPixels = [&] {
        const QImage shown = fixture.records()->viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
        const auto* pixels = reinterpret_cast<const QRgb*>(shown.constBits());
        return std::count(pixels, pixels + shown.width() * shown.height(), qRgb(0, 255, 0));
    };
    fixture.settle();
    EXPECT_EQ(greenPixels(), 0);
    fixture.icons.release();
    for (HistoryViewMode mode : {HistoryViewMode::list, HistoryViewMode::cards}) {
        fixture.preferences.setViewMode(mode);
        fixture.settle();
        // A row's icon is 32 pixels square, a card's 36.
        EXPECT_TRUE(QTest::qWaitFor([&] { return greenPixels() >= 30 * 30; }, 10000)) << toRaw(mode).toStdString();
    }
}
