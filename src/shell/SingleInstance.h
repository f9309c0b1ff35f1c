#pragma once

#include <QObject>
#include <QString>

class QLocalServer;

namespace tavlin {

// One Tavlin per user session. A second launch hands over to the running instance, which then
// reopens as a reopen from the desktop would, and the second launch exits. A socket left behind
// by a crashed instance is recovered, never a reason to refuse starting.
class SingleInstance : public QObject {
    Q_OBJECT

public:
    // The socket in $XDG_RUNTIME_DIR (or the temporary folder when there is none).
    static QString defaultSocketPath();

    // Asks a running instance to reopen; true when one answered. Needs no application object.
    static bool handOver(const QString& socketPath);

    explicit SingleInstance(QString socketPath, QObject* parent = nullptr);
    // Starts answering later launches; false (and logged) when the socket cannot be served.
    bool listen();

Q_SIGNALS:
    void reopenRequested();

private:
    QString socketPath_;
    QLocalServer* server_ = nullptr;
};

} // namespace tavlin
