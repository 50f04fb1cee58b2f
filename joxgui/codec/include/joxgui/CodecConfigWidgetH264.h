#pragma once

#include <joxcore/CodecConfigH264.h>

#include <QWidget>

class QComboBox;
class QDoubleSpinBox;
class QSlider;
class QSpinBox;

namespace JoxGui {

// Editor of an H.264 configuration. An edit writes the edited control's key;
// a new profile or level also sets the bit rates from the level's maximum.
class CodecConfigWidgetH264 : public QWidget
{
    Q_OBJECT

public:
    explicit CodecConfigWidgetH264(QWidget* pParent = nullptr);

    // Takes a copy of rConfig and shows it.
    void SetConfig(const JoxCore::CodecConfigH264& rConfig);
    const JoxCore::CodecConfigH264& GetConfig() const { return mConfig; }

private slots:
    void UpdateGui();
    // Writes the edited control (the sender; every control when there is
    // none), then UpdateGui.
    void UpdateConfig();
    void UpdateSpins();
    void UpdateSliders();
    // Profile and level from their combos, then bit rate = maximum / 2 and
    // maximum rate = H264MaxBitrate, in that order, then UpdateGui.
    void UpdateBitrates();

private:
    JoxCore::CodecConfigH264 mConfig;
    QComboBox* mpProfileCombo;
    QComboBox* mpLevelCombo;
    QComboBox* mpChromaCombo;
    QComboBox* mpRateControlCombo;
    QComboBox* mpSpeedPresetCombo;
    QComboBox* mpAudioCodecCombo;
    QComboBox* mpAudioBitrateCombo;
    QSlider* mpBitrateSlider;
    QDoubleSpinBox* mpBitrateSpin;
    QSlider* mpMaxrateSlider;
    QDoubleSpinBox* mpMaxrateSpin;
    QSpinBox* mpGopSizeSpin;
};

} // namespace JoxGui
