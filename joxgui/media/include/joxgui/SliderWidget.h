#pragma once

#include <joxgui/MeskTypes.h>

#include <QAbstractSlider>
#include <QString>

namespace JoxGui {

// A painted slider with a value (in hundredths) and a two-handle position
// range X..Y.
class SliderWidget : public QAbstractSlider
{
    Q_OBJECT

public:
    enum SliderViewType { ViewHorizontal, ViewVertical };
    Q_ENUM(SliderViewType)
    // Value: one handle at the value; Range: the band between X and Y.
    enum SliderMode { ModeValue, ModeRange };
    Q_ENUM(SliderMode)
    enum SliderColor { ColorAccent, ColorGrey, ColorRed, ColorOrange, ColorYellow, ColorWhite };
    Q_ENUM(SliderColor)

private:
    Q_PROPERTY(SliderViewType sliderViewType MEMBER mViewType)
    Q_PROPERTY(SliderMode sliderMode MEMBER mMode)
    Q_PROPERTY(bool sliderBackgroundMoveable MEMBER mBackgroundMoveable)
    Q_PROPERTY(bool sliderLineSymmetry MEMBER mLineSymmetry)
    Q_PROPERTY(int sliderMinValue READ GetMinimum WRITE SetMinimum)
    Q_PROPERTY(int sliderMaxValue READ GetMaximum WRITE SetMaximum)
    Q_PROPERTY(int sliderValue READ GetValue WRITE SetValue)
    Q_PROPERTY(int sliderDefaultValue MEMBER mDefaultValue)
    Q_PROPERTY(int sliderStepSlow MEMBER mStepSlow)
    Q_PROPERTY(int sliderStepNormal MEMBER mStep)
    Q_PROPERTY(int sliderStepFast MEMBER mStepFast)
    Q_PROPERTY(SliderColor sliderColorTop MEMBER mColorTop)
    Q_PROPERTY(SliderColor sliderColorBottom MEMBER mColorBottom)
    Q_PROPERTY(SliderColor sliderGradientStartColor MEMBER mGradientStart)
    Q_PROPERTY(SliderColor sliderGradientEndColor MEMBER mGradientEnd)

public:
    explicit SliderWidget(QWidget* pParent = nullptr);

    int GetMinimum() const;
    int GetMaximum() const;
    void SetMinimum(int minimum);
    void SetMaximum(int maximum);
    // The value as set (whole numbers); a hundredth of it is the real value.
    int GetValue() const;
    MESK_QUAD GetPositionX() const;
    MESK_QUAD GetPositionY() const;
    void SetStep(int step);
    QSize sizeHint() const override;

signals:
    void UpdateView(int value);
    void UpdateView(double value);
    void PositionChangedX(MESK_QUAD position);
    void PositionChangedY(MESK_QUAD position);
    void PositionChanged(int value);
    void ValueChanged(int value);
    void ValueChanged(MESK_QUAD value);
    void ValueChanged(double value);
    void SliderPressed();
    void SliderMoved();
    void SliderReleased();
    void MouseMoved();
    void MouseReleased();
    void WheelChanged();
    void KeyPressed();
    void DoubleClick();
    void DoubleClick(double value);
    void DoubleClick(QString& rText);
    void DoubleClick(int value);
    void ValuesChanged(int minimum, int maximum, int value, int positionX, int positionY);

public slots:
    // Both handles to the value.
    void UpdateSlider(int value);
    // Both handles to the value truncated toward zero; a value that is not
    // finite is ignored.
    void UpdateSlider(double value);
    void SetPositionX(MESK_QUAD position);
    void SetPositionY(MESK_QUAD position);
    void SetValue(int value);
    void Increment();
    void Decrement();

protected:
    void paintEvent(QPaintEvent* pEvent) override;
    void mousePressEvent(QMouseEvent* pEvent) override;
    void mouseMoveEvent(QMouseEvent* pEvent) override;
    void mouseReleaseEvent(QMouseEvent* pEvent) override;
    void mouseDoubleClickEvent(QMouseEvent* pEvent) override;
    void wheelEvent(QWheelEvent* pEvent) override;
    void keyPressEvent(QKeyEvent* pEvent) override;

private:
    void KeepRangeOpen();
    // Stores both positions clamped to the range (x below the maximum) and repaints.
    void StorePositions(MESK_QUAD positionX, MESK_QUAD positionY);
    double Fraction(double value) const;
    int ValueAt(const QPoint& rPoint) const;

    int mMinimum = 0;
    int mMaximum = 100;
    MESK_QUAD mPositionX = 0;
    MESK_QUAD mPositionY = 0;
    double mValue = 0.0;
    int mStep = 1;
    SliderViewType mViewType = ViewHorizontal;
    SliderMode mMode = ModeValue;
    bool mBackgroundMoveable = false;
    bool mLineSymmetry = false;
    int mDefaultValue = 0;
    int mStepSlow = 1;
    int mStepFast = 10;
    SliderColor mColorTop = ColorAccent;
    SliderColor mColorBottom = ColorGrey;
    SliderColor mGradientStart = ColorAccent;
    SliderColor mGradientEnd = ColorWhite;
    bool mDragging = false;
};

} // namespace JoxGui
