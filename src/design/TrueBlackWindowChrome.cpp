#include "TrueBlackWindowChrome.h"

#include "TavlinTheme.h"
#include "ThemeAppearance.h"
#include "WindowProperties.h"

#include <QEvent>

namespace tavlin {

namespace {

const char* const variantProperty = "_GTK_THEME_VARIANT";

// The window system's properties of a window that has its native window; nothing before.
WindowProperties* propertiesOf(const QWidget* window)
{
    return window && window->testAttribute(Qt::WA_WState_Created) ? WindowProperties::installed() : nullptr;
}

std::optional<QByteArray> readVariant(const QWidget* window)
{
    WindowProperties* properties = propertiesOf(window);
    return properties ? properties->read(window->winId(), variantProperty) : std::nullopt;
}

} // namespace

TrueBlackWindowChrome::TrueBlackWindowChrome(QWidget* window)
    : QObject(window)
    , m_window(window)
    , m_lightVariant(readVariant(window))
{
    window->installEventFilter(this);
    apply();
}

bool TrueBlackWindowChrome::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_window || m_applying)
        return false;
    switch (event->type()) {
    case QEvent::PaletteChange:
    case QEvent::DynamicPropertyChange: apply(); break;
    case QEvent::WinIdChange:
        // A new native window starts without our variant.
        m_writtenVariant.reset();
        apply();
        break;
    default: break;
    }
    return false;
}

void TrueBlackWindowChrome::apply()
{
    if (!m_window)
        return;
    m_applying = true;
    const Appearance appearance = ThemeAppearance::of(m_window);
    QPalette palette = m_window->palette();
    if (appearance.dark) {
        setVariant(QByteArrayLiteral("dark"));
        if (!m_lightBackground) {
            m_lightBackground = LightBackground{palette.color(QPalette::Window), m_window->autoFillBackground()};
        }
        palette.setColor(QPalette::Window, TavlinTheme::appColor.resolve(appearance));
        m_window->setAutoFillBackground(true);
    } else {
        setVariant(m_lightVariant);
        if (m_lightBackground) {
            palette.setColor(QPalette::Window, m_lightBackground->color);
            m_window->setAutoFillBackground(m_lightBackground->autoFill);
            m_lightBackground.reset();
        }
    }
    if (palette != m_window->palette())
        m_window->setPalette(palette);
    m_applying = false;
}

void TrueBlackWindowChrome::setVariant(const std::optional<QByteArray>& variant)
{
    WindowProperties* properties = propertiesOf(m_window);
    if (!properties || m_writtenVariant == variant)
        return;
    properties->write(m_window->winId(), variantProperty, variant);
    m_writtenVariant = variant;
}

} // namespace tavlin
