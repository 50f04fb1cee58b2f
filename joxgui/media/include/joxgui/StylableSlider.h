#pragma once

#include <QSlider>

namespace JoxGui {

// A slider drawn by the style sheet that steps by its own step.
class StylableSlider : public QSlider
{
    Q_OBJECT

public:
    explicit StylableSlider(Qt::Orientation orientation = Qt::Horizontal, QWidget* pParent = nullptr);

    void SetStep(int step);

signals:
    void SignalSliderReleased();

public slots:
    void Increment();
    void Decrement();

private:
    int mStep = 1;
};

} // namespace JoxGui
