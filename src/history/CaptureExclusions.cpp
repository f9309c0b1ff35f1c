#include "CaptureExclusions.h"

#include "CaptureGate.h"
#include "Defaults.h"
#include "Log.h"
#include "StoredPreferences.h"
#include "Workspace.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace tavlin {

namespace {

// Every text entry of the stored list. One entry of another kind must not cost the user the
// rest of the list, so it is skipped and the log says so once; a single text in place of the
// list is taken as a list of one.
QStringList storedEntries(const Defaults& defaults, const QString& key)
{
    const QVariant stored = defaults.object(key);
    if (!stored.isValid())
        return {};
    if (stored.typeId() == QMetaType::QString)
        return {stored.toString()};
    const QVariantList list = stored.typeId() == QMetaType::QVariantList ? stored.toList() : QVariantList{stored};
    QStringList entries;
    for (const QVariant& entry : list) {
        if (entry.typeId() == QMetaType::QString)
            entries.append(entry.toString());
    }
    const qsizetype skipped = list.size() - entries.size();
    if (skipped > 0) {
        Log::error(QStringLiteral("%1 of the %2 entries stored under \"%3\" are not application identifiers and "
                                  "were skipped")
                       .arg(skipped)
                       .arg(list.size())
                       .arg(key));
    }
    return entries;
}

} // namespace

CaptureExclusions::CaptureExclusions(Defaults& defaults, const Workspace& workspace, std::optional<QString> ownBundleID,
                                     QObject* parent)
    : QObject(parent), defaults_(defaults), workspace_(workspace), ownBundleID_(std::move(ownBundleID))
{
    const QStringList stored = storedEntries(defaults_, StoredPreferences::excludedApplications.key);
    for (const QString& bundleID : stored) {
        if (isValidBundleID(bundleID) && !CaptureGate::protectedSources().contains(bundleID) && bundleID != ownBundleID_
            && !bundleIDs_.contains(bundleID))
            bundleIDs_.append(bundleID);
    }
}

CaptureExclusions::AddResult CaptureExclusions::add(const QString& bundleID)
{
    if (!isValidBundleID(bundleID))
        return AddResult::invalid;
    if (CaptureGate::protectedSources().contains(bundleID))
        return AddResult::protectedSource;
    if (bundleID == ownBundleID_)
        return AddResult::ownApplication;
    if (bundleIDs_.contains(bundleID))
        return AddResult::duplicate;
    publish(bundleIDs_ + QStringList{bundleID});
    return AddResult::added;
}

CaptureExclusions::AddResult CaptureExclusions::addApplicationAt(const QUrl& url)
{
    if (!url.isLocalFile())
        return AddResult::invalid;
    const QString path = url.toLocalFile();
    if (QFileInfo(path).suffix() != u"desktop")
        return AddResult::invalid;
    const std::optional<QString> bundleID = workspace_.applicationID(path);
    if (!bundleID)
        return AddResult::invalid;
    return add(*bundleID);
}

void CaptureExclusions::remove(const QString& bundleID)
{
    if (!bundleIDs_.contains(bundleID))
        return;
    QStringList remaining = bundleIDs_;
    remaining.removeAll(bundleID);
    publish(std::move(remaining));
}

void CaptureExclusions::publish(QStringList bundleIDs)
{
    bundleIDs_ = std::move(bundleIDs);
    Q_EMIT bundleIDsChanged(bundleIDs_);
    defaults_.setStringArray(StoredPreferences::excludedApplications.key, bundleIDs_);
}

std::optional<QString> CaptureExclusions::message(AddResult result)
{
    switch (result) {
    case AddResult::added: return std::nullopt;
    case AddResult::duplicate: return QCoreApplication::translate("Tavlin", "This app is already in the list.");
    case AddResult::protectedSource:
        return QCoreApplication::translate("Tavlin", "This app is already excluded by Tavlin’s built-in protection.");
    case AddResult::ownApplication:
        return QCoreApplication::translate("Tavlin", "Tavlin does not record its own copies again.");
    case AddResult::invalid:
        return QCoreApplication::translate("Tavlin",
                                           "Couldn’t recognize this app. Choose one of the installed applications.");
    }
    return std::nullopt;
}

bool CaptureExclusions::isValidBundleID(const QString& bundleID)
{
    const qsizetype bytes = bundleID.toUtf8().size();
    if (bytes < 3 || bytes > 255)
        return false;
    for (QChar c : bundleID) {
        const bool allowed = (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9')
            || c == u'-' || c == u'.';
        if (!allowed)
            return false;
    }
    const QStringList pieces = bundleID.split(u'.');
    return pieces.size() >= 2
        && std::none_of(pieces.begin(), pieces.end(), [](const QString& p) { return p.isEmpty(); });
}

} // namespace tavlin
