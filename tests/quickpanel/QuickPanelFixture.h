#pragma once

#include "AwaitTask.h"
#include "FakeApplicationIconImages.h"
#include "FakeDesktopPresses.h"
#include "FakePasteboard.h"
#include "FakeSystemAppearance.h"
#include "FakeWindowFocus.h"
#include "FakeWorkspace.h"
#include "HistoryModel.h"
#include "HistoryStore.h"
#include "InMemoryDefaults.h"
#include "QuickPanelCoordinator.h"
#include "QuickPanelState.h"
#include "SourceApplicationIcon.h"
#include "StoreTestSupport.h"
#include "TemporaryFolder.h"
#include "ViewPreferences.h"

#include <QTest>

#include <gtest/gtest.h>

namespace tavlin::test {

// A history on a real store in a temporary folder, with an in-memory clipboard.
struct HistoryFixture {
    TemporaryFolder folder;
    FakePasteboard pasteboard;
    FakeWorkspace workspace; // its frontmost application is the one copies come from
    FakeApplicationIconImages icons;
    SourceApplicationIcon sources{workspace, icons};
    std::unique_ptr<HistoryModel> model;

    // Stores the texts oldest first before the model opens the store.
    explicit HistoryFixture(const QStringList& texts = {})
    {
        {
            HistoryStore store(folder.databasePath());
            for (const QString& text : texts)
                store.insert(textPayload(text), text, ClipKind::text, QStringLiteral("org.gnome.TextEditor"), 5000,
                             HistoryStore::maximumStoredPayloadBytes);
        }
        model = std::make_unique<HistoryModel>(folder.databasePath(), pasteboard, workspace);
    }

    void capture(const QString& text)
    {
        pasteboard.setString(text);
        QCoro::waitFor(model->monitor().tick());
    }
};

inline bool waitFor(const std::function<bool()>& condition)
{
    return QTest::qWaitFor(condition, 10000);
}

// The coordinator of a history, on a fake desktop where another application's window has the
// keyboard, with a light or dark theme.
struct PanelFixture : HistoryFixture {
    static constexpr quint64 otherApplication = 0x2a00007;
    InMemoryDefaults defaults;
    ViewPreferences preferences{defaults};
    FakeSystemAppearance appearance;
    FakeWindowFocus focus;
    FakeDesktopPresses presses;
    std::unique_ptr<QuickPanelCoordinator> coordinator;

    explicit PanelFixture(const QStringList& texts = {}) : HistoryFixture(texts)
    {
        focus.active = otherApplication;
        coordinator = std::make_unique<QuickPanelCoordinator>(model->operations(), preferences, appearance, focus,
                                                              presses, sources);
    }

    // How often the keyboard was handed back to the other application.
    qsizetype restores() const { return focus.activated.count(otherApplication); }

    QuickPanelState& state() const { return coordinator->state(); }

    // Shown, with its first page listed and its opening played.
    void open(qsizetype expectedRecords = -1)
    {
        coordinator->show();
        EXPECT_TRUE(waitFor([&] { return !coordinator->isBusy(); }));
        settleKeyboard();
        if (expectedRecords >= 0) {
            EXPECT_TRUE(waitFor([&] { return state().clips().size() == expectedRecords; }));
        }
    }

    // The keyboard on the panel, as a window manager gives it. Offscreen, a window shown again
    // stays Qt's focus window while the widgets are never told it is active.
    void settleKeyboard() const
    {
        if (coordinator->isPresented())
            QApplication::setActiveWindow(coordinator->panel());
    }

    template <class T = QWidget>
    T* find(const char* name) const
    {
        return coordinator->panel() ? coordinator->panel()->template findChild<T*>(QString::fromLatin1(name)) : nullptr;
    }
};

} // namespace tavlin::test
