#pragma once

#include "ClipboardSnapshot.h"

#include <QSet>
#include <QString>

#include <optional>

namespace tavlin {

// Judges one observed clipboard change: each change count is let through at most once, and never
// when the content is marked concealed, transient or generated, or when a password manager or an
// application the user excluded was frontmost, or when which one was cannot be told. Comparisons
// are exact and case-sensitive.
struct CaptureGate {
    // The change count judged last, or the baseline.
    qint64 lastChangeCount = 0;
    QSet<QString> userExcludedSources;

    CaptureGate() = default;
    explicit CaptureGate(qint64 baseline) : lastChangeCount(baseline) { }

    // Types whose presence forbids capture (the nspasteboard.org markers and 1Password's own).
    static const QSet<QString>& protectedTypes();
    // Password managers whose copies are never captured.
    static const QSet<QString>& protectedSources();

    // Consumes the change whatever the answer, so a refused change is never judged again.
    bool shouldCapture(qint64 changeCount, const QSet<QString>& types, const std::optional<QString>& source);
    bool isExcluded(const std::optional<QString>& source) const;
    // Consumes a change without capturing it (our own writes, excluded sources).
    void ignore(qint64 changeCount) { lastChangeCount = changeCount; }
    // A complete text-only gate: the text to record, or nothing.
    std::optional<QString> accept(const ClipboardSnapshot& snapshot);

    bool operator==(const CaptureGate&) const = default;
};

} // namespace tavlin
