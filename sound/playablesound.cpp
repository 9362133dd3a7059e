#include "playablesound.h"

#include "fileops.h"
#include "files.h"
#include "paths.h"
#include "soundconvert.h"
#include "wavecheck.h"

namespace vesk {

PlayableSounds::~PlayableSounds()
{
    if (m_folder.empty())
        return;
    std::error_code ignored;
    removeTree(m_folder, ignored);
}

Result<std::string> PlayableSounds::playable(const std::string &path, const SoundEdit &edit)
{
    if (edit.empty() && !waveProblem(path))
        return path;
    std::error_code ec;
    const FileStatus status = fileStatus(path, ec);
    const std::int64_t time = status.modified;
    const std::uintmax_t size = status.size;
    if (!ec && path == m_source && edit == m_edit && time == m_time && size == m_size)
        return m_converted;
    if (m_folder.empty()) {
        Result<std::string> folder = makePrivateFolder("vesk-play-");
        if (!folder)
            return folder.status();
        m_folder = std::move(folder).value();
    }
    // A new name each time: the system may still hold the last one open
    // while it plays.
    Result<std::string> target = createUniqueFile(m_folder, "play");
    if (!target)
        return target.status();
    const Result<Conversion> converted = convertSound(path, *target, edit);
    if (!converted) {
        removeEntry(*target, ec);
        return converted.status();
    }
    if (!m_converted.empty())
        removeEntry(m_converted, ec);
    m_source = path;
    m_edit = edit;
    m_time = time;
    m_size = size;
    m_converted = std::move(target).value();
    return m_converted;
}

} // namespace vesk
