#pragma once

#include <QPointer>
#include <QWidget>

namespace tavlin {

class RetentionSettings;
class SettingsCaption;
class SettingsPicker;

// The history's two limits with what the history holds now. A pick is only a request: the
// pickers keep showing the limits in force until RetentionSettings applies new ones (after the
// pane's confirmation when records would go).
class HistoryStorageSection : public QWidget {
    Q_OBJECT
public:
    explicit HistoryStorageSection(RetentionSettings& retention, QWidget* parent = nullptr);

private:
    void sync();

    RetentionSettings& retention_;
    SettingsPicker* count_;
    SettingsPicker* bytes_;
    SettingsCaption* error_;
    SettingsCaption* usage_;
    SettingsCaption* favoritesWarning_;
    // The picker that had the focus as a limit began to apply, where Qt moved the focus then, and
    // whether the picker showed its ring.
    QPointer<QWidget> focusedPicker_;
    QPointer<QWidget> focusMovedTo_;
    bool focusRing_ = false;
};

} // namespace tavlin
