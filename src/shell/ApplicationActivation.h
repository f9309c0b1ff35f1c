#pragma once

#include <QObject>

#include <memory>

namespace tavlin {

// Whether Tavlin is the application the user works in, and the news when that changes. Main
// thread.
class ApplicationActivation : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    virtual bool isActive() const = 0;

    // The application as Qt sees it: active while one of its windows has the keyboard focus.
    static std::unique_ptr<ApplicationActivation> system();

Q_SIGNALS:
    void activeChanged(bool active);
};

} // namespace tavlin
