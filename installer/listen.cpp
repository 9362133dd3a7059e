#include "listen.h"

#include "displaytext.h"
#include "packagesource.h"
#include "packagesums.h"
#include "paths.h"
#include "slotcatalogue.h"
#include "themefiles.h"
#include "wavecheck.h"

namespace vpak {

const std::vector<vesk::ControlRow> &listenControls()
{
    return vesk::rowsOf<kListenControls>();
}

std::vector<PackageSound> packageSounds(const std::string &packageDirectory)
{
    const std::vector<std::string> names = vesk::namesIn(packageDirectory);
    std::vector<PackageSound> sounds;
    for (int k = 1; k <= vesk::kSlotCount; ++k) {
        if (const std::string *name = vesk::spellingAmong(names, vesk::slotInfo(k).gameFile)) {
            const std::string file = vesk::joinPath(packageDirectory, *name);
            sounds.push_back({k, file, vesk::waveSeconds(file)});
        }
    }
    return sounds;
}

std::string listenRow(const PackageSound &sound)
{
    return vesk::slotName(sound.slot) + (sound.seconds ? " (" + vesk::lengthText(*sound.seconds) + ")" : "");
}

std::optional<std::string> listenRefusal(const std::string &packageDirectory, vesk::Progress &progress, bool &cancelled)
{
    cancelled = false;
    const vesk::Status checked = vesk::checkPackageSums(packageDirectory, progress);
    if (checked.ok())
        return std::nullopt;
    if (checked.code() == vesk::ErrorCode::Cancelled) {
        cancelled = true;
        return std::nullopt;
    }
    if (checked.code() == vesk::ErrorCode::BadFormat || checked.code() == vesk::ErrorCode::NotFound)
        return damagedMessage("The theme package", checked.error());
    return vesk::sentence(checked.error());
}

} // namespace vpak
