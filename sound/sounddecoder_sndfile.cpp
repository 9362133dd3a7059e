// The decoders of Linux: libsndfile reads every kind of wave, AIFF, FLAC,
// Ogg Vorbis, Opus and MP3; libsoxr converts the sample rate.
#include "sounddecoder.h"

#include <sndfile.h>
#include <soxr.h>

#include <cstdio>
#include <memory>

namespace vesk {

namespace {

// Bits of resolution a libsndfile subformat decodes to; 0 for floating
// point and the lossy kinds.
int bitsOf(int format)
{
    switch (format & SF_FORMAT_SUBMASK) {
    case SF_FORMAT_PCM_S8:
    case SF_FORMAT_PCM_U8:
        return 8;
    case SF_FORMAT_PCM_16:
    // These decode to 16-bit values exactly.
    case SF_FORMAT_ULAW:
    case SF_FORMAT_ALAW:
    case SF_FORMAT_IMA_ADPCM:
    case SF_FORMAT_MS_ADPCM:
    case SF_FORMAT_GSM610:
    case SF_FORMAT_G721_32:
    case SF_FORMAT_G723_24:
    case SF_FORMAT_G723_40:
    case SF_FORMAT_DWVW_12:
    case SF_FORMAT_DWVW_16:
    case SF_FORMAT_DPCM_8:
    case SF_FORMAT_DPCM_16:
    case SF_FORMAT_NMS_ADPCM_16:
    case SF_FORMAT_NMS_ADPCM_24:
    case SF_FORMAT_NMS_ADPCM_32:
    case SF_FORMAT_VOX_ADPCM:
        return 16;
    case SF_FORMAT_PCM_24:
    case SF_FORMAT_DWVW_24:
        return 24;
    case SF_FORMAT_PCM_32:
        return 32;
    default:
        return 0;
    }
}

// The file libsndfile reads through a buffer of ours. Its own reading goes
// to the system for every few bytes (an MP3's frame header, then its body),
// which costs more than the decoding on a folder of short sounds.
struct BufferedFile
{
    static constexpr std::size_t kBuffer = 64 * 1024;

    std::FILE *file = nullptr;
    sf_count_t length = 0;
    std::unique_ptr<char[]> buffer{new char[kBuffer]};

    ~BufferedFile()
    {
        if (file)
            std::fclose(file);
    }

    static sf_count_t lengthOf(void *data) { return static_cast<BufferedFile *>(data)->length; }
    static sf_count_t seek(sf_count_t offset, int whence, void *data)
    {
        std::FILE *file = static_cast<BufferedFile *>(data)->file;
        return fseeko(file, offset, whence) == 0 ? ftello(file) : -1;
    }
    static sf_count_t read(void *into, sf_count_t count, void *data)
    {
        return static_cast<sf_count_t>(
            std::fread(into, 1, static_cast<std::size_t>(count), static_cast<BufferedFile *>(data)->file));
    }
    static sf_count_t write(const void *, sf_count_t, void *) { return 0; }
    static sf_count_t tell(void *data) { return ftello(static_cast<BufferedFile *>(data)->file); }
};

SF_VIRTUAL_IO bufferedIo{&BufferedFile::lengthOf, &BufferedFile::seek, &BufferedFile::read, &BufferedFile::write,
                         &BufferedFile::tell};

class SndfileDecoder final : public SoundDecoder
{
public:
    SndfileDecoder(std::unique_ptr<BufferedFile> source, SNDFILE *file, const SF_INFO &info)
        : m_source(std::move(source)), m_file(file), m_info(info)
    {}
    ~SndfileDecoder() override { sf_close(m_file); }
    SndfileDecoder(const SndfileDecoder &) = delete;
    SndfileDecoder &operator=(const SndfileDecoder &) = delete;

    SoundFormat format() const override { return {m_info.samplerate, m_info.channels, bitsOf(m_info.format)}; }
    std::uint64_t frames() const override
    {
        return m_info.frames > 0 && m_info.frames != SF_COUNT_MAX ? static_cast<std::uint64_t>(m_info.frames) : 0;
    }
    Result<std::size_t> read(float *samples, std::size_t frames) override
    {
        const sf_count_t got = sf_readf_float(m_file, samples, static_cast<sf_count_t>(frames));
        if (got < 0 || (got == 0 && sf_error(m_file) != SF_ERR_NO_ERROR))
            return Status::failure(ErrorCode::BadFormat, "damaged");
        return static_cast<std::size_t>(got);
    }

private:
    std::unique_ptr<BufferedFile> m_source; // outlives m_file
    SNDFILE *m_file;
    SF_INFO m_info;
};

class SoxrResampler final : public Resampler
{
public:
    SoxrResampler(soxr_t soxr, double ratio, int channels) : m_soxr(soxr), m_ratio(ratio), m_channels(channels) {}
    ~SoxrResampler() override { soxr_delete(m_soxr); }
    SoxrResampler(const SoxrResampler &) = delete;
    SoxrResampler &operator=(const SoxrResampler &) = delete;

    Status process(const float *in, std::size_t frames, bool last, std::vector<float> &out) override
    {
        const auto width = static_cast<std::size_t>(m_channels);
        // Room for what this input gives, and for the filter's tail.
        const std::size_t room = static_cast<std::size_t>(static_cast<double>(frames) * m_ratio) + 4096;
        const auto step = [&](const float *from, std::size_t count, std::size_t &used) {
            const std::size_t at = out.size();
            out.resize(at + room * width);
            std::size_t made = 0;
            const soxr_error_t error = soxr_process(m_soxr, from, count, &used, out.data() + at, room, &made);
            out.resize(at + made * width);
            if (error)
                return Result<std::size_t>(
                    Status::failure(ErrorCode::Io, std::string("cannot convert the sample rate: ") + error));
            return Result<std::size_t>(made);
        };
        for (std::size_t taken = 0; taken < frames;) {
            std::size_t used = 0;
            const Result<std::size_t> made = step(in + taken * width, frames - taken, used);
            if (!made)
                return made.status();
            if (used == 0 && *made == 0)
                return Status::failure(ErrorCode::Io, "cannot convert the sample rate: the converter stalled");
            taken += used;
        }
        // No input says the stream has ended; the filter's tail follows
        // until nothing is left.
        for (std::size_t used = 0; last;) {
            const Result<std::size_t> made = step(nullptr, 0, used);
            if (!made)
                return made.status();
            if (*made == 0)
                break;
        }
        return Status::success();
    }

private:
    soxr_t m_soxr;
    double m_ratio;
    int m_channels;
};

} // namespace

Result<std::unique_ptr<SoundDecoder>> openSystemDecoder(const std::string &path)
{
    auto source = std::make_unique<BufferedFile>();
    source->file = std::fopen(path.c_str(), "rb");
    if (!source->file || std::setvbuf(source->file, source->buffer.get(), _IOFBF, BufferedFile::kBuffer) != 0
        || fseeko(source->file, 0, SEEK_END) != 0 || (source->length = ftello(source->file)) < 0
        || fseeko(source->file, 0, SEEK_SET) != 0)
        return Status::failure(ErrorCode::BadFormat, "not a sound file");
    SF_INFO info{};
    SNDFILE *file = sf_open_virtual(&bufferedIo, SFM_READ, &info, source.get());
    if (!file)
        return Status::failure(ErrorCode::BadFormat, "not a sound file");
    if (info.channels < 1 || info.samplerate < 1) {
        sf_close(file);
        return Status::failure(ErrorCode::BadFormat, "not a sound file");
    }
    // Floating-point samples come as they are, beyond full scale too, so
    // that the conversion can scale a loud source down instead of clipping.
    sf_command(file, SFC_SET_NORM_FLOAT, nullptr, SF_TRUE);
    return std::unique_ptr<SoundDecoder>(std::make_unique<SndfileDecoder>(std::move(source), file, info));
}

Result<std::unique_ptr<Resampler>> Resampler::make(int fromRate, int toRate, int channels)
{
    soxr_error_t error = nullptr;
    const soxr_io_spec_t io = soxr_io_spec(SOXR_FLOAT32_I, SOXR_FLOAT32_I);
    const soxr_quality_spec_t quality = soxr_quality_spec(SOXR_HQ, 0);
    // One thread per stream: the sounds of a theme are converted side by side.
    const soxr_runtime_spec_t runtime = soxr_runtime_spec(1);
    soxr_t soxr = soxr_create(fromRate, toRate, static_cast<unsigned>(channels), &error, &io, &quality, &runtime);
    if (!soxr || error)
        return Status::failure(ErrorCode::Io,
                               std::string("cannot convert the sample rate: ") + (error ? error : "no converter"));
    return std::unique_ptr<Resampler>(
        std::make_unique<SoxrResampler>(soxr, static_cast<double>(toRate) / fromRate, channels));
}

} // namespace vesk
