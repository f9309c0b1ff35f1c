#pragma once

#include <QString>

class QTemporaryDir;
class QWidget;

namespace tavlin::test {

// Renders the widget as on screen (transparent where a window is) into
// <build>/screenshots/<name>.png, and reports every visible text it cuts.
void shoot(QWidget& widget, const QString& name);
// Reports a problem the pictures show; the program then exits non-zero.
void problem(const QString& name, const QString& what);

class FakeWorkspace;
// Installs the applications the pictures copy from, with an icon drawn into `iconFolder`.
void installApplications(FakeWorkspace& workspace, const QTemporaryDir& iconFolder);

// One section a window.
void designScreenshots();
void historyWindowScreenshots();
void settingsScreenshots();
void quickPanelScreenshots();
void introductionScreenshots();

} // namespace tavlin::test
