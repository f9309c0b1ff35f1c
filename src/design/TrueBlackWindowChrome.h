#pragma once

#include <QByteArray>
#include <QColor>
#include <QObject>
#include <QPointer>
#include <QWidget>

#include <optional>

namespace tavlin {

class WindowProperties;

// Pure black chrome for a window while it is dark: the window background becomes the palette's
// app colour, and the window asks the window manager for its dark title bar
// (_GTK_THEME_VARIANT=dark, through `properties`). In light the window gets back the variant it
// had when the chrome was made and the background it had before it turned dark (a themed window
// changes its background with its theme, so the colour at creation may be a dark one). Follows the window's appearance
// (ThemeAppearance) as it changes; does not keep the window alive.
class TrueBlackWindowChrome : public QObject {
    Q_OBJECT
public:
    TrueBlackWindowChrome(QWidget* window, WindowProperties& properties);

    void apply();

private:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void setVariant(const std::optional<QByteArray>& variant);
    // The variant of the window's native window; nothing before it has one.
    std::optional<QByteArray> readVariant() const;

    QPointer<QWidget> window_;
    WindowProperties& properties_;
    std::optional<QByteArray> lightVariant_;
    struct LightBackground {
        QColor color;
        bool autoFill = false;
    };
    // Kept while the chrome has the window dark.
    std::optional<LightBackground> lightBackground_;
    // The variant last written to the window, so that it is written only when it changes.
    std::optional<std::optional<QByteArray>> writtenVariant_;
    bool applying_ = false;
};

} // namespace tavlin
