// libFuzzer target for the stored codec configuration XML: any document is
// read without harm, and what a configuration writes reads back equal.
#include <joxcore/CodecConfigH264.h>
#include <joxcore/CodecConfigJPEG2000.h>
#include <joxcore/CodecConfigMOV.h>
#include <joxcore/CodecConfigMPEG2.h>

#include <QByteArray>
#include <QDomDocument>
#include <QDomElement>

#include <cstdint>
#include <cstdlib>

namespace {

template <typename Config>
void RoundTrip(const QDomElement& rRoot)
{
    Config config;
    config.ReadXml(rRoot, nullptr);

    QDomDocument written;
    QDomElement root = written.createElement(QStringLiteral("codec"));
    written.appendChild(root);
    config.WriteXml(root);
    QDomDocument parsed;
    if (!parsed.setContent(written.toByteArray()))
        std::abort();
    Config readBack;
    readBack.ReadXml(parsed.documentElement(), nullptr);
    if (!(readBack == config))
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t size)
{
    QDomDocument document;
    if (!document.setContent(QByteArray(reinterpret_cast<const char*>(pData), static_cast<int>(size))))
        return 0;
    const QDomElement root = document.documentElement();
    RoundTrip<JoxCore::CodecConfigMOV>(root);
    RoundTrip<JoxCore::CodecConfigMPEG2>(root);

    // The typed readers and the setters that compute from stored values.
    JoxCore::CodecConfigMPEG2 mpeg2;
    mpeg2.ReadXml(root, nullptr);
    (void)mpeg2.GetGopStructureText();
    (void)mpeg2.GetPresetIndex();
    mpeg2.SetBitrates(mpeg2.GetMinBitrate(), mpeg2.GetMaxBitrate(), mpeg2.GetAverageBitrate());
    JoxCore::CodecConfigJPEG2000 jpeg;
    jpeg.ReadXml(root, nullptr);
    jpeg.SetConstantNoLimit(false);
    jpeg.SetConstantBitRate(jpeg.GetConstantBitRate());
    JoxCore::CodecConfigH264 h264;
    h264.ReadXml(root, nullptr);
    h264.SetVideoMaxrate(h264.GetVideoMaxrate());
    h264.SetVideoBitrate(h264.GetVideoBitrate());
    return 0;
}
