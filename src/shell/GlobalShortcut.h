#pragma once

#include "HotKeyBackend.h"
#include "ShortcutBinding.h"

#include <QObject>
#include <QString>

#include <memory>
#include <optional>

namespace tavlin {

class Defaults;

// The one system-wide shortcut that opens and closes the Quick Panel. It loads the stored binding,
// registers it once the application has started, replaces it with a recorded one (the new hot key
// is registered before the old one is given up, so a refused combination never leaves the user
// without a working shortcut), suspends it while a recorder waits for keys, and forwards presses
// while started and not recording. Every failure ends as errorMessage; nothing is thrown. Main thread.
class GlobalShortcut : public QObject {
    Q_OBJECT

public:
    // Loads the stored binding (the default when none is stored or it is not valid); registers nothing.
    GlobalShortcut(Defaults& defaults, std::unique_ptr<HotKeyBackend> backend, QObject* parent = nullptr);
    // Gives up the hot key and shuts the backend down, as stop() does.
    ~GlobalShortcut() override;

    const ShortcutBinding& binding() const { return binding_; }
    // The keyboard as the backend knows it: key titles and recorded key presses.
    const HotKeyBackend& backend() const { return *backend_; }
    // The text shown under the recorder; nothing when there is nothing to report.
    const std::optional<QString>& errorMessage() const { return errorMessage_; }
    // True while a recorder waits for the next key combination.
    bool recording() const { return recording_; }
    // Whether pressing the binding reaches Tavlin now.
    bool isRegistered() const { return token_.has_value(); }

    // Installs the press forwarding and registers the binding; once.
    void start();
    // The recorder's protocol. While recording, the hot key is unregistered so that pressing the
    // current shortcut reaches the recorder as an ordinary key. Nothing means the recording ended
    // without a new binding (Escape, focus lost, window closed, application deactivated).
    void beginRecording();
    void finishRecording(const std::optional<ShortcutBinding>& binding);
    // Makes `binding` current: registered, stored, published.
    void replace(const ShortcutBinding& binding);
    // At shutdown: gives up the hot key and the backend's resources. The stored binding stays.
    void stop();

Q_SIGNALS:
    // The shortcut was pressed while started and not recording.
    void pressed();
    void bindingChanged();
    void errorMessageChanged();
    void recordingChanged();

private:
    // The identifier of the new registration, or nothing after putting the failure into errorMessage.
    std::optional<quint32> tryRegister(const ShortcutBinding& binding);
    void unregisterCurrent();
    void setBinding(const ShortcutBinding& binding);
    void setErrorMessage(const std::optional<QString>& message);
    void setRecording(bool recording);

    ShortcutBinding binding_;
    std::optional<QString> errorMessage_;
    bool recording_ = false;
    std::unique_ptr<HotKeyBackend> backend_;
    Defaults& defaults_;
    // The backend's identifier of the registered hot key.
    std::optional<quint32> token_;
    bool started_ = false;
};

} // namespace tavlin
