#include "X11TrayColors.h"

namespace tavlin {

X11TrayColors::X11TrayColors(QObject* parent) : TrayColors(parent)
{
    if (!tray_.connection().isValid())
        return;
    colors_ = tray_.connection().atom("_NET_SYSTEM_TRAY_COLORS");
    connect(&tray_, &X11TrayOwner::ownerChanged, this, &X11TrayColors::follow);
    connect(&tray_, &X11TrayOwner::ownerPropertyChanged, this, [this](xcb_atom_t property) {
        if (property == colors_)
            follow();
    });
    follow();
}

void X11TrayColors::follow()
{
    std::optional<quint32> foreground;
    if (const xcb_window_t owner = tray_.owner(); owner != XCB_NONE) {
        // Four colours (normal, error, warning, success), each red, green and blue in 16 bits.
        const std::optional<QByteArray> colors = tray_.connection().property(owner, colors_, XCB_ATOM_CARDINAL);
        if (colors && colors->size() >= int(3 * sizeof(quint32))) {
            const auto* rgb = reinterpret_cast<const quint32*>(colors->constData());
            foreground = (rgb[0] >> 8 & 0xff) << 16 | (rgb[1] >> 8 & 0xff) << 8 | (rgb[2] >> 8 & 0xff);
        }
    }
    if (foreground == foreground_)
        return;
    foreground_ = foreground;
    Q_EMIT foregroundChanged();
}

} // namespace tavlin
