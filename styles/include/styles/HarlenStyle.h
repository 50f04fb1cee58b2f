#pragma once

#include <styles/BaseStyle.h>

// The application style: installs the Harlen style sheet and a palette with
// black shadows, draws enabled item text with a shadow and the item-view drop
// indicator as a translucent rounded rectangle.
class HarlenStyle : public BaseStyle
{
    Q_OBJECT

public:
    HarlenStyle();

    void drawItemText(QPainter* pPainter, const QRect& rRect, int flags, const QPalette& rPalette,
                      bool enabled, const QString& rText,
                      QPalette::ColorRole textRole = QPalette::NoRole) const override;
    void drawPrimitive(PrimitiveElement element, const QStyleOption* pOption, QPainter* pPainter,
                       const QWidget* pWidget = nullptr) const override;
    int styleHint(StyleHint hint, const QStyleOption* pOption = nullptr,
                  const QWidget* pWidget = nullptr,
                  QStyleHintReturn* pReturnData = nullptr) const override;

    bool GetFlag() const override;
    int GetMetric(int index) const override;
};
