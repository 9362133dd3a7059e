#include "wavewriter.h"

#include "files.h"
#include "paths.h"

#include <cerrno>
#include <cstring>

namespace vesk {

namespace {

constexpr std::uint32_t kHeaderSize = 44;
// The RIFF sizes are 32 bits.
constexpr std::uint64_t kMostData = 0xFFFFFFFFull - kHeaderSize;

void put(unsigned char *at, std::uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        at[i] = static_cast<unsigned char>(value >> (8 * i));
}

void header(unsigned char (&bytes)[kHeaderSize], const SoundFormat &format, std::uint32_t dataBytes)
{
    const auto block = static_cast<std::uint32_t>(format.channels * 2);
    std::memcpy(bytes, "RIFF", 4);
    put(bytes + 4, kHeaderSize - 8 + dataBytes, 4);
    std::memcpy(bytes + 8, "WAVEfmt ", 8);
    put(bytes + 16, 16, 4);
    put(bytes + 20, 1, 2); // PCM
    put(bytes + 22, static_cast<std::uint32_t>(format.channels), 2);
    put(bytes + 24, static_cast<std::uint32_t>(format.rate), 4);
    put(bytes + 28, static_cast<std::uint32_t>(format.rate) * block, 4);
    put(bytes + 32, block, 2);
    put(bytes + 34, 16, 2);
    std::memcpy(bytes + 36, "data", 4);
    put(bytes + 40, dataBytes, 4);
}

} // namespace

WaveWriter::WaveWriter(std::string path, SoundFormat format) : m_path(std::move(path)), m_format(format)
{
    m_format.bits = 16;
    (void)open();
}

WaveWriter::~WaveWriter()
{
    if (m_file)
        std::fclose(m_file);
}

Status WaveWriter::open()
{
    m_bytes = 0;
    m_file = openFile(m_path, "wb");
    if (!m_file)
        return failed(errno);
    unsigned char bytes[kHeaderSize];
    header(bytes, m_format, 0);
    if (std::fwrite(bytes, 1, sizeof bytes, m_file) != sizeof bytes)
        return failed(errno);
    return Status::success();
}

Status WaveWriter::failed(int error)
{
    if (!m_error)
        m_error = error ? error : EIO;
    return status();
}

Status WaveWriter::status() const
{
    if (!m_error)
        return Status::success();
    if (m_error == EFBIG)
        return Status::failure(ErrorCode::TooLarge, "the sound is too long for a wave file");
    return Status::failure(codeFromErrno(m_error), reasonFromErrno(m_error));
}

Status WaveWriter::write(const std::int16_t *samples, std::size_t count)
{
    if (m_error)
        return status();
    if (count == 0) // a block the end cut left empty
        return Status::success();
    if (m_bytes + count * 2 > kMostData)
        return failed(EFBIG);
    m_buffer.resize(count * 2);
    for (std::size_t i = 0; i < count; ++i)
        put(m_buffer.data() + 2 * i, static_cast<std::uint16_t>(samples[i]), 2);
    if (std::fwrite(m_buffer.data(), 1, m_buffer.size(), m_file) != m_buffer.size())
        return failed(errno);
    m_bytes += count * 2;
    return Status::success();
}

Status WaveWriter::restart()
{
    if (m_error)
        return status();
    std::fclose(m_file);
    return open();
}

Status WaveWriter::finish()
{
    if (m_error)
        return status();
    unsigned char bytes[kHeaderSize];
    header(bytes, m_format, static_cast<std::uint32_t>(m_bytes));
    if (std::fseek(m_file, 0, SEEK_SET) != 0 || std::fwrite(bytes, 1, sizeof bytes, m_file) != sizeof bytes)
        return failed(errno);
    std::FILE *file = m_file;
    m_file = nullptr;
    // A full disk may show only when the file is closed.
    if (std::fclose(file) != 0)
        return failed(errno);
    return Status::success();
}

} // namespace vesk
