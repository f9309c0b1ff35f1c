#include "ApplicationActivation.h"

#include <QGuiApplication>

namespace tavlin {

namespace {

class QtApplicationActivation final : public ApplicationActivation {
public:
    QtApplicationActivation()
    {
        connect(qGuiApp, &QGuiApplication::applicationStateChanged, this,
                [this](Qt::ApplicationState state) { Q_EMIT activeChanged(state == Qt::ApplicationActive); });
    }

    bool isActive() const override { return QGuiApplication::applicationState() == Qt::ApplicationActive; }
};

} // namespace

std::unique_ptr<ApplicationActivation> ApplicationActivation::system()
{
    return std::make_unique<QtApplicationActivation>();
}

} // namespace tavlin
