#pragma once

#include <joxcore/CodecConfigFFMedia.h>

#include <QWidget>

class QComboBox;
class QDoubleSpinBox;
class QSlider;
class QSpinBox;

namespace JoxGui {

// Editor of an FFMedia configuration, with a video part and an audio part
// as chosen at construction. Choosing a user preset writes its settings; the
// other controls are editable only under "Customized", and an edit writes
// the edited control's key.
class CodecConfigWidgetFFMedia : public QWidget
{
    Q_OBJECT

public:
    explicit CodecConfigWidgetFFMedia(bool withVideo, bool withAudio, QWidget* pParent = nullptr);

    // Takes a copy of rConfig and shows it.
    void SetConfig(const JoxCore::CodecConfigFFMedia& rConfig);
    const JoxCore::CodecConfigFFMedia& GetConfig() const { return mConfig; }

private slots:
    void UpdateGui();
    // The chosen preset when the sender is the preset combo; else, under
    // "Customized", the edited control (every control when there is no
    // sender); then UpdateGui.
    void UpdateConfig();
    void UpdateSpins();
    void UpdateSliders();

private:
    JoxCore::CodecConfigFFMedia mConfig;
    QComboBox* mpPresetCombo;
    QComboBox* mpFormatCombo;
    QComboBox* mpProfileCombo = nullptr;
    QSlider* mpBitrateSlider = nullptr;
    QDoubleSpinBox* mpBitrateSpin = nullptr;
    QSlider* mpMaxrateSlider = nullptr;
    QDoubleSpinBox* mpMaxrateSpin = nullptr;
    QSpinBox* mpGopSizeSpin = nullptr;
    QComboBox* mpAudioCodecCombo = nullptr;
    QComboBox* mpAudioBitrateCombo = nullptr;
};

} // namespace JoxGui
