#pragma once

#include "Error.h"

namespace tavlin {

// Why a global hot key could not be registered. Every failure of the global shortcut ends as one of
// these, and the settings show its description under the recorder.
class ShortcutError : public Error {
public:
    enum class Kind {
        // The X server refused the grab for a reason other than "taken"; the reason is logged.
        system,
        // The combination is not one a global shortcut may use (ShortcutBinding::isValid).
        invalid,
        // The window manager or another program already holds the combination.
        conflict,
    };

    static ShortcutError system(QString reason) { return ShortcutError(Kind::system, std::move(reason)); }
    static ShortcutError invalid() { return ShortcutError(Kind::invalid); }
    // `reason`: what was refused, for the log.
    static ShortcutError conflict(QString reason = {}) { return ShortcutError(Kind::conflict, std::move(reason)); }

    Kind kind() const { return kind_; }

    QString typeName() const override { return QStringLiteral("ShortcutError"); }
    QString domain() const override { return QStringLiteral("Tavlin.ShortcutError"); }
    long code() const override { return long(kind_); }
    QString failureReason() const override { return reason_; }
    QString localizedDescription() const override;

private:
    explicit ShortcutError(Kind kind, QString reason = {}) : kind_(kind), reason_(std::move(reason)) { }

    Kind kind_;
    QString reason_;
};

} // namespace tavlin
