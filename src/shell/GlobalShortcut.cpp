#include "GlobalShortcut.h"

#include "Defaults.h"
#include "Diagnostics.h"
#include "Publish.h"
#include "StoredPreferences.h"

#include <utility>

namespace tavlin {

GlobalShortcut::GlobalShortcut(Defaults& defaults, std::unique_ptr<HotKeyBackend> backend, QObject* parent)
    : QObject(parent), binding_(ShortcutBinding::defaultBinding()), backend_(std::move(backend)), defaults_(defaults)
{
    // A stored value that is missing, of another kind, undecodable or not valid silently gives the
    // default, and stays as it is until the next successful replacement.
    if (const std::optional<QByteArray> stored = defaults_.data(StoredPreferences::shortcut.key)) {
        const std::optional<ShortcutBinding> binding = ShortcutBinding::fromJson(*stored);
        if (binding && binding->isValid())
            binding_ = *binding;
    }
}

GlobalShortcut::~GlobalShortcut()
{
    started_ = false;
    recording_ = false;
    if (token_)
        backend_->unregister(*token_);
    backend_->shutdown();
}

void GlobalShortcut::start()
{
    if (started_)
        return;
    started_ = true;
    connect(backend_.get(), &HotKeyBackend::pressed, this, [this] {
        if (started_ && !recording_)
            Q_EMIT pressed();
    });
    if (const std::optional<quint32> token = tryRegister(binding_)) {
        token_ = token;
        setErrorMessage(std::nullopt);
    }
}

void GlobalShortcut::beginRecording()
{
    if (recording_)
        return;
    setRecording(true);
    setErrorMessage(std::nullopt);
    unregisterCurrent();
}

void GlobalShortcut::finishRecording(const std::optional<ShortcutBinding>& binding)
{
    if (!recording_)
        return;
    setRecording(false);
    if (binding)
        replace(*binding);
    if (token_ || !started_)
        return;
    // A refused recording leaves its message visible while the old binding works again.
    const std::optional<QString> message = errorMessage_;
    if (const std::optional<quint32> token = tryRegister(binding_)) {
        token_ = token;
        setErrorMessage(message);
    }
}

void GlobalShortcut::replace(const ShortcutBinding& binding)
{
    if (!binding.isValid()) {
        setErrorMessage(ShortcutError::invalid().localizedDescription());
        return;
    }
    if (binding == binding_ && token_) {
        setErrorMessage(std::nullopt);
        return;
    }
    const std::optional<quint32> token = tryRegister(binding);
    if (!token)
        return;
    unregisterCurrent();
    token_ = token;
    setBinding(binding);
    defaults_.setData(StoredPreferences::shortcut.key, binding.toJson());
    setErrorMessage(std::nullopt);
}

void GlobalShortcut::stop()
{
    started_ = false;
    setRecording(false);
    unregisterCurrent();
    backend_->shutdown();
}

std::optional<quint32> GlobalShortcut::tryRegister(const ShortcutBinding& binding)
{
    try {
        return backend_->registerHotKey(binding);
    } catch (const std::exception& error) {
        setErrorMessage(Diagnostics::userMessage(error));
        return std::nullopt;
    }
}

void GlobalShortcut::unregisterCurrent()
{
    if (const std::optional<quint32> token = std::exchange(token_, std::nullopt))
        backend_->unregister(*token);
}

void GlobalShortcut::setBinding(const ShortcutBinding& binding)
{
    publish(this, binding_, binding, &GlobalShortcut::bindingChanged);
}

void GlobalShortcut::setErrorMessage(const std::optional<QString>& message)
{
    publish(this, errorMessage_, message, &GlobalShortcut::errorMessageChanged);
}

void GlobalShortcut::setRecording(bool recording)
{
    publish(this, recording_, recording, &GlobalShortcut::recordingChanged);
}

} // namespace tavlin
