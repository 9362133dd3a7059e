// The decoders of Windows, all of them the system's own or compiled in:
// Media Foundation's source reader (MP3, AAC, WMA, FLAC on Windows 10, the
// kinds of wave it knows), the Audio Compression Manager for the waves it
// does not take (IMA and Microsoft ADPCM, mu-law, A-law), stb_vorbis for Ogg
// Vorbis, which Windows has no decoder for, and Media Foundation's resampler.
#include "comptr_windows.h"
#include "sounddecoder.h"
#include "wavecheck.h"

#include "paths.h"
#include "widepath.h"

#include <windows.h>

#include <mfapi.h>
#include <mferror.h>
#include <mfidl.h>
#include <mfreadwrite.h>
#include <mmreg.h>
#include <msacm.h>
#include <wmcodecdsp.h>

#define STB_VORBIS_HEADER_ONLY
#include <stb_vorbis.h>

#include <algorithm>
#include <cstring>
#include <type_traits>

namespace vesk {

namespace {

// Media Foundation's functions, looked up when first needed: Windows "N"
// editions have no Media Foundation, and there the program must still start
// (and decode what the Audio Compression Manager and stb_vorbis read).
struct MediaFoundationCalls
{
    decltype(&::MFStartup) startup = nullptr;
    decltype(&::MFShutdown) shutdown = nullptr;
    decltype(&::MFCreateMediaType) createMediaType = nullptr;
    decltype(&::MFCreateSample) createSample = nullptr;
    decltype(&::MFCreateMemoryBuffer) createMemoryBuffer = nullptr;
    decltype(&::MFCreateSourceReaderFromURL) createSourceReaderFromURL = nullptr;

    static const MediaFoundationCalls &get()
    {
        static const MediaFoundationCalls calls = [] {
            MediaFoundationCalls found;
            const HMODULE platform = LoadLibraryA("mfplat.dll"), readwrite = LoadLibraryA("mfreadwrite.dll");
            if (!platform || !readwrite)
                return found;
            const auto bind = [](auto &call, HMODULE module, const char *name) {
                call = reinterpret_cast<std::remove_reference_t<decltype(call)>>(
                    reinterpret_cast<void *>(GetProcAddress(module, name)));
                return call != nullptr;
            };
            if (!(bind(found.startup, platform, "MFStartup") && bind(found.shutdown, platform, "MFShutdown")
                  && bind(found.createMediaType, platform, "MFCreateMediaType")
                  && bind(found.createSample, platform, "MFCreateSample")
                  && bind(found.createMemoryBuffer, platform, "MFCreateMemoryBuffer")
                  && bind(found.createSourceReaderFromURL, readwrite, "MFCreateSourceReaderFromURL")))
                return MediaFoundationCalls();
            return found;
        }();
        return calls;
    }
    bool present() const { return createSourceReaderFromURL != nullptr; }
};

const MediaFoundationCalls &mf()
{
    return MediaFoundationCalls::get();
}

// COM and Media Foundation for the thread that decodes; each decoder holds
// its own, so that the threads of a conversion need nothing else.
class MediaFoundation
{
public:
    MediaFoundation()
    {
        const HRESULT com = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        m_com = SUCCEEDED(com); // a thread of windows keeps its own apartment
        m_started = mf().present() && SUCCEEDED(mf().startup(MF_VERSION, MFSTARTUP_NOSOCKET));
    }
    ~MediaFoundation()
    {
        if (m_started)
            mf().shutdown();
        if (m_com)
            CoUninitialize();
    }
    MediaFoundation(const MediaFoundation &) = delete;
    MediaFoundation &operator=(const MediaFoundation &) = delete;
    bool started() const { return m_started; }

private:
    bool m_com = false;
    bool m_started = false;
};

Status notASound()
{
    return Status::failure(ErrorCode::BadFormat, "not a sound file");
}

Status damaged()
{
    return Status::failure(ErrorCode::BadFormat, "damaged");
}

// An audio media type of interleaved samples.
HRESULT audioType(IMFMediaType **type, const GUID &subtype, int rate, int channels, int bits)
{
    HRESULT hr = mf().createMediaType(type);
    IMFMediaType *t = *type;
    const auto block = static_cast<UINT32>(channels * bits / 8);
    if (SUCCEEDED(hr))
        hr = t->SetGUID(MF_MT_MAJOR_TYPE, MFMediaType_Audio);
    if (SUCCEEDED(hr))
        hr = t->SetGUID(MF_MT_SUBTYPE, subtype);
    if (SUCCEEDED(hr))
        hr = t->SetUINT32(MF_MT_AUDIO_NUM_CHANNELS, static_cast<UINT32>(channels));
    if (SUCCEEDED(hr))
        hr = t->SetUINT32(MF_MT_AUDIO_SAMPLES_PER_SECOND, static_cast<UINT32>(rate));
    if (SUCCEEDED(hr))
        hr = t->SetUINT32(MF_MT_AUDIO_BITS_PER_SAMPLE, static_cast<UINT32>(bits));
    if (SUCCEEDED(hr))
        hr = t->SetUINT32(MF_MT_AUDIO_BLOCK_ALIGNMENT, block);
    if (SUCCEEDED(hr))
        hr = t->SetUINT32(MF_MT_AUDIO_AVG_BYTES_PER_SECOND, block * static_cast<UINT32>(rate));
    if (SUCCEEDED(hr))
        hr = t->SetUINT32(MF_MT_ALL_SAMPLES_INDEPENDENT, TRUE);
    return hr;
}

// The bytes of a media sample, appended to `out` as float samples.
bool appendSamples(IMFSample *sample, bool floating, std::vector<float> &out)
{
    ComPtr<IMFMediaBuffer> buffer;
    if (FAILED(sample->ConvertToContiguousBuffer(buffer.put())))
        return false;
    BYTE *bytes = nullptr;
    DWORD length = 0;
    if (FAILED(buffer->Lock(&bytes, nullptr, &length)))
        return false;
    const size_t at = out.size();
    if (floating) {
        out.resize(at + length / sizeof(float));
        std::memcpy(out.data() + at, bytes, length / sizeof(float) * sizeof(float));
    } else {
        out.resize(at + length / 2);
        for (size_t i = 0; i < length / 2; ++i) {
            std::int16_t value;
            std::memcpy(&value, bytes + 2 * i, 2);
            out[at + i] = static_cast<float>(value) / 32768.0f;
        }
    }
    buffer->Unlock();
    return true;
}

// What a decoder has decoded and not yet handed on.
class Pending
{
public:
    std::vector<float> samples;
    size_t take(float *into, size_t frames, int channels)
    {
        const size_t count = std::min(frames * static_cast<size_t>(channels), samples.size() - m_at);
        std::copy_n(samples.begin() + static_cast<std::ptrdiff_t>(m_at), count, into);
        m_at += count;
        if (m_at == samples.size()) {
            samples.clear();
            m_at = 0;
        }
        return count / static_cast<size_t>(channels);
    }
    size_t frames(int channels) const { return (samples.size() - m_at) / static_cast<size_t>(channels); }

private:
    size_t m_at = 0;
};

class MediaFoundationDecoder final : public SoundDecoder
{
public:
    static Result<std::unique_ptr<SoundDecoder>> open(const std::string &path)
    {
        auto decoder = std::make_unique<MediaFoundationDecoder>();
        if (!decoder->m_media.started())
            return notASound();
        IMFSourceReader *reader = nullptr;
        if (FAILED(mf().createSourceReaderFromURL(systemPath(path).c_str(), nullptr, &reader)))
            return notASound();
        *decoder->m_reader.put() = reader;
        const DWORD audio = static_cast<DWORD>(MF_SOURCE_READER_FIRST_AUDIO_STREAM);
        ComPtr<IMFMediaType> native;
        if (FAILED(reader->SetStreamSelection(static_cast<DWORD>(MF_SOURCE_READER_ALL_STREAMS), FALSE))
            || FAILED(reader->SetStreamSelection(audio, TRUE))
            || FAILED(reader->GetNativeMediaType(audio, 0, native.put())))
            return notASound();
        UINT32 rate = 0, channels = 0, bits = 0;
        GUID subtype{};
        native->GetUINT32(MF_MT_AUDIO_SAMPLES_PER_SECOND, &rate);
        native->GetUINT32(MF_MT_AUDIO_NUM_CHANNELS, &channels);
        native->GetUINT32(MF_MT_AUDIO_BITS_PER_SAMPLE, &bits);
        native->GetGUID(MF_MT_SUBTYPE, &subtype);
        if (rate == 0 || channels == 0)
            return notASound();
        SoundFormat &format = decoder->m_format;
        format.rate = static_cast<int>(rate);
        format.channels = static_cast<int>(channels);
        // Integer PCM keeps its bits; the kinds of wave that decode to 16-bit
        // values count as 16; floating point and lossy kinds as none.
        const unsigned long tag = subtype.Data1;
        if (subtype == MFAudioFormat_PCM)
            format.bits = static_cast<int>(bits);
        else if (tag == WAVE_FORMAT_ADPCM || tag == WAVE_FORMAT_IMA_ADPCM || tag == WAVE_FORMAT_MULAW
                 || tag == WAVE_FORMAT_ALAW)
            format.bits = 16;
        // Float output where the system gives it, else 16-bit PCM.
        for (const bool floating : {true, false}) {
            ComPtr<IMFMediaType> wanted;
            if (SUCCEEDED(audioType(wanted.put(), floating ? MFAudioFormat_Float : MFAudioFormat_PCM, format.rate,
                                    format.channels, floating ? 32 : 16))
                && SUCCEEDED(reader->SetCurrentMediaType(audio, nullptr, wanted.get()))) {
                decoder->m_floating = floating;
                PROPVARIANT duration;
                PropVariantInit(&duration);
                if (SUCCEEDED(reader->GetPresentationAttribute(static_cast<DWORD>(MF_SOURCE_READER_MEDIASOURCE),
                                                               MF_PD_DURATION, &duration))
                    && duration.vt == VT_UI8)
                    decoder->m_frames = duration.uhVal.QuadPart * rate / 10000000u;
                PropVariantClear(&duration);
                return std::unique_ptr<SoundDecoder>(std::move(decoder));
            }
        }
        return notASound();
    }

    SoundFormat format() const override { return m_format; }
    std::uint64_t frames() const override { return m_frames; }
    Result<std::size_t> read(float *samples, std::size_t frames) override
    {
        while (m_pending.frames(m_format.channels) < frames && !m_ended) {
            DWORD flags = 0;
            ComPtr<IMFSample> sample;
            if (FAILED(m_reader->ReadSample(static_cast<DWORD>(MF_SOURCE_READER_FIRST_AUDIO_STREAM), 0, nullptr, &flags,
                                            nullptr, sample.put())))
                return damaged();
            if (flags & MF_SOURCE_READERF_ERROR)
                return damaged();
            m_ended = (flags & MF_SOURCE_READERF_ENDOFSTREAM) != 0;
            if (sample.get() && !appendSamples(sample.get(), m_floating, m_pending.samples))
                return damaged();
        }
        return m_pending.take(samples, frames, m_format.channels);
    }

private:
    MediaFoundation m_media; // first made, last gone
    ComPtr<IMFSourceReader> m_reader;
    SoundFormat m_format;
    std::uint64_t m_frames = 0;
    bool m_floating = true;
    bool m_ended = false;
    Pending m_pending;
};

// A wave whose kind Media Foundation does not take, through the Audio
// Compression Manager, read with the system's RIFF reader.
class AcmDecoder final : public SoundDecoder
{
public:
    ~AcmDecoder() override
    {
        if (m_stream) {
            if (m_prepared)
                acmStreamUnprepareHeader(m_stream, &m_header, 0);
            acmStreamClose(m_stream, 0);
        }
        if (m_file)
            mmioClose(m_file, 0);
    }

    static Result<std::unique_ptr<SoundDecoder>> open(const std::string &path)
    {
        auto decoder = std::make_unique<AcmDecoder>();
        // Opened here and handed over, as the multimedia file calls open
        // names of at most 128 characters themselves; closing the reader
        // closes the file.
        // Shared in every way: the player may rename, replace or delete the
        // file while it is measured (it is measured again when it changes).
        const HANDLE handle = CreateFileW(systemPath(path).c_str(), GENERIC_READ,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle == INVALID_HANDLE_VALUE)
            return notASound();
        MMIOINFO info{};
        info.fccIOProc = FOURCC_DOS;
        info.adwInfo[0] = static_cast<DWORD>(reinterpret_cast<UINT_PTR>(handle));
        decoder->m_file = mmioOpenW(nullptr, &info, MMIO_READ | MMIO_ALLOCBUF);
        if (!decoder->m_file)
            CloseHandle(handle);
        HMMIO file = decoder->m_file;
        MMCKINFO riff{}, chunk{};
        riff.fccType = mmioFOURCC('W', 'A', 'V', 'E');
        if (!file || mmioDescend(file, &riff, nullptr, MMIO_FINDRIFF) != MMSYSERR_NOERROR)
            return notASound();
        chunk.ckid = mmioFOURCC('f', 'm', 't', ' ');
        if (mmioDescend(file, &chunk, &riff, MMIO_FINDCHUNK) != MMSYSERR_NOERROR || chunk.cksize < 16
            || chunk.cksize > 4096)
            return notASound();
        decoder->m_source.assign(std::max<size_t>(chunk.cksize, sizeof(WAVEFORMATEX)), 0);
        if (mmioRead(file, reinterpret_cast<HPSTR>(decoder->m_source.data()), static_cast<LONG>(chunk.cksize))
            != static_cast<LONG>(chunk.cksize))
            return notASound();
        auto *source = reinterpret_cast<WAVEFORMATEX *>(decoder->m_source.data());
        if (chunk.cksize < sizeof(WAVEFORMATEX))
            source->cbSize = 0;
        mmioAscend(file, &chunk, 0);
        chunk.ckid = mmioFOURCC('d', 'a', 't', 'a');
        if (mmioDescend(file, &chunk, &riff, MMIO_FINDCHUNK) != MMSYSERR_NOERROR || source->nBlockAlign == 0)
            return notASound();
        decoder->m_left = chunk.cksize;
        WAVEFORMATEX &target = decoder->m_target;
        target.wFormatTag = WAVE_FORMAT_PCM;
        if (acmFormatSuggest(nullptr, source, &target, sizeof target, ACM_FORMATSUGGESTF_WFORMATTAG) != MMSYSERR_NOERROR
            || (target.wBitsPerSample != 8 && target.wBitsPerSample != 16)
            || acmStreamOpen(&decoder->m_stream, nullptr, source, &target, nullptr, 0, 0, ACM_STREAMOPENF_NONREALTIME)
                   != MMSYSERR_NOERROR)
            return notASound();
        const DWORD inBytes = source->nBlockAlign * std::max<DWORD>(1, 16384 / source->nBlockAlign);
        DWORD outBytes = 0;
        if (acmStreamSize(decoder->m_stream, inBytes, &outBytes, ACM_STREAMSIZEF_SOURCE) != MMSYSERR_NOERROR)
            return notASound();
        decoder->m_in.resize(inBytes);
        decoder->m_out.resize(outBytes);
        ACMSTREAMHEADER &header = decoder->m_header;
        header.cbStruct = sizeof header;
        header.pbSrc = decoder->m_in.data();
        header.cbSrcLength = inBytes;
        header.pbDst = decoder->m_out.data();
        header.cbDstLength = outBytes;
        if (acmStreamPrepareHeader(decoder->m_stream, &header, 0) != MMSYSERR_NOERROR)
            return notASound();
        decoder->m_prepared = true;
        decoder->m_format = {static_cast<int>(target.nSamplesPerSec), target.nChannels, target.wBitsPerSample};
        const DWORD frameBytes = target.nBlockAlign;
        if (frameBytes)
            decoder->m_frames = static_cast<std::uint64_t>(chunk.cksize) / source->nBlockAlign * outBytes
                                / (inBytes / source->nBlockAlign) / frameBytes;
        return std::unique_ptr<SoundDecoder>(std::move(decoder));
    }

    SoundFormat format() const override { return m_format; }
    std::uint64_t frames() const override { return m_frames; }
    Result<std::size_t> read(float *samples, std::size_t frames) override
    {
        while (m_pending.frames(m_format.channels) < frames && (m_left > 0 || !m_flushed)) {
            const DWORD wanted = std::min<DWORD>(static_cast<DWORD>(m_in.size()), m_left);
            const LONG got
                = wanted ? mmioRead(m_file, reinterpret_cast<HPSTR>(m_in.data()), static_cast<LONG>(wanted)) : 0;
            if (got < 0)
                return damaged();
            // A data chunk that claims more than the file holds ends where
            // the file does.
            m_left = got == 0 ? 0 : m_left - static_cast<DWORD>(got);
            const bool last = m_left == 0;
            m_header.cbSrcLength = static_cast<DWORD>(got);
            if (acmStreamConvert(m_stream, &m_header,
                                 ACM_STREAMCONVERTF_BLOCKALIGN | (last ? ACM_STREAMCONVERTF_END : 0))
                != MMSYSERR_NOERROR)
                return damaged();
            m_flushed = last;
            const size_t at = m_pending.samples.size();
            if (m_format.bits == 16) {
                m_pending.samples.resize(at + m_header.cbDstLengthUsed / 2);
                for (size_t i = 0; i < m_header.cbDstLengthUsed / 2; ++i) {
                    std::int16_t value;
                    std::memcpy(&value, m_out.data() + 2 * i, 2);
                    m_pending.samples[at + i] = static_cast<float>(value) / 32768.0f;
                }
            } else {
                m_pending.samples.resize(at + m_header.cbDstLengthUsed);
                for (size_t i = 0; i < m_header.cbDstLengthUsed; ++i)
                    m_pending.samples[at + i] = (static_cast<float>(m_out[i]) - 128.0f) / 128.0f;
            }
        }
        return m_pending.take(samples, frames, m_format.channels);
    }

private:
    HMMIO m_file = nullptr;
    HACMSTREAM m_stream = nullptr;
    ACMSTREAMHEADER m_header{};
    bool m_prepared = false;
    bool m_flushed = false;
    std::vector<unsigned char> m_source, m_in, m_out;
    WAVEFORMATEX m_target{};
    DWORD m_left = 0;
    SoundFormat m_format;
    std::uint64_t m_frames = 0;
    Pending m_pending;
};

class VorbisDecoder final : public SoundDecoder
{
public:
    ~VorbisDecoder() override { stb_vorbis_close(m_vorbis); }

    static Result<std::unique_ptr<SoundDecoder>> open(const std::string &path)
    {
        int error = 0;
        std::FILE *file = openFile(path, "rb");
        // The decoder closes the file, also when it refuses it.
        stb_vorbis *vorbis = file ? stb_vorbis_open_file(file, 1, &error, nullptr) : nullptr;
        if (!vorbis)
            return notASound();
        auto decoder = std::make_unique<VorbisDecoder>();
        decoder->m_vorbis = vorbis;
        const stb_vorbis_info info = stb_vorbis_get_info(vorbis);
        if (info.channels < 1 || info.sample_rate < 1)
            return notASound();
        decoder->m_format = {static_cast<int>(info.sample_rate), info.channels, 0};
        decoder->m_frames = stb_vorbis_stream_length_in_samples(vorbis);
        return std::unique_ptr<SoundDecoder>(std::move(decoder));
    }

    SoundFormat format() const override { return m_format; }
    std::uint64_t frames() const override { return m_frames; }
    Result<std::size_t> read(float *samples, std::size_t frames) override
    {
        const int count = m_format.channels * static_cast<int>(frames);
        const int got = stb_vorbis_get_samples_float_interleaved(m_vorbis, m_format.channels, samples, count);
        const int error = stb_vorbis_get_error(m_vorbis);
        if (got == 0 && error != VORBIS__no_error && error != VORBIS_seek_failed)
            return damaged();
        return static_cast<std::size_t>(got);
    }

private:
    stb_vorbis *m_vorbis = nullptr;
    SoundFormat m_format;
    std::uint64_t m_frames = 0;
};

class MediaFoundationResampler final : public Resampler
{
public:
    static Result<std::unique_ptr<Resampler>> make(int fromRate, int toRate, int channels)
    {
        const auto failed = [] {
            return Status::failure(ErrorCode::Io, "cannot convert the sample rate: the system's resampler is missing");
        };
        auto resampler = std::make_unique<MediaFoundationResampler>();
        resampler->m_channels = channels;
        resampler->m_ratio = static_cast<double>(toRate) / fromRate;
        ComPtr<IMFMediaType> in, out;
        IMFTransform *transform = nullptr;
        if (!resampler->m_media.started()
            || FAILED(CoCreateInstance(CLSID_CResamplerMediaObject, nullptr, CLSCTX_INPROC_SERVER, IID_IMFTransform,
                                       reinterpret_cast<void **>(&transform))))
            return failed();
        *resampler->m_transform.put() = transform;
        if (FAILED(audioType(in.put(), MFAudioFormat_Float, fromRate, channels, 32))
            || FAILED(audioType(out.put(), MFAudioFormat_Float, toRate, channels, 32))
            || FAILED(transform->SetInputType(0, in.get(), 0)) || FAILED(transform->SetOutputType(0, out.get(), 0))
            || FAILED(transform->ProcessMessage(MFT_MESSAGE_NOTIFY_BEGIN_STREAMING, 0)))
            return failed();
        return std::unique_ptr<Resampler>(std::move(resampler));
    }

    Status process(const float *in, std::size_t frames, bool last, std::vector<float> &out) override
    {
        const auto failed = [] { return Status::failure(ErrorCode::Io, "cannot convert the sample rate"); };
        if (frames > 0) {
            const auto bytes = static_cast<DWORD>(frames * static_cast<size_t>(m_channels) * sizeof(float));
            ComPtr<IMFSample> sample;
            ComPtr<IMFMediaBuffer> buffer;
            BYTE *data = nullptr;
            if (FAILED(mf().createSample(sample.put())) || FAILED(mf().createMemoryBuffer(bytes, buffer.put()))
                || FAILED(buffer->Lock(&data, nullptr, nullptr)))
                return failed();
            std::memcpy(data, in, bytes);
            buffer->Unlock();
            buffer->SetCurrentLength(bytes);
            sample->AddBuffer(buffer.get());
            if (FAILED(m_transform->ProcessInput(0, sample.get(), 0)))
                return failed();
            if (!drain(frames, out))
                return failed();
        }
        if (last && (FAILED(m_transform->ProcessMessage(MFT_MESSAGE_COMMAND_DRAIN, 0)) || !drain(4096, out)))
            return failed();
        return Status::success();
    }

private:
    bool drain(std::size_t frames, std::vector<float> &out)
    {
        const auto room = static_cast<DWORD>((static_cast<double>(frames) * m_ratio + 4096)
                                             * static_cast<double>(m_channels) * sizeof(float));
        for (;;) {
            ComPtr<IMFSample> sample;
            ComPtr<IMFMediaBuffer> buffer;
            if (FAILED(mf().createSample(sample.put())) || FAILED(mf().createMemoryBuffer(room, buffer.put()))
                || FAILED(sample->AddBuffer(buffer.get())))
                return false;
            MFT_OUTPUT_DATA_BUFFER output{};
            output.pSample = sample.get();
            DWORD status = 0;
            const HRESULT hr = m_transform->ProcessOutput(0, 1, &output, &status);
            if (output.pEvents)
                output.pEvents->Release();
            if (hr == MF_E_TRANSFORM_NEED_MORE_INPUT)
                return true;
            if (FAILED(hr) || !appendSamples(sample.get(), true, out))
                return false;
        }
    }

    MediaFoundation m_media;
    ComPtr<IMFTransform> m_transform;
    int m_channels = 1;
    double m_ratio = 1;
};

} // namespace

Result<std::unique_ptr<SoundDecoder>> openSystemDecoder(const std::string &path)
{
    // Ogg Vorbis first, which no decoder of Windows reads; an Ogg that is
    // no Vorbis (Opus) goes on to Media Foundation.
    const std::string kind = soundKind(path);
    if (kind == "Ogg Vorbis" || kind == "Ogg") {
        if (Result<std::unique_ptr<SoundDecoder>> vorbis = VorbisDecoder::open(path))
            return vorbis;
    }
    // A plain wave, as the game's own sounds are, through the system's RIFF
    // reader first: Media Foundation (as Wine has it) gives no sample of
    // one whose data chunk has an odd byte count.
    if (kind == "Wave" && isWaveFile(path))
        if (Result<std::unique_ptr<SoundDecoder>> plain = AcmDecoder::open(path))
            return plain;
    if (Result<std::unique_ptr<SoundDecoder>> decoded = MediaFoundationDecoder::open(path))
        return decoded;
    if (kind == "Wave")
        return AcmDecoder::open(path);
    return notASound();
}

Result<std::unique_ptr<Resampler>> Resampler::make(int fromRate, int toRate, int channels)
{
    return MediaFoundationResampler::make(fromRate, toRate, channels);
}

} // namespace vesk
