#pragma once

#include <QProxyStyle>

namespace tavlin {

struct ButtonLook;

// The application's style: Qt's Fusion style with the design system's controls and colours on
// top, drawn from TavlinTheme in the appearance of the window a widget is in. It draws every
// button that carries a ButtonLook (and gives plain push buttons, such as a dialog's, the capsule
// of the action buttons by their roles: the default one in the accent, one that deletes in red,
// neither moved by the focus), slim scroll bars without arrows, check boxes, focus rings, menus and
// combo box pop-ups, and tool tips; pop-ups and dialogs take the palette of the window they
// belong to. Installed once for the whole application.
class TavlinStyle : public QProxyStyle {
    Q_OBJECT
public:
    TavlinStyle();

    // Makes this style the application's.
    static void install();

    static constexpr int scrollBarThickness = 10;
    static constexpr int toolTipWidth = 420;
    static constexpr int messageWidth = 320;
    static constexpr int toolTipLines = 12;
    // The room a check box or radio button keeps around its indicator for its focus ring: a gap,
    // then the ring.
    static constexpr int indicatorRingOutset = 4;

    // A plain tool tip text as a tip shows it: without blank lines around it, and cut after
    // toolTipLines lines. Rich text stays as it is.
    static QString boundedToolTip(const QString& text);

    void polish(QWidget* widget) override;
    void unpolish(QWidget* widget) override;
    using QProxyStyle::polish;
    using QProxyStyle::unpolish;

    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget = nullptr) const override;
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option, QPainter* painter,
                            const QWidget* widget = nullptr) const override;
    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget = nullptr) const override;
    QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                           const QWidget* widget = nullptr) const override;
    QRect subElementRect(SubElement element, const QStyleOption* option,
                         const QWidget* widget = nullptr) const override;
    QRect subControlRect(ComplexControl control, const QStyleOptionComplex* option, SubControl subControl,
                         const QWidget* widget = nullptr) const override;
    int pixelMetric(PixelMetric metric, const QStyleOption* option = nullptr,
                    const QWidget* widget = nullptr) const override;
    int styleHint(StyleHint hint, const QStyleOption* option = nullptr, const QWidget* widget = nullptr,
                  QStyleHintReturn* returnData = nullptr) const override;

    QIcon standardIcon(StandardPixmap icon, const QStyleOption* option = nullptr,
                       const QWidget* widget = nullptr) const override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void drawButton(const ButtonLook& look, const QStyleOption* option, QPainter* painter, const QWidget* widget) const;
    QSize buttonSize(const ButtonLook& look, const QWidget* widget, const QStyleOption* option) const;
};

} // namespace tavlin
