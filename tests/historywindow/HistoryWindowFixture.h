#pragma once

#include "ContentView.h"
#include "FakeApplicationIconImages.h"
#include "FakePasteboard.h"
#include "FakeWorkspace.h"
#include "HistoryModel.h"
#include "HistoryStore.h"
#include "InMemoryDefaults.h"
#include "SourceApplicationIcon.h"
#include "TemporaryFolder.h"
#include "ViewPreferences.h"

#include <QAbstractItemView>
#include <QPaintEvent>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace tavlin::test {

// A history window's content on a real history database, with an in-memory clipboard.
struct HistoryWindowFixture {
    TemporaryFolder folder;
    FakePasteboard pasteboard;
    InMemoryDefaults defaults;
    ViewPreferences preferences{defaults};
    // The applications records come from, the frontmost one copying; a view made after a change of
    // language names them in it.
    FakeWorkspace workspace{QStringLiteral("org.gnome.TextEditor")};
    std::unique_ptr<HistoryModel> model;
    FakeApplicationIconImages icons;
    std::unique_ptr<SourceApplicationIcon> sources;
    std::unique_ptr<ContentView> view;

    // Stores `count` texts straight into the database, before the model opens it.
    void store(int count, const QString& prefix = QStringLiteral("record "))
    {
        HistoryStore store(folder.databasePath());
        for (int i = 0; i < count; ++i)
            store.insert(prefix + QString::number(i), workspace.frontmost, 100000,
                         HistoryStore::maximumStoredPayloadBytes);
    }
    HistoryModel& open()
    {
        if (!model) {
            model = std::make_unique<HistoryModel>(folder.databasePath(), pasteboard, workspace);
            QCoro::waitFor(model->monitor().tick());
        }
        return *model;
    }
    // Copies each item in turn from the current frontmost application and lets the model capture it.
    void capture(const QList<FakePasteboard::Item>& items)
    {
        open();
        pasteboard.setItems(items);
        QCoro::waitFor(model->monitor().tick());
    }
    void captureText(const QString& text, std::optional<QString> source = QStringLiteral("org.gnome.TextEditor"))
    {
        workspace.frontmost = source;
        capture({{{QStringLiteral("public.utf8-plain-text")},
                  {{QStringLiteral("public.utf8-plain-text"), text.toUtf8()}}}});
    }
    // The window's content, shown at the regular size, with its first page loaded.
    ContentView& show(QSize size = {1040, 700})
    {
        open();
        view.reset();
        sources = std::make_unique<SourceApplicationIcon>(workspace, icons);
        view = std::make_unique<ContentView>(
            *model, preferences, *sources, [] {}, true);
        view->resize(size);
        view->show();
        settle();
        return *view;
    }
    // Waits out the debounced reload.
    void settle()
    {
        EXPECT_TRUE(QTest::qWaitFor([this] { return !view->isReloadPending(); }, 10000));
        QCoro::waitFor(model->browser().reload());
        QCoreApplication::processEvents();
    }
    QAbstractItemView* records() const { return qobject_cast<QAbstractItemView*>(view->recordsView()); }
    template <class T = QWidget>
    T* find(const QString& name) const
    {
        return view->findChild<T*>(name);
    }
};

// Everything a widget was asked to repaint, once it filters the widget's events.
struct PaintedRegion : QObject {
    QRegion region;
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint) {
            region += static_cast<QPaintEvent*>(event)->region();
            ++paints;
        }
        return false;
    }
    // Waits until the widget has gone 200 ms without a paint, then forgets what it painted before.
    bool waitUntilQuiet(int milliseconds = 5000)
    {
        const bool quiet = QTest::qWaitFor(
            [&] {
                paints = 0;
                QTest::qWait(200);
                return paints == 0;
            },
            milliseconds);
        region = QRegion();
        return quiet;
    }
};

// A test of the records views runs for the list and the cards, each instance named by its mode.
inline std::string viewModeName(const ::testing::TestParamInfo<HistoryViewMode>& info)
{
    return toRaw(info.param).toStdString();
}

} // namespace tavlin::test
