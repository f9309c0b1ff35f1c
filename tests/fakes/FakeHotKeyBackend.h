#pragma once

#include "HotKeyBackend.h"

#include <QList>
#include <QMap>
#include <QStringList>

#include <memory>

namespace tavlin::test {

// A hot-key backend without a display server. A test decides which combinations are taken or
// fail, presses registered combinations, and reads the calls made, in order, from `journal`; the
// journal is shared so that it outlives a backend handed over to its owner.
class FakeHotKeyBackend : public HotKeyBackend {
public:
    // Refused as held by another program.
    QList<ShortcutBinding> taken;
    // Refused with ShortcutError::system.
    QList<ShortcutBinding> failing;
    QMap<quint32, ShortcutBinding> registrations;
    // The keyboard: native key codes are the stored ones, and only these keys have a name.
    QMap<quint32, QString> keyNames;
    // "register 0/2048 -> 1", "register 0/2048 refused", "unregister 1", "shutdown".
    std::shared_ptr<QStringList> journal = std::make_shared<QStringList>();

    quint32 registerHotKey(const ShortcutBinding& binding) override
    {
        const QString call = QStringLiteral("register %1/%2").arg(binding.keyCode).arg(binding.modifiers);
        if (!binding.isValid() || taken.contains(binding) || failing.contains(binding)) {
            journal->append(call + QStringLiteral(" refused"));
            if (!binding.isValid())
                throw ShortcutError::invalid();
            if (taken.contains(binding))
                throw ShortcutError::conflict();
            throw ShortcutError::system(QStringLiteral("fake refusal"));
        }
        const quint32 id = ++nextID_;
        registrations.insert(id, binding);
        journal->append(call + QStringLiteral(" -> %1").arg(id));
        return id;
    }

    void unregister(quint32 id) override
    {
        journal->append(QStringLiteral("unregister %1").arg(id));
        registrations.remove(id);
    }

    void shutdown() override
    {
        journal->append(QStringLiteral("shutdown"));
        registrations.clear();
    }

    std::optional<quint32> keyCode(quint32 nativeKeyCode) const override { return nativeKeyCode; }
    std::optional<QString> keyName(quint32 keyCode) const override
    {
        return keyNames.contains(keyCode) ? std::optional(keyNames.value(keyCode)) : std::nullopt;
    }

    // What the display server would do on a key press: reported only for a registered combination.
    void press(const ShortcutBinding& binding)
    {
        if (registrations.values().contains(binding))
            Q_EMIT pressed();
    }

private:
    quint32 nextID_ = 0;
};

} // namespace tavlin::test
