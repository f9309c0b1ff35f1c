#pragma once

#include <QStringList>
#include <QtGlobal>

namespace tavlin::test {

// Collects what the error log receives while it lives (and keeps it off the test output).
class LogCapture {
public:
    LogCapture()
    {
        previous_ = qInstallMessageHandler(&LogCapture::handle);
        current() = this;
    }
    ~LogCapture()
    {
        qInstallMessageHandler(previous_);
        current() = nullptr;
    }
    const QStringList& errors() const { return errors_; }

private:
    static LogCapture*& current()
    {
        static LogCapture* capture = nullptr;
        return capture;
    }
    static void handle(QtMsgType type, const QMessageLogContext& context, const QString& message)
    {
        if (current() && type == QtCriticalMsg && qstrcmp(context.category, "org.tavlin.Tavlin.errors") == 0)
            current()->errors_.append(message);
    }

    QtMessageHandler previous_ = nullptr;
    QStringList errors_;
};

} // namespace tavlin::test
