#pragma once

#include <joxcore/CodecConfigMPEG2.h>

#include <QWidget>

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLineEdit;
class QSlider;
class QSpinBox;

namespace JoxGui {

// Editor of an MPEG-2 configuration. An edit writes the edited control's
// key (and re-checks the keys that depend on it); the preset is applied
// only when the operator chooses one.
class CodecConfigWidgetMPEG2 : public QWidget
{
    Q_OBJECT

public:
    explicit CodecConfigWidgetMPEG2(QWidget* pParent = nullptr);

    // Takes a copy of rConfig and shows it.
    void SetConfig(const JoxCore::CodecConfigMPEG2& rConfig);
    const JoxCore::CodecConfigMPEG2& GetConfig() const { return mConfig; }

private slots:
    // Refreshes every control from the configuration without change signals.
    void UpdateGui();
    void UpdateGopStructureText();
    // Writes the edited control (the sender; every control but the preset
    // combo when there is none), then UpdateGui.
    void UpdateConfig();
    // Spin boxes from sliders, then UpdateConfig.
    void UpdateSpins();
    // Sliders from spin boxes, then UpdateConfig.
    void UpdateSliders();

private:
    JoxCore::CodecConfigMPEG2 mConfig;
    QComboBox* mpPresetCombo;
    QComboBox* mpProfileCombo;
    QComboBox* mpLevelCombo;
    QComboBox* mpChromaCombo;
    QComboBox* mpBitrateModeCombo;
    QSlider* mpAverageSlider;
    QDoubleSpinBox* mpAverageSpin;
    QSlider* mpMaxSlider;
    QDoubleSpinBox* mpMaxSpin;
    QSlider* mpMinSlider;
    QDoubleSpinBox* mpMinSpin;
    QSlider* mpPFrameSlider;
    QSpinBox* mpPFrameSpin;
    QSlider* mpBFrameSlider;
    QSpinBox* mpBFrameSpin;
    QCheckBox* mpIFrameOnlyCheck;
    QComboBox* mpGopTypeCombo;
    QSpinBox* mpClosedGopSpin;
    QComboBox* mpDcPrecisionCombo;
    QComboBox* mpMotionSearchCombo;
    QComboBox* mpAudioBitrateCombo;
    QLineEdit* mpGopStructureEdit;
};

} // namespace JoxGui
