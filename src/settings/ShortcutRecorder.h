#pragma once

#include <QPointer>
#include <QPushButton>

#include <functional>
#include <optional>

class QMouseEvent;

namespace tavlin {

class GlobalShortcut;

// The control that records the Quick Panel's key combination into the shared GlobalShortcut.
// A click starts a recording; while it lasts the recorder holds the keyboard (so that
// combinations the window manager keeps for itself, such as Alt+Space, arrive here and are
// reported as taken) and the pointer, and takes the next key press, Tab and Ctrl+Q included, as
// the combination. Escape cancels. Every end of a recording gives both back: a key, Escape, a
// click anywhere else (another program included: the grab would outlive it), focus leaving, the
// recorder hidden or destroyed, the application going inactive, or anyone else ending it.
// It keeps no state of its own; title and value follow the service.
class ShortcutRecorder : public QPushButton {
    Q_OBJECT
public:
    // `branded`: the introduction's look (flat surface, no focus ring) instead of the settings' field.
    explicit ShortcutRecorder(GlobalShortcut* shortcut, bool branded = false, QWidget* parent = nullptr);
    ~ShortcutRecorder() override;

    // Shown instead of the combination while not recording; the accessible value stays the combination.
    void setIdleTitle(const std::optional<QString>& title);
    // Told true when the recorder takes focus, false when it loses it.
    void setFocusCallback(std::function<void(bool)> callback) { onFocusChange_ = std::move(callback); }
    bool holdsKeyboard() const { return grabbing_; }
    // The accessible value: the combination, or "Press a shortcut…" while recording.
    QString accessibleValue() const;
    // Whether the shared shortcut is being recorded (by this recorder or another).
    bool recording() const;

    void begin();

protected:
    bool event(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void take(QKeyEvent* event);
    void cancel();
    void redeliver(const QMouseEvent& press);
    void showState();
    void tellValue();
    void releaseKeyboardGrab();

    QPointer<GlobalShortcut> shortcut_;
    bool branded_;
    std::optional<QString> idleTitle_;
    std::function<void(bool)> onFocusChange_;
    bool grabbing_ = false;
    // The value assistive technology was last told of.
    QString toldValue_;
};

} // namespace tavlin
