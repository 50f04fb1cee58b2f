#pragma once

#include <QFrame>

class QCheckBox;
class QSpinBox;

namespace JoxGui {

// Options of the stereoscopic analysis: the number of key frames, scene
// detection, and splitting at scene markers (only with scene detection).
class S3DAnalyzeFrame : public QFrame
{
    Q_OBJECT

public:
    explicit S3DAnalyzeFrame(QWidget* pParent = nullptr);

    QSpinBox* GetKeyframesSpinBox() const;
    QCheckBox* GetSceneDetectionCheckBox() const;
    QCheckBox* GetSplitCheckBox() const;
    // The scene-detection threshold, used only with scene detection.
    QWidget* GetDependentWidget() const;

signals:
    void SpinBoxKeyframesValueChanged(int count);
    void CheckBoxSceneDetectionToggled(bool on);
    void SplitAtSceneMarkersToggled(bool on);

public slots:
    void SetNumberOfKeyframes(int count);
    void SetDoSceneDetection(bool on);
    void SetSplitAtSceneMarkers(bool on);
    void UpdateGUI();

private:
    QSpinBox* mpKeyframes;
    QCheckBox* mpSceneDetection;
    QCheckBox* mpSplit;
    QWidget* mpDependent;
};

} // namespace JoxGui
