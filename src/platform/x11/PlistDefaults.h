#pragma once

#include "Defaults.h"

namespace tavlin {

// The user defaults kept as an XML property list, rewritten whole and atomically (temporary file,
// fsync, rename) after every change. The file is private to the user (0600, its folder 0700).
//
// A file that cannot be read or parsed is reported once in the error log and read as empty; it
// is renamed to "<file>.damaged" before the first write, so nothing of it is overwritten. A write
// that fails is logged and leaves the values in memory, so the running application goes on with
// them. Main thread.
class PlistDefaults : public Defaults {
    Q_OBJECT

public:
    // $XDG_CONFIG_HOME/Tavlin/org.tavlin.Tavlin.plist
    static QString standardPath();

    explicit PlistDefaults(QString path = standardPath(), QObject* parent = nullptr);

    QString path() const { return path_; }
    QVariantMap dictionaryRepresentation() const override { return values_; }

protected:
    QVariant storedValue(const QString& key) const override { return values_.value(key); }
    void store(const QString& key, const QVariant& value) override;

private:
    void load();
    bool save();
    bool moveDamagedFileAside();

    QString path_;
    QVariantMap values_;
    // The file on disk could not be read; it must be moved aside before the next write.
    bool damaged_ = false;
};

} // namespace tavlin
