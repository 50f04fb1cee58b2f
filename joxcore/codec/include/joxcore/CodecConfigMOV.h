#pragma once

#include <joxcore/CodecChoice.h>
#include <joxcore/CodecConfig.h>

namespace JoxCore {

// QuickTime movie writing: closed captions, audio track packing and sidecar files.
class CodecConfigMOV : public CodecConfig
{
public:
    CodecConfigMOV();

    // A copy of pSource when it is a MOV configuration; else empty.
    void SetDefaults(const CodecConfig* pSource) override;

    int GetAudioPacking() const;
    void SetAudioPacking(int packing);
    int GetClosedCaptionType() const;
    void SetClosedCaptionType(int type);
    bool GetForceClosedCaptions() const;
    void SetForceClosedCaptions(bool force);
    bool GetWriteSidecar() const;
    void SetWriteSidecar(bool write);
    bool GetSidecarFinalUpdate() const;
    void SetSidecarFinalUpdate(bool update);
    int GetSidecarChunkSize() const;
    void SetSidecarChunkSize(int size);
    int GetSidecarDataRate() const;
    void SetSidecarDataRate(int rate);
    int GetSidecarDurationFallback() const;
    void SetSidecarDurationFallback(int duration);

    CodecChoiceList GetAudioPackingChoices() const;
    CodecChoiceList GetClosedCaptionChoices() const;
};

} // namespace JoxCore
