#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <optional>

namespace tavlin {

class Defaults;
class Workspace;

// The user's list of applications whose copies are never recorded, by application identifier,
// kept in the defaults under "privacy.excludedApplications". Main thread.
class CaptureExclusions : public QObject {
    Q_OBJECT

public:
    enum class AddResult {
        added,
        duplicate,
        // One of the password managers CaptureGate always excludes.
        protectedSource,
        ownApplication,
        // Not a valid identifier, or the chosen file is no application entry with one.
        invalid,
    };

    // Loads the stored list, dropping invalid, protected, own and repeated entries and entries
    // that are no text; the cleaned list is not written back until the next change.
    CaptureExclusions(Defaults& defaults, const Workspace& workspace, std::optional<QString> ownBundleID,
                      QObject* parent = nullptr);

    // In the order the applications were added.
    const QStringList& bundleIDs() const { return bundleIDs_; }

    AddResult add(const QString& bundleID);
    // `url` names an installed application's .desktop file.
    AddResult addApplicationAt(const QUrl& url);
    void remove(const QString& bundleID);

    // What to tell the user about an add; nothing for `added`.
    static std::optional<QString> message(AddResult result);
    // 3 to 255 bytes of ASCII letters, digits, '-' and '.', in at least two non-empty dot-separated pieces.
    static bool isValidBundleID(const QString& bundleID);

Q_SIGNALS:
    // After every change of the list; read bundleIDs() for the value at subscription.
    void bundleIDsChanged(const QStringList& bundleIDs);

private:
    void publish(QStringList bundleIDs);

    Defaults& defaults_;
    const Workspace& workspace_;
    std::optional<QString> ownBundleID_;
    QStringList bundleIDs_;
};

} // namespace tavlin
