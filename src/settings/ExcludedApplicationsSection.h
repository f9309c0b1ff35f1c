#pragma once

#include <QStringList>
#include <QWidget>

class QMenu;

namespace tavlin {

class SourceApplicationIcon;

class CaptureExclusions;
class HistoryBrowser;
class SettingsCaption;
class SettingsGroup;

// The applications whose copies are never kept: one row each (or the empty state), the "Add App"
// menu with up to twelve applications from the history and "Choose App…", and in red why the
// last add was refused, until the next add or until the pane is shown anew.
class ExcludedApplicationsSection : public QWidget {
    Q_OBJECT
public:
    ExcludedApplicationsSection(HistoryBrowser& history, CaptureExclusions& exclusions,
                                const SourceApplicationIcon& sources, QWidget* parent = nullptr);

    // The history's applications offered for exclusion, most records first.
    QStringList knownSources() const;
    QMenu* addMenu() const { return menu_; }
    // Opens the chooser of installed applications, window-modal; adds what it returns.
    void chooseApplication();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void rebuildList();
    void rebuildMenu();
    void setAddMessage(const std::optional<QString>& message);

    HistoryBrowser& history_;
    CaptureExclusions& exclusions_;
    const SourceApplicationIcon& sources_;
    SettingsGroup* group_;
    QWidget* rows_;
    QWidget* add_ = nullptr;
    QMenu* menu_;
    SettingsCaption* message_;
};

} // namespace tavlin
