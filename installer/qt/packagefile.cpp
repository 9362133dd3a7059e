#include "packagefile.h"

#include "dialogs.h"
#include "installerlayout.h"
#include "localtext.h"
#include "progresswindow.h"

#include <iostream>

std::optional<vpak::PackageSource> openPackageFile(const std::string &file, platform::Dialogs &dialogs)
{
    vesk::Result<vpak::PackageSource> opened = [&] {
        platform::ProgressWindow progress(nullptr, QString::fromLatin1(vpak::kWindowCaption),
                                          platform::fromLocal(vpak::checkingText(file)));
        return vpak::PackageSource::open(file, std::nullopt, progress);
    }();
    if (!opened) {
        if (opened.code() != vesk::ErrorCode::Cancelled) {
            std::cerr << "vpak: " << opened.error() << '\n';
            dialogs.message(nullptr, platform::fromLocal(opened.error()), QString::fromLatin1(vpak::kMessageCaption));
        }
        return std::nullopt;
    }
    return std::optional<vpak::PackageSource>(std::move(*opened));
}
