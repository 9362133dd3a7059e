#include "analysiscache.h"

#include "fileops.h"
#include "files.h"
#include "paths.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <vector>

namespace vesk {

namespace {

constexpr char kMagic[] = "VESK sound figures\n";
constexpr std::uint32_t kVersion = 1;
constexpr std::uint32_t kMostColumns = 2 * 4096, kLongestText = 64 * 1024;

class Writer
{
public:
    std::string bytes;
    template<class T>
    void number(T value)
    {
        char raw[sizeof(T)];
        std::memcpy(raw, &value, sizeof(T));
        bytes.append(raw, sizeof(T)); // little-endian on every system the programs run on
    }
    void text(const std::string &value)
    {
        number(static_cast<std::uint32_t>(value.size()));
        bytes += value;
    }
    void figure(const std::optional<double> &value)
    {
        number<std::uint8_t>(value ? 1 : 0);
        number(value.value_or(0.0));
    }
};

class Reader
{
public:
    explicit Reader(const std::string &bytes) : m_bytes(bytes) {}
    template<class T>
    bool number(T &value)
    {
        if (m_bytes.size() - m_at < sizeof(T))
            return false;
        std::memcpy(&value, m_bytes.data() + m_at, sizeof(T));
        m_at += sizeof(T);
        return true;
    }
    bool text(std::string &value)
    {
        std::uint32_t size = 0;
        if (!number(size) || size > kLongestText || m_bytes.size() - m_at < size)
            return false;
        value.assign(m_bytes, m_at, size);
        m_at += size;
        return true;
    }
    bool figure(std::optional<double> &value)
    {
        std::uint8_t has = 0;
        double read = 0;
        if (!number(has) || !number(read) || has > 1 || (has && !std::isfinite(read)))
            return false;
        value = has ? std::optional<double>(read) : std::nullopt;
        return true;
    }
    bool atEnd() const { return m_at == m_bytes.size(); }
    std::size_t left() const { return m_bytes.size() - m_at; }

private:
    const std::string &m_bytes;
    std::size_t m_at = 0;
};

// The picture at the width of a row's: what the cache keeps of it.
Waveform narrowed(const Waveform &waveform, std::uint64_t frames)
{
    if (waveform.columns.size() <= AnalysisCache::kPictureColumns || frames == 0)
        return waveform;
    Waveform narrow;
    narrow.framesPerColumn = (frames + AnalysisCache::kPictureColumns - 1) / AnalysisCache::kPictureColumns;
    narrow.columns = waveform.resample(
        0, frames, static_cast<std::size_t>((frames + narrow.framesPerColumn - 1) / narrow.framesPerColumn));
    return narrow;
}

} // namespace

AnalysisCache::AnalysisCache(std::string file, std::size_t limit) : m_file(std::move(file)), m_limit(limit) {}

std::string AnalysisCache::encode(const std::map<std::string, Entry> &entries)
{
    Writer out;
    out.bytes = kMagic;
    out.number(kVersion);
    out.number(static_cast<std::uint32_t>(entries.size()));
    for (const auto &[path, entry] : entries) {
        out.text(path);
        out.number(static_cast<std::uint64_t>(entry.size));
        out.number(entry.modified);
        out.number(entry.used);
        out.number<std::uint8_t>(entry.analysis.ok() ? 1 : 0);
        if (!entry.analysis.ok()) {
            out.number(static_cast<std::uint32_t>(entry.analysis.code()));
            out.text(entry.analysis.error());
            continue;
        }
        const SoundAnalysis &sound = *entry.analysis;
        out.text(sound.kind);
        out.number(static_cast<std::int32_t>(sound.format.rate));
        out.number(static_cast<std::int32_t>(sound.format.channels));
        out.number(static_cast<std::int32_t>(sound.format.bits));
        out.number(sound.frames);
        for (const std::optional<double> *figure : {&sound.loudness.integrated, &sound.loudness.momentaryMax,
                                                    &sound.loudness.samplePeak, &sound.loudness.truePeak})
            out.figure(*figure);
        out.number<std::uint8_t>(sound.loudness.shortSound ? 1 : 0);
        out.number(sound.waveform.framesPerColumn);
        out.number(static_cast<std::uint32_t>(sound.waveform.columns.size()));
        for (const Waveform::Column &column : sound.waveform.columns) {
            out.number(column.minimum);
            out.number(column.maximum);
            out.number(column.rms);
        }
    }
    return out.bytes;
}

std::optional<std::map<std::string, AnalysisCache::Entry>> AnalysisCache::decode(const std::string &bytes)
{
    const std::size_t magic = std::strlen(kMagic);
    if (bytes.compare(0, magic, kMagic) != 0)
        return std::nullopt;
    const std::string body = bytes.substr(magic);
    Reader in(body);
    std::uint32_t version = 0, count = 0;
    if (!in.number(version) || version != kVersion || !in.number(count) || count > in.left() / 16)
        return std::nullopt;
    std::map<std::string, Entry> entries;
    for (std::uint32_t i = 0; i < count; ++i) {
        std::string path;
        Entry entry;
        std::uint64_t size = 0;
        std::uint8_t ok = 0;
        if (!in.text(path) || !in.number(size) || !in.number(entry.modified) || !in.number(entry.used) || !in.number(ok)
            || ok > 1)
            return std::nullopt;
        entry.size = size;
        if (!ok) {
            std::uint32_t code = 0;
            std::string error;
            if (!in.number(code) || code == 0 || code > static_cast<std::uint32_t>(ErrorCode::Io) || !in.text(error)
                || error.empty())
                return std::nullopt;
            entry.analysis = Status::failure(static_cast<ErrorCode>(code), error);
            entries[path] = std::move(entry);
            continue;
        }
        SoundAnalysis sound;
        std::int32_t rate = 0, channels = 0, bits = 0;
        std::uint8_t shortSound = 0;
        std::uint32_t columns = 0;
        if (!in.text(sound.kind) || !in.number(rate) || !in.number(channels) || !in.number(bits)
            || !in.number(sound.frames) || !in.figure(sound.loudness.integrated)
            || !in.figure(sound.loudness.momentaryMax) || !in.figure(sound.loudness.samplePeak)
            || !in.figure(sound.loudness.truePeak) || !in.number(shortSound) || shortSound > 1
            || !in.number(sound.waveform.framesPerColumn) || sound.waveform.framesPerColumn == 0 || !in.number(columns)
            || columns > kMostColumns || columns > in.left() / 12 || rate < 1 || channels < 1 || bits < 0)
            return std::nullopt;
        sound.format = {rate, channels, bits};
        sound.loudness.shortSound = shortSound != 0;
        sound.waveform.columns.resize(columns);
        for (Waveform::Column &column : sound.waveform.columns) {
            if (!in.number(column.minimum) || !in.number(column.maximum) || !in.number(column.rms)
                || !std::isfinite(column.minimum) || !std::isfinite(column.maximum) || !std::isfinite(column.rms))
                return std::nullopt;
        }
        entry.analysis = std::move(sound);
        entries[path] = std::move(entry);
    }
    if (!in.atEnd())
        return std::nullopt;
    return entries;
}

bool AnalysisCache::load()
{
    const Result<std::string> bytes = readFile(m_file, m_limit + 1024 * 1024, Overflow::Refuse);
    std::optional<std::map<std::string, Entry>> entries = bytes ? decode(*bytes) : std::nullopt;
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_entries = entries ? std::move(*entries) : std::map<std::string, Entry>();
    m_clock = 0;
    for (const auto &entry : m_entries)
        m_clock = std::max(m_clock, entry.second.used);
    // A file left aside is written anew at the next save.
    m_changed = bytes.ok() && !entries;
    return entries.has_value();
}

std::optional<Result<SoundAnalysis>> AnalysisCache::find(const std::string &path)
{
    std::error_code ec;
    const FileStatus status = fileStatus(path, ec);
    if (ec)
        return std::nullopt;
    const std::lock_guard<std::mutex> lock(m_mutex);
    const auto found = m_entries.find(path);
    if (found == m_entries.end() || found->second.size != status.size || found->second.modified != status.modified)
        return std::nullopt;
    found->second.used = ++m_clock;
    return found->second.analysis;
}

void AnalysisCache::store(const std::string &path, const Result<SoundAnalysis> &analysis)
{
    // What was cut short says nothing of the file.
    if (!analysis && analysis.code() == ErrorCode::Cancelled)
        return;
    std::error_code ec;
    const FileStatus status = fileStatus(path, ec);
    if (ec)
        return;
    Entry entry;
    entry.size = status.size;
    entry.modified = status.modified;
    if (analysis) {
        SoundAnalysis narrow = *analysis;
        narrow.waveform = narrowed(analysis->waveform, analysis->frames);
        entry.analysis = std::move(narrow);
    } else {
        entry.analysis = analysis.status();
    }
    const std::lock_guard<std::mutex> lock(m_mutex);
    entry.used = ++m_clock;
    m_entries[path] = std::move(entry);
    m_changed = true;
}

std::size_t AnalysisCache::size() const
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    return m_entries.size();
}

AnalysisCache::~AnalysisCache()
{
    if (m_saving.valid())
        m_saving.wait();
}

Status AnalysisCache::save()
{
    if (m_saving.valid())
        m_saving.wait();
    return write();
}

void AnalysisCache::saveInBackground()
{
    // One save at a time, each after the one before, so that older figures
    // never land last.
    m_saving = std::async(std::launch::async, [this, before = std::move(m_saving)]() mutable {
        if (before.valid())
            before.wait();
        return write();
    });
}

Status AnalysisCache::write()
{
    std::string bytes;
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_changed)
            return Status::success();
        bytes = encode(m_entries);
        // Over the bound, the figures used longest ago go, in steps that
        // leave room below it.
        while (bytes.size() > m_limit && !m_entries.empty()) {
            std::vector<std::pair<std::uint64_t, std::string>> byUse;
            for (const auto &[path, entry] : m_entries)
                byUse.emplace_back(entry.used, path);
            std::sort(byUse.begin(), byUse.end());
            const double keep = 0.75 * static_cast<double>(m_limit) / static_cast<double>(bytes.size());
            const auto drop = static_cast<std::size_t>(static_cast<double>(byUse.size()) * (1 - keep)) + 1;
            for (std::size_t i = 0; i < drop && i < byUse.size(); ++i)
                m_entries.erase(byUse[i].second);
            bytes = encode(m_entries);
        }
        m_changed = false;
    }
    std::error_code ec;
    std::filesystem::create_directories(fsPath(m_file).parent_path(), ec);
    return writeFileAtomically(m_file, bytes);
}

SoundAnalyses::Analyse AnalysisCache::analyse()
{
    return [this](const std::string &path, const std::function<bool()> &keepGoing) -> Result<SoundAnalysis> {
        if (std::optional<Result<SoundAnalysis>> kept = find(path))
            return std::move(*kept);
        Result<SoundAnalysis> measured = analyseSound(path, keepGoing);
        store(path, measured);
        return measured;
    };
}

} // namespace vesk
