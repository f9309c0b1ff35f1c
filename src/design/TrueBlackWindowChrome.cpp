#include "TrueBlackWindowChrome.h"

#include "TavlinTheme.h"
#include "ThemeAppearance.h"
#include "WindowProperties.h"

#include <QEvent>

namespace tavlin {

namespace {

const char* const variantProperty = "_GTK_THEME_VARIANT";

bool hasNativeWindow(const QWidget* window)
{
    return window && window->testAttribute(Qt::WA_WState_Created);
}

} // namespace

TrueBlackWindowChrome::TrueBlackWindowChrome(QWidget* window, WindowProperties& properties)
    : QObject(window), window_(window), properties_(properties), lightVariant_(readVariant())
{
    window->installEventFilter(this);
    apply();
}

bool TrueBlackWindowChrome::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != window_ || applying_)
        return false;
    switch (event->type()) {
    case QEvent::PaletteChange:
    case QEvent::DynamicPropertyChange: apply(); break;
    case QEvent::WinIdChange:
        // A new native window starts without our variant.
        writtenVariant_.reset();
        apply();
        break;
    default: break;
    }
    return false;
}

void TrueBlackWindowChrome::apply()
{
    if (!window_)
        return;
    applying_ = true;
    const Appearance appearance = ThemeAppearance::of(window_);
    QPalette palette = window_->palette();
    if (appearance.dark) {
        setVariant(QByteArrayLiteral("dark"));
        if (!lightBackground_) {
            lightBackground_ = LightBackground{palette.color(QPalette::Window), window_->autoFillBackground()};
        }
        palette.setColor(QPalette::Window, TavlinTheme::appColor.resolve(appearance));
        window_->setAutoFillBackground(true);
    } else {
        setVariant(lightVariant_);
        if (lightBackground_) {
            palette.setColor(QPalette::Window, lightBackground_->color);
            window_->setAutoFillBackground(lightBackground_->autoFill);
            lightBackground_.reset();
        }
    }
    if (palette != window_->palette())
        window_->setPalette(palette);
    applying_ = false;
}

std::optional<QByteArray> TrueBlackWindowChrome::readVariant() const
{
    return hasNativeWindow(window_) ? properties_.read(window_->winId(), variantProperty) : std::nullopt;
}

void TrueBlackWindowChrome::setVariant(const std::optional<QByteArray>& variant)
{
    if (!hasNativeWindow(window_) || writtenVariant_ == variant)
        return;
    properties_.write(window_->winId(), variantProperty, variant);
    writtenVariant_ = variant;
}

} // namespace tavlin
