#pragma once

// What the benches share: the offscreen application they run in, and a history of records on a
// real database with the in-memory platform stand-ins, with the history window's content over it.
#include "ContentView.h"
#include "FakeApplicationIconImages.h"
#include "FakePasteboard.h"
#include "FakeWorkspace.h"
#include "HistoryModel.h"
#include "HistoryViewMode.h"
#include "InMemoryDefaults.h"
#include "SourceApplicationIcon.h"
#include "ViewPreferences.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QTemporaryDir>

#include <functional>
#include <memory>

namespace tavlin::bench {

// The process's one application, on the offscreen platform unless QT_QPA_PLATFORM names another.
QApplication& application();
// A bench program's main: runs the benchmarks the command line names in that application, and
// ends the application before the process exits.
int runBenchmarks(int argc, char** argv);
// The main thread's own processor time, in seconds: the machine's other work does not count.
double threadSeconds();

// A history of records in a temporary folder, copied from a text editor.
struct History {
    QTemporaryDir folder;
    test::FakePasteboard pasteboard;
    test::InMemoryDefaults defaults;
    ViewPreferences preferences{defaults};
    test::FakeWorkspace workspace{QStringLiteral("org.gnome.TextEditor")};
    test::FakeApplicationIconImages icons;
    SourceApplicationIcon sources{workspace, icons};
    std::unique_ptr<HistoryModel> model;

    History();
    QString databasePath() const;
    // Stores `count` notes of 1 to 12 phrases straight into the database, before the model opens it.
    void storeNotes(int count);
    // Copies `count` records through the model's capture, as a user's day gives them: of every ten,
    // seven texts, two web pages (HTML) and one PNG image.
    void copyMixed(int count);
    // Copies `count` texts of 1 to 12 phrases through the model's capture.
    void copyTexts(int count, int repeats = 12);
    HistoryModel& open();
};

// The history window's content over a history, shown at its regular size.
struct Window : History {
    std::unique_ptr<ContentView> view;

    // `beforeView` runs once the model is open, before the window is made.
    ContentView& show(HistoryViewMode mode, bool preview, const std::function<void(HistoryModel&)>& beforeView = {});
    QAbstractItemView* records() const { return qobject_cast<QAbstractItemView*>(view->recordsView()); }
};

// Notes the first paint of a window of type `T`.
template <class T>
struct PaintWatch : QObject {
    bool painted = false;
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && qobject_cast<T*>(watched))
            painted = true;
        return false;
    }
};

} // namespace tavlin::bench
