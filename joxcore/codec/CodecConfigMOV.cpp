#include <joxcore/CodecConfigMOV.h>

#include <QCoreApplication>

namespace JoxCore {

namespace {

const QByteArray mpAudioPacking("qtac_packingpreset");
const QByteArray mpClosedCaptionType("qtvc_closed_caption_track_type");
const QByteArray mpForceClosedCaptions("qtvc_force_cc");
const QByteArray mpWriteSidecar("qtwc_enable_write_sidecar");
const QByteArray mpSidecarFinalUpdate("qtwc_sidecar_final_update");
const QByteArray mpSidecarChunkSize("qtwc_sidecar_chunk_size");
const QByteArray mpSidecarDataRate("qtwc_sidecar_data_rate");
const QByteArray mpSidecarDurationFallback("qtwc_sidecar_duration_fallback");

QString Tr(const char* pText)
{
    return QCoreApplication::translate("JoxCore::CodecConfigMOV", pText, "CodecConfigMOV");
}

} // namespace

CodecConfigMOV::CodecConfigMOV() = default;

void CodecConfigMOV::SetDefaults(const CodecConfig* pSource)
{
    if (!CopyIfSameKind(*this, pSource))
        Clear();
}

int CodecConfigMOV::GetAudioPacking() const { return GetOptionInt(mpAudioPacking); }
void CodecConfigMOV::SetAudioPacking(int packing) { SetOptionInt(mpAudioPacking, ValidateChoice(GetAudioPackingChoices(), packing)); }
int CodecConfigMOV::GetClosedCaptionType() const { return GetOptionInt(mpClosedCaptionType); }
void CodecConfigMOV::SetClosedCaptionType(int type) { SetOptionInt(mpClosedCaptionType, ValidateChoice(GetClosedCaptionChoices(), type)); }
bool CodecConfigMOV::GetForceClosedCaptions() const { return GetOptionBool(mpForceClosedCaptions); }
void CodecConfigMOV::SetForceClosedCaptions(bool force) { SetOptionBool(mpForceClosedCaptions, force); }
bool CodecConfigMOV::GetWriteSidecar() const { return GetOptionBool(mpWriteSidecar); }
void CodecConfigMOV::SetWriteSidecar(bool write) { SetOptionBool(mpWriteSidecar, write); }
bool CodecConfigMOV::GetSidecarFinalUpdate() const { return GetOptionBool(mpSidecarFinalUpdate); }
void CodecConfigMOV::SetSidecarFinalUpdate(bool update) { SetOptionBool(mpSidecarFinalUpdate, update); }
int CodecConfigMOV::GetSidecarChunkSize() const { return GetOptionInt(mpSidecarChunkSize); }
void CodecConfigMOV::SetSidecarChunkSize(int size) { SetOptionInt(mpSidecarChunkSize, size); }
int CodecConfigMOV::GetSidecarDataRate() const { return GetOptionInt(mpSidecarDataRate); }
void CodecConfigMOV::SetSidecarDataRate(int rate) { SetOptionInt(mpSidecarDataRate, rate); }
int CodecConfigMOV::GetSidecarDurationFallback() const { return GetOptionInt(mpSidecarDurationFallback); }
void CodecConfigMOV::SetSidecarDurationFallback(int duration) { SetOptionInt(mpSidecarDurationFallback, duration); }

CodecChoiceList CodecConfigMOV::GetAudioPackingChoices() const
{
    return {{1, Tr("Mono tracks")}, {2, Tr("Single track")}};
}

CodecChoiceList CodecConfigMOV::GetClosedCaptionChoices() const
{
    return {{708, Tr("CEA-708")}, {608, Tr("CEA-608 (single stream only)")}, {0, Tr("None")}};
}

} // namespace JoxCore
