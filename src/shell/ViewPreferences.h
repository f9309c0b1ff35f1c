#pragma once

#include "HistoryViewMode.h"
#include "ThemePreference.h"

#include <QObject>

namespace tavlin {

class Defaults;

// The interface choices every window follows: appearance, history layout and the preview pane.
// Each change is written through to the defaults at once. Main thread only.
class ViewPreferences : public QObject {
    Q_OBJECT

public:
    explicit ViewPreferences(Defaults& defaults, QObject* parent = nullptr);

    // The store every other service of the application is built on.
    Defaults& defaults() const { return defaults_; }

    ThemePreference themePreference() const { return themePreference_; }
    HistoryViewMode viewMode() const { return viewMode_; }
    bool showPreview() const { return showPreview_; }
    // Every set is stored, also when the value is unchanged.
    void setThemePreference(ThemePreference preference);
    void setViewMode(HistoryViewMode mode);
    void setShowPreview(bool show);

Q_SIGNALS:
    void themePreferenceChanged();
    void viewModeChanged();
    void showPreviewChanged();

private:
    Defaults& defaults_;
    ThemePreference themePreference_ = ThemePreference::system;
    HistoryViewMode viewMode_ = HistoryViewMode::list;
    bool showPreview_ = true;
};

} // namespace tavlin
