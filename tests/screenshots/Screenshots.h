#pragma once

#include <QString>

#include <optional>

class QTemporaryDir;
class QWidget;

namespace tavlin {
class HistoryModel;
}

namespace tavlin::test {

// Renders the widget as on screen (transparent where a window is) into
// <build>/screenshots/<name>.png, and reports every visible text it cuts.
void shoot(QWidget& widget, const QString& name);
// Reports a problem the pictures show; the program then exits non-zero.
void problem(const QString& name, const QString& what);

class FakePasteboard;
class FakeApplicationIconImages;
class FakeWorkspace;
// Installs the applications the pictures copy from, with an icon drawn into `iconFolder`.
void installApplications(FakeWorkspace& workspace, FakeApplicationIconImages& icons);

// Copies one record of every kind, from several applications and an unknown one, the second
// newest a favourite.
void captureEveryKind(FakePasteboard& pasteboard, HistoryModel& model, std::optional<QString>& frontmost,
                      const QString& folder);

// One section a window.
void designScreenshots();
void historyWindowScreenshots();
void settingsScreenshots();
void quickPanelScreenshots();
void introductionScreenshots();

} // namespace tavlin::test
