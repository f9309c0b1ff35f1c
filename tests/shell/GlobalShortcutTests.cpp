// The controller of the global shortcut over a fake backend: loading, the order of registering and
// unregistering, recording, refusals that keep the old shortcut working, and press forwarding.
#include "FakeHotKeyBackend.h"
#include "GlobalShortcut.h"
#include "InMemoryDefaults.h"
#include "StoredPreferences.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

using tavlin::GlobalShortcut;
using tavlin::ShortcutBinding;
using tavlin::ShortcutError;
using tavlin::StoredPreferences;

namespace {

const ShortcutBinding defaultShortcut = ShortcutBinding::defaultBinding();
const ShortcutBinding ctrlAltK{40, ShortcutBinding::controlKey | ShortcutBinding::optionKey};
const ShortcutBinding shiftA{0, ShortcutBinding::shiftKey};
const QString conflictText = ShortcutError::conflict().localizedDescription();
const QString invalidText = ShortcutError::invalid().localizedDescription();

class GlobalShortcutTest : public ::testing::Test {
protected:
    void make(QVariantMap stored = {})
    {
        defaults = std::make_unique<tavlin::test::InMemoryDefaults>(std::move(stored));
        auto fake = std::make_unique<tavlin::test::FakeHotKeyBackend>();
        backend = fake.get();
        journal = fake->journal;
        shortcut = std::make_unique<GlobalShortcut>(*defaults, std::move(fake));
        QObject::connect(shortcut.get(), &GlobalShortcut::pressed, [this] { ++presses; });
    }
    void makeStarted()
    {
        make();
        shortcut->start();
        journal->clear();
    }
    // The backend calls since the last look.
    QStringList calls() { return std::exchange(*journal, {}); }
    std::optional<QByteArray> stored() { return defaults->data(StoredPreferences::shortcut.key); }

    std::unique_ptr<tavlin::test::InMemoryDefaults> defaults;
    tavlin::test::FakeHotKeyBackend* backend = nullptr;
    std::shared_ptr<QStringList> journal;
    std::unique_ptr<GlobalShortcut> shortcut;
    int presses = 0;
};

TEST_F(GlobalShortcutTest, LoadsTheStoredBindingOrTheDefault)
{
    make();
    EXPECT_EQ(shortcut->binding(), defaultShortcut);
    EXPECT_TRUE(journal->isEmpty()); // nothing registered before start()
    make({{StoredPreferences::shortcut.key, QByteArray(R"({"keyCode":40,"modifiers":6144,"note":"x"})")}});
    EXPECT_EQ(shortcut->binding(), ctrlAltK);
    make({{StoredPreferences::shortcut.key, QByteArray(R"({"keyCode":49,"modifiers":2048})")}});
    EXPECT_EQ(shortcut->binding(), (ShortcutBinding{49, ShortcutBinding::optionKey})) << "a stored Alt+Space stays";
}

TEST_F(GlobalShortcutTest, UnusableStoredValuesGiveTheDefaultAndStayUntouched)
{
    const QVariant unusable[] = {
        QByteArray(R"({"keyCode":36,"modifiers":256})"), // Super+Return: not valid
        QByteArray("garbage"),
        QString(R"({"keyCode":40,"modifiers":6144})"), // a string, not data
        QVariantMap{{"keyCode", 40}, {"modifiers", 6144}},
    };
    for (const QVariant& value : unusable) {
        make({{StoredPreferences::shortcut.key, value}});
        shortcut->start();
        EXPECT_EQ(shortcut->binding(), defaultShortcut) << value.toString().toStdString();
        EXPECT_TRUE(defaults->writtenKeys().isEmpty());
    }
}

TEST_F(GlobalShortcutTest, StartRegistersOnceAndForwardsPresses)
{
    make();
    shortcut->start();
    shortcut->start();
    EXPECT_EQ(calls(), QStringList({"register 9/6144 -> 1"}));
    backend->press(defaultShortcut);
    EXPECT_EQ(presses, 1);
}

TEST_F(GlobalShortcutTest, RefusedStartRunsWithoutHotKeyUntilAnotherIsRecorded)
{
    make();
    backend->taken.append(defaultShortcut); // e.g. another program's
    shortcut->start();
    EXPECT_EQ(shortcut->errorMessage(), conflictText);
    EXPECT_TRUE(backend->registrations.isEmpty());

    shortcut->beginRecording();
    EXPECT_EQ(shortcut->errorMessage(), std::nullopt);
    shortcut->finishRecording(ctrlAltK);
    EXPECT_EQ(shortcut->errorMessage(), std::nullopt);
    backend->press(ctrlAltK);
    EXPECT_EQ(presses, 1);
}

TEST_F(GlobalShortcutTest, ReplaceRegistersTheNewBeforeGivingUpTheOld)
{
    makeStarted();
    QSignalSpy bindingSpy(shortcut.get(), &GlobalShortcut::bindingChanged);
    shortcut->replace(ctrlAltK);
    EXPECT_EQ(calls(), QStringList({"register 40/6144 -> 2", "unregister 1"}));
    EXPECT_EQ(bindingSpy.count(), 1);
    EXPECT_EQ(stored(), QByteArray(R"({"keyCode":40,"modifiers":6144})"));
    backend->press(ctrlAltK);
    EXPECT_EQ(presses, 1);
}

TEST_F(GlobalShortcutTest, RefusedReplacementKeepsTheOldShortcutWorking)
{
    makeStarted();
    backend->taken.append(ctrlAltK);
    shortcut->replace(ctrlAltK);
    EXPECT_EQ(shortcut->errorMessage(), conflictText);
    backend->failing.append(ctrlAltK);
    backend->taken.clear();
    shortcut->replace(ctrlAltK);
    EXPECT_EQ(shortcut->errorMessage(), ShortcutError::system({}).localizedDescription());
    QSignalSpy messageSpy(shortcut.get(), &GlobalShortcut::errorMessageChanged);
    shortcut->replace(shiftA); // not valid: not even offered to the backend
    EXPECT_EQ(shortcut->errorMessage(), invalidText);
    EXPECT_EQ(messageSpy.count(), 1);

    EXPECT_EQ(calls(), QStringList({"register 40/6144 refused", "register 40/6144 refused"}));
    EXPECT_EQ(shortcut->binding(), defaultShortcut);
    EXPECT_TRUE(defaults->writtenKeys().isEmpty());
    backend->press(defaultShortcut);
    EXPECT_EQ(presses, 1);
}

TEST_F(GlobalShortcutTest, ReapplyingTheBindingTouchesTheSystemOnlyWhenUnregistered)
{
    makeStarted();
    shortcut->replace(shiftA);
    shortcut->replace(defaultShortcut); // the Reset button
    EXPECT_EQ(shortcut->errorMessage(), std::nullopt);
    EXPECT_TRUE(calls().isEmpty());
    EXPECT_TRUE(defaults->writtenKeys().isEmpty());

    make();
    backend->taken.append(defaultShortcut);
    shortcut->start();
    backend->taken.clear(); // the other program has let go
    shortcut->replace(defaultShortcut);
    EXPECT_EQ(shortcut->errorMessage(), std::nullopt);
    EXPECT_EQ(backend->registrations.values(), QList<ShortcutBinding>({defaultShortcut}));
    EXPECT_EQ(stored(), defaultShortcut.toJson());
}

TEST_F(GlobalShortcutTest, RecordingSuspendsTheHotKeyAndCancelRestoresIt)
{
    makeStarted();
    QSignalSpy recordingSpy(shortcut.get(), &GlobalShortcut::recordingChanged);
    shortcut->finishRecording(ctrlAltK); // not recording: nothing
    shortcut->beginRecording();
    shortcut->beginRecording();
    EXPECT_TRUE(shortcut->recording());
    EXPECT_EQ(calls(), QStringList({"unregister 1"}));
    backend->registrations.insert(99, defaultShortcut); // a press the system still delivers
    backend->press(defaultShortcut);
    EXPECT_EQ(presses, 0);

    shortcut->finishRecording(std::nullopt);
    EXPECT_FALSE(shortcut->recording());
    EXPECT_EQ(recordingSpy.count(), 2);
    EXPECT_EQ(calls(), QStringList({"register 9/6144 -> 2"}));
    EXPECT_EQ(shortcut->binding(), defaultShortcut);
}

TEST_F(GlobalShortcutTest, RefusedRecordingBringsTheOldBackAndKeepsTheMessage)
{
    for (const ShortcutBinding refused : {ctrlAltK, shiftA}) {
        makeStarted();
        backend->taken.append(ctrlAltK);
        shortcut->beginRecording();
        shortcut->finishRecording(refused);
        EXPECT_EQ(shortcut->errorMessage(), refused == shiftA ? invalidText : conflictText);
        EXPECT_EQ(backend->registrations.values(), QList<ShortcutBinding>({defaultShortcut}));
        EXPECT_TRUE(defaults->writtenKeys().isEmpty());
    }
    // The old one may have been taken meanwhile: that is reported instead.
    makeStarted();
    shortcut->beginRecording();
    backend->taken.append(defaultShortcut);
    shortcut->finishRecording(std::nullopt);
    EXPECT_EQ(shortcut->errorMessage(), conflictText);
}

TEST_F(GlobalShortcutTest, RecordingBeforeStartOnlyReplaces)
{
    make();
    shortcut->beginRecording();
    shortcut->finishRecording(std::nullopt);
    shortcut->beginRecording();
    shortcut->finishRecording(ctrlAltK);
    EXPECT_EQ(calls(), QStringList({"register 40/6144 -> 1"}));
    EXPECT_EQ(stored(), ctrlAltK.toJson());
    backend->press(ctrlAltK); // registered, but presses are not forwarded before start()
    EXPECT_EQ(presses, 0);
}

TEST_F(GlobalShortcutTest, StopAndDestructionGiveUpTheHotKey)
{
    makeStarted();
    shortcut->replace(ctrlAltK);
    calls();
    shortcut->beginRecording();
    shortcut->stop();
    EXPECT_FALSE(shortcut->recording());
    EXPECT_EQ(calls(), QStringList({"unregister 2", "shutdown"}));
    EXPECT_EQ(stored(), ctrlAltK.toJson());

    shortcut->start();
    EXPECT_EQ(calls(), QStringList({"register 40/6144 -> 3"}));
    shortcut.reset();
    EXPECT_EQ(calls(), QStringList({"unregister 3", "shutdown"}));
}

TEST_F(GlobalShortcutTest, PressActionMayStopTheShortcut)
{
    makeStarted();
    QObject::connect(shortcut.get(), &GlobalShortcut::pressed, [this] { shortcut->stop(); });
    backend->press(defaultShortcut);
    EXPECT_EQ(presses, 1);
    EXPECT_TRUE(backend->registrations.isEmpty());
}

} // namespace
