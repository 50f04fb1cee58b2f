#pragma once

#include <joxcore/CodecConfigMOV.h>

#include <QWidget>

class QCheckBox;
class QComboBox;
class QSpinBox;

namespace JoxGui {

// Editor of a MOV configuration: audio packing, closed captions and
// sidecar writing. An edit writes the edited control's key.
class CodecConfigWidgetMOV : public QWidget
{
    Q_OBJECT

public:
    explicit CodecConfigWidgetMOV(QWidget* pParent = nullptr);

    // Takes a copy of rConfig and shows it.
    void SetConfig(const JoxCore::CodecConfigMOV& rConfig);
    const JoxCore::CodecConfigMOV& GetConfig() const { return mConfig; }

private slots:
    // Writes the edited control (every control when there is no sender),
    // then refreshes the controls.
    void UpdateConfig();

private:
    // Refreshes every control from the configuration without change signals.
    void UpdateGui();

    JoxCore::CodecConfigMOV mConfig;
    QComboBox* mpPackingCombo;
    QComboBox* mpClosedCaptionCombo;
    QCheckBox* mpForceCaptionsCheck;
    QCheckBox* mpWriteSidecarCheck;
    QCheckBox* mpFinalUpdateCheck;
    QSpinBox* mpChunkSizeSpin;
    QSpinBox* mpDataRateSpin;
    QSpinBox* mpDurationFallbackSpin;
};

} // namespace JoxGui
