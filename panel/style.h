#pragma once

#include <QPixmap>
#include <QProxyStyle>

#include <map>

// The panel's one look: Fusion, whatever style the application or the desktop has, light,
// with a strong focus ring on every focused control and no other sign of focus, outlines that
// stand out from the window, and sliders that page on a left click beside their thumb.
class PanelStyle : public QProxyStyle {
    Q_OBJECT
public:
    // The layout is fixed to the pixel, and Fusion's metrics are the ones it was drawn for.
    PanelStyle() : QProxyStyle(QStringLiteral("Fusion")) {}
    int styleHint(StyleHint hint, const QStyleOption* option = nullptr,
                  const QWidget* widget = nullptr,
                  QStyleHintReturn* returnData = nullptr) const override;
    QRect subControlRect(ComplexControl control, const QStyleOptionComplex* option, SubControl part,
                         const QWidget* widget = nullptr) const override;
    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget = nullptr) const override;
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget = nullptr) const override;
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                            QPainter* painter, const QWidget* widget = nullptr) const override;

private:
    void drawSlider(const QStyleOptionComplex* option, QPainter* painter,
                    const QWidget* widget) const;
    void drawGroup(const QStyleOptionComplex* option, QPainter* painter,
                   const QWidget* widget) const;
    void drawOptionCircle(const QStyleOption* option, QPainter* painter,
                          const QWidget* widget) const;

    struct CircleKey {
        qint64 palette;
        uint state;
        int width;
        int height;
        qreal scale;
        auto operator<=>(const CircleKey&) const = default;
    };
    mutable std::map<CircleKey, QPixmap> m_circles;
};

// Gives the window and every control in it the panel's style and fixed light palette, and
// keeps them: palette, theme and font changes of the application no longer reach them.
void keepPanelLook(QWidget& window, PanelStyle& style);

// One of the window's images: ":/logo.bmp" as RGB32, ":/qx5180-32.bmp" as ARGB32. The window
// icon is the 32 px one alone: a window manager scales it where it needs another size, and a
// desktop that matches the window to its entry shows the sizes the package installs.
QPixmap panelImage(const char* name, QImage::Format format);
