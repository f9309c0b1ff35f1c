// The history window of the real application, on a desktop with a window manager and a tray:
// what is copied shows after a tray click, typing narrows it, and records go back to the
// clipboard byte for byte.
#include "ApplicationProfile.h"
#include "ImageSamples.h"

#include <gtest/gtest.h>

using namespace tavlin::test;

namespace {

QByteArray sh(const QString& script)
{
    QProcess process;
    process.start(QStringLiteral("sh"), {QStringLiteral("-c"), script});
    finished(process, script);
    return process.readAllStandardOutput().trimmed();
}

void keys(const QString& keys)
{
    sh(QStringLiteral("xdotool key --delay 60 ") + keys);
}

QByteArray clipboard(const QString& type = QStringLiteral("UTF8_STRING"))
{
    QProcess process;
    process.start(
        QStringLiteral("xclip"),
        {QStringLiteral("-o"), QStringLiteral("-selection"), QStringLiteral("clipboard"), QStringLiteral("-t"), type});
    process.waitForFinished(5000);
    return process.readAllStandardOutput();
}

// Presses `keys` (ending in a copy) until the clipboard holds `expected`: the listing follows the
// search 130 ms after the last key.
bool copiesBack(const QString& pressed, const QByteArray& expected, const QString& type = QStringLiteral("UTF8_STRING"))
{
    return waitUntil(
        [&] {
            keys(pressed);
            return clipboard(type) == expected;
        },
        10000);
}

struct RunningApplication {
    Profile profile;
    Desktop desktop;
    std::unique_ptr<QProcess> process;

    explicit RunningApplication(const QByteArray& preferences = {}, bool withWindowManager = true)
        : desktop(withWindowManager)
    {
        profile.storeKnown(preferences);
        process = profile.launch();
        QByteArray log;
        EXPECT_TRUE(waitForMonitoring(*process, log)) << log.toStdString();
    }
    ~RunningApplication()
    {
        process->terminate();
        EXPECT_TRUE(exitsWith(*process, 0));
    }
    void copy(const QString& text)
    {
        const qint64 before = records(profile);
        sh(QStringLiteral("printf '%1' | xclip -selection clipboard").arg(text));
        EXPECT_TRUE(waitUntil([&] { return records(profile) == before + 1; }, 10000));
    }
    void open() { ASSERT_FALSE(Desktop::openHistory().isEmpty()) << process->readAllStandardError().toStdString(); }
    // More Actions (the header's last button), "Clear All History…", then Clear keeping favorites,
    // all but the first click from the keyboard. Each key waits for the menu or the sheet it is
    // meant for: a loaded machine shows them late, and a key sent before goes to the window behind.
    void clearKeepingFavorites()
    {
        const QString history = Desktop::focusedWindow();
        const QByteArray geometry = sh(QStringLiteral("xdotool getwindowgeometry ") + history);
        const int width = geometry.mid(geometry.indexOf("Geometry: ") + 10).split('x').value(0).toInt();
        ASSERT_GT(width, 0) << geometry.toStdString();
        const QString ours = QStringLiteral("--onlyvisible --class ^Tavlin$");
        const QStringList before = searchWindows(ours);
        sh(QStringLiteral("xdotool mousemove --window %1 %2 42 click 1").arg(history).arg(width - 37));
        ASSERT_TRUE(waitUntil(
            [&] {
                const QStringList shown = searchWindows(ours);
                return std::any_of(shown.begin(), shown.end(),
                                   [&](const QString& window) { return !before.contains(window); });
            },
            10000))
            << "the More Actions menu never showed";
        keys(QStringLiteral("Down Return"));
        ASSERT_TRUE(waitUntil([] { return Desktop::focusedWindowName() == u"Clear History?"; }, 10000))
            << "the sheet never took the keyboard";
        keys(QStringLiteral("Tab Tab space"));
    }
    QStringList texts() const
    {
        return queryTexts(profile.database, QStringLiteral("SELECT text FROM clips ORDER BY id"));
    }
};

} // namespace

TEST(HistoryWindowEndToEnd, SearchCopyBackDeleteFavoriteAndClearKeepingFavorites)
{
    RunningApplication app;
    app.copy(QStringLiteral("alpha one"));
    app.copy(QStringLiteral("beta two"));
    const QByteArray image = png(48, 32, Qt::darkMagenta);
    const QString imageFile = app.profile.folder.path() + QStringLiteral("/picture.png");
    QFile file(imageFile);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(image) == image.size());
    file.close();
    QProcess xclip; // serves the picture from a process of its own
    xclip.start(QStringLiteral("xclip"),
                {QStringLiteral("-selection"), QStringLiteral("clipboard"), QStringLiteral("-t"),
                 QStringLiteral("image/png"), QStringLiteral("-i"), imageFile});
    ASSERT_TRUE(xclip.waitForFinished(10000));
    ASSERT_TRUE(waitUntil([&] { return records(app.profile) == 3; }, 10000));
    app.open();

    // The search field has the caret: typing narrows the listing to "beta two", and Ctrl+C
    // there (nothing selected in the field) copies the listed record.
    sh(QStringLiteral("xdotool type --delay 60 beta"));
    EXPECT_TRUE(copiesBack(QStringLiteral("ctrl+c"), "beta two"));

    // All records again; Down leads into the list, Home to the newest (the image), whose exact
    // bytes Ctrl+C puts back.
    keys(QStringLiteral("ctrl+a BackSpace Down"));
    EXPECT_TRUE(copiesBack(QStringLiteral("Home ctrl+c"), image, QStringLiteral("image/png")));

    // The record menu from the keyboard: Delete is its last entry.
    keys(QStringLiteral("Menu Up Return"));
    EXPECT_TRUE(waitUntil([&] { return records(app.profile) == 2; }, 10000));
    // The oldest becomes a favorite: the menu opens on its first entry, and this is its second.
    keys(QStringLiteral("End Menu Down Return"));
    EXPECT_TRUE(waitUntil(
        [&] {
            return queryInteger(app.profile.database,
                                QStringLiteral("SELECT COUNT(*) FROM clips WHERE is_favorite = 1"))
                == 1;
        },
        10000));

    app.clearKeepingFavorites();
    EXPECT_TRUE(waitUntil([&] { return records(app.profile) == 1; }, 10000))
        << app.texts().join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(app.texts(), QStringList{QStringLiteral("alpha one")});
}

TEST(HistoryWindowEndToEnd, ReturnOnAFocusedCardCopiesItsExactText)
{
    RunningApplication app("<key>history.viewMode</key><string>cards</string>");
    const QString text = QStringLiteral("Grüße — 🙂 tabs\tand  spaces");
    app.copy(QStringLiteral("older"));
    app.copy(text);
    app.open();
    // Tab goes as the window reads: from the search field past the preview toggle, More Actions,
    // the chosen kind chip and the Apps button to the cards, one column beside the preview in the
    // small window a 1024 by 768 screen allows; Down moves to the older card.
    keys(QStringLiteral("Tab Tab Tab Tab Tab"));
    EXPECT_TRUE(waitUntil(
        [&] {
            keys(QStringLiteral("Down Return"));
            return clipboard() == "older";
        },
        10000));
    keys(QStringLiteral("Up Return"));
    EXPECT_TRUE(waitUntil([&] { return clipboard() == text.toUtf8(); }, 10000));
}

TEST(HistoryWindowEndToEnd, WithoutAWindowManagerTheWindowAndTheSheetTakeTheKeyboard)
{
    RunningApplication app({}, false);
    app.copy(QStringLiteral("alpha one"));
    app.copy(QStringLiteral("beta two"));
    app.open();
    sh(QStringLiteral("xdotool type --delay 60 alpha"));
    EXPECT_TRUE(copiesBack(QStringLiteral("ctrl+c"), "alpha one"));
    app.clearKeepingFavorites();
    EXPECT_TRUE(waitUntil([&] { return records(app.profile) == 0; }, 10000))
        << app.texts().join(QLatin1Char('|')).toStdString();
}

TEST(HistoryWindowEndToEnd, ARecordLeavingTheListingHandsTheSelectionToTheFirst)
{
    RunningApplication app;
    for (const char* text : {"apple one", "banana one", "apple two", "banana two", "apple three", "banana three"})
        app.copy(QString::fromUtf8(text));
    app.open();

    // "banana two" is the third record; a search for "apple" drops it, and the selection goes to
    // the first match, not to the record that followed it.
    keys(QStringLiteral("Down Down Down ctrl+f"));
    sh(QStringLiteral("xdotool type --delay 60 apple"));
    EXPECT_TRUE(copiesBack(QStringLiteral("ctrl+c"), "apple three"));

    // Escape takes the search back; deleting the selected "banana two" through its menu (Shift+F10
    // opens it as the Menu key does) selects the first record.
    // The full listing is back once the third record copied is "banana two".
    keys(QStringLiteral("Escape"));
    EXPECT_TRUE(copiesBack(QStringLiteral("Down Home Down Down ctrl+c"), "banana two"));
    keys(QStringLiteral("shift+F10 Up Return"));
    EXPECT_TRUE(waitUntil([&] { return records(app.profile) == 5; }, 10000));
    EXPECT_FALSE(app.texts().contains(QStringLiteral("banana two")))
        << app.texts().join(QLatin1Char('|')).toStdString();
    EXPECT_TRUE(copiesBack(QStringLiteral("ctrl+c"), "banana three"));
}
