#pragma once

#include "AwaitTask.h"
#include "FakePasteboard.h"
#include "FakeSystemAppearance.h"
#include "HistoryModel.h"
#include "HistoryStore.h"
#include "InMemoryDefaults.h"
#include "QuickPanelCoordinator.h"
#include "QuickPanelState.h"
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
    std::unique_ptr<HistoryModel> model;
    std::optional<QString> frontmost; // the application copies come from

    // Stores the texts oldest first before the model opens the store.
    explicit HistoryFixture(const QStringList& texts = {})
    {
        {
            HistoryStore store(folder.databasePath());
            for (const QString& text : texts)
                store.insert(textPayload(text), text, ClipKind::text, QStringLiteral("org.gnome.TextEditor"), 5000,
                             HistoryStore::maximumStoredPayloadBytes);
        }
        model = std::make_unique<HistoryModel>(folder.databasePath(), pasteboard, [this] { return frontmost; });
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

// The desktop as the coordinator sees it, played by the test.
struct FakeDesktop {
    int captures = 0;
    int restores = 0;
    int activations = 0;
    bool restoreWorks = true;
    bool external = true;
    bool compositing = false; // as offscreen: no window opacity
    std::optional<QuickPanelGeometry::Display> display =
        QuickPanelGeometry::Display{{0, 0, 1440, 900}, {0, 0, 1440, 875}, 0, std::nullopt, std::nullopt, 1};
    std::function<void()> press;
    // The window that has the keyboard when the panel opens; none for another application's.
    QPointer<QWidget> focused;

    QuickPanelEnvironment environment()
    {
        QuickPanelEnvironment environment;
        environment.captureFocus = [this] {
            ++captures;
            QuickPanelFocus focus = focused ? QuickPanelFocus::internal(focused) : QuickPanelFocus();
            focus.external = !focused;
            focus.restore = [this] {
                ++restores;
                return restoreWorks;
            };
            return focus;
        };
        environment.activate = [this](QWidget*) { ++activations; };
        environment.mayRestoreFocus = [](QWidget*) { return true; };
        environment.display = [this] { return display; };
        environment.toScreen = [](const QRectF& frame) { return QuickPanelGeometry::toScreen(frame, {0, 0, 1440, 900}).toRect(); };
        environment.watchPresses = [this](std::function<void()> onPress) {
            press = std::move(onPress);
            return std::function<void()>([this] { press = nullptr; });
        };
        environment.compositing = [this] { return compositing; };
        return environment;
    }
};

// The coordinator of a history, on a fake desktop, with a light or dark theme.
struct PanelFixture : HistoryFixture {
    InMemoryDefaults defaults;
    ViewPreferences preferences{defaults};
    FakeSystemAppearance appearance;
    FakeDesktop desktop;
    std::unique_ptr<QuickPanelCoordinator> coordinator;

    explicit PanelFixture(const QStringList& texts = {}) : HistoryFixture(texts)
    {
        coordinator = std::make_unique<QuickPanelCoordinator>(model->operations(), preferences, appearance, desktop.environment());
    }

    QuickPanelState& state() const { return coordinator->state(); }

    // Shown, with its first page listed and its opening played.
    void open(qsizetype expectedRecords = -1)
    {
        coordinator->show();
        EXPECT_TRUE(waitFor([&] { return !coordinator->isBusy(); }));
        if (expectedRecords >= 0) {
            EXPECT_TRUE(waitFor([&] { return state().clips().size() == expectedRecords; }));
        }
    }

    template<class T = QWidget> T* find(const char* name) const
    {
        return coordinator->panel() ? coordinator->panel()->template findChild<T*>(QString::fromLatin1(name)) : nullptr;
    }
};

} // namespace tavlin::test
