#include "installerwindow.h"

#include "gamebackup.h"
#include "installbatch.h"
#include "listen.h"
#include "packagesource.h"
#include "packagesums.h"
#include "paths.h"
#include "textfile.h"
#include "themefiles.h"

#include <algorithm>

namespace vpak {

using vesk::Kind;

const std::vector<vesk::ControlRow> &installerControls()
{
    static const std::vector<vesk::ControlRow> controls = {
        {Kind::Label, "Label7", nullptr, 120, 0, 6375, 495, "Label1"},
        {Kind::Label, "Label4", nullptr, 120, 720, 4575, 255, "Created By:"},
        {Kind::Label, "Label1", nullptr, 120, 960, 6375, 495, "Label1"},
        {Kind::Label, "Label5", nullptr, 120, 1560, 495, 255, "Email:"},
        {Kind::Label, "Label2", nullptr, 120, 1800, 6375, 495, "Label1"},
        {Kind::Label, "Label6", nullptr, 120, 2280, 1095, 255, "Webpage:"},
        {Kind::Label, "Label3", nullptr, 120, 2520, 6375, 495, "Label1"},
        {Kind::Label, "Label8", nullptr, 120, 3120, 1455, 255, "Kestrova Directory"},
        {Kind::DriveList, "Drive1", nullptr, 0, 3360, 4335, 315, nullptr},
        {Kind::TextBox, "dirname1", nullptr, 4440, 3360, 2055, 285, ""},
        {Kind::DirList, "Dir1", nullptr, 0, 3720, 4335, 1890, nullptr},
        {Kind::Button, "Command1", nullptr, 4440, 3720, 2055, 375, "Make Directory"},
        {Kind::Button, "Command2", nullptr, 4440, 5040, 2055, 375, "Install Theme"},
        {Kind::Button, "Command4", nullptr, 4440, 4560, 2055, 375, "Restore Original Sounds"},
        {Kind::Button, "Command3", nullptr, 4440, 5520, 2055, 375, "Cancel"},
        {Kind::TextBox, "filepath1", nullptr, 0, 5640, 4335, 285, ""},
        // Between Make Directory and Restore, clear of the theme's texts.
        {Kind::Button, "listenButton", nullptr, 4440, 4140, 2055, 375, kListenButton},
    };
    return controls;
}

int controlId(const char *name)
{
    return vesk::rowControlId(installerControls(), name);
}

const std::vector<const char *> &installerFocusOrder()
{
    static const std::vector<const char *> order
        = {"Drive1", "Dir1", "filepath1", "dirname1", "Command1", "listenButton", "Command4", "Command2", "Command3"};
    return order;
}

ThemeLook themeLook(const vesk::ThemeReading &reading)
{
    using vesk::ThemeReading;
    ThemeLook look;
    const vesk::ThemeDescription &theme = reading.theme;
    if (reading.fieldsRead >= 1)
        look.name = theme.name;
    if (reading.fieldsRead >= 2)
        look.email = theme.email;
    if (reading.fieldsRead >= 3)
        look.webpage = theme.webpage;
    if (reading.fieldsRead < ThemeReading::kFontLine)
        return look;
    look.fontSize = std::clamp(*reading.fontSize, kSmallestFont, kLargestFont);
    if (reading.fieldsRead < ThemeReading::kFontColourLine)
        return look;
    look.captionColour = vesk::colourByName(theme.fontcolor, vesk::ColourNames::Seven);
    look.accentColour = vesk::colourByName(theme.fontcolor, vesk::ColourNames::Ten);
    if (reading.fieldsRead < ThemeReading::kBackgroundLine)
        return look;
    look.background = vesk::colourByName(theme.bgcolor, vesk::ColourNames::Ten);
    if (reading.fieldsRead >= ThemeReading::kThemeNameLine)
        look.themename = theme.themename;
    return look;
}

namespace {

// Names for a message box: a package of thousands of files names the first
// few, so that the box still fits the screen.
std::string listed(const std::vector<std::string> &names)
{
    constexpr size_t kShown = 10;
    std::string text;
    for (size_t i = 0; i < names.size() && i < kShown; ++i)
        text += (text.empty() ? "" : ", ") + names[i];
    if (names.size() > kShown)
        text += " and " + std::to_string(names.size() - kShown) + " more";
    return text;
}

// A package from a stranger may carry programs beside its sounds, which the
// game directory would then run or load: those are refused outright, as is
// anything that is no plain file (a link would bring in whatever it points
// at); any other file that is no theme file is named in a question first.
bool packageIsOnlyATheme(const std::string &packageDirectory, InstallerUi &ui)
{
    const vesk::PackageContents contents = vesk::inspectPackage(packageDirectory);
    if (!contents.notFiles.empty()) {
        ui.message("This package holds entries that are not plain files, such as links to files elsewhere: "
                   + listed(contents.notFiles) + ". It will not be installed.");
        return false;
    }
    if (!contents.programs.empty()) {
        ui.message("This package holds program files, which a theme never needs and which could harm your computer: "
                   + listed(contents.programs) + ". It will not be installed.");
        return false;
    }
    return contents.others.empty()
           || ui.ask("This package also holds files that are not theme sounds: " + listed(contents.others)
                     + ". They will be copied into the game directory. Install anyway?");
}

} // namespace

bool install(const std::string &packageDirectory, const std::string &target, InstallerUi &ui)
{
    const auto refuse = [&ui](const vesk::Status &why) {
        ui.message(vesk::sentence(why.error()));
        return false;
    };
    vesk::Status step = checkTarget(target, packageDirectory);
    if (!step.ok())
        return refuse(step);
    // The batch works in the package folder and copies into the target, by
    // paths the command interpreter takes.
    const vesk::Result<std::string> batchFolder = vesk::shortPath(packageDirectory);
    if (!batchFolder)
        return refuse(batchFolder.status());
    const vesk::Result<std::string> batchTarget = vesk::shortPath(target);
    if (!batchTarget)
        return refuse(batchTarget.status());
    step = vesk::checkCommandInterpreterPath(vesk::joinPath(*batchFolder, vesk::kInstallBatch));
    if (!step.ok())
        return refuse(step);
    const std::vector<std::string> packageNames = vesk::namesIn(packageDirectory);
    for (const std::string &name : packageNames) {
        for (const std::string *directory : {&*batchFolder, &*batchTarget}) {
            step = vesk::checkCommandInterpreterPath(vesk::joinPath(*directory, name));
            if (!step.ok())
                return refuse(step);
        }
    }
    step = vesk::probeWritable(target);
    if (!step.ok()) {
        if (step.code() == vesk::ErrorCode::Permission && vesk::isUnderProgramFiles(target))
            return refuse(
                vesk::Status::failure(step.error() + "; to install there, start install.exe as administrator"));
        return refuse(step);
    }
    if (!packageIsOnlyATheme(packageDirectory, ui))
        return false;
    // A package that is not the one its maker built (a file altered or lost
    // on the way) is refused before anything changes.
    step = vesk::checkPackageSums(packageDirectory, *ui.startProgress(kInstallTitle));
    if (step.code() == vesk::ErrorCode::Cancelled)
        return false;
    if (step.code() == vesk::ErrorCode::BadFormat || step.code() == vesk::ErrorCode::NotFound) {
        ui.message(damagedMessage("The theme package", step.error()));
        return false;
    }
    if (!step.ok())
        return refuse(step);
    if (!vesk::holdsGameSounds(target) && !ui.ask(vesk::notAGameDirectoryQuestion(target)))
        return false;

    // Every file the batch will write is moved aside first: the batch's copy
    // writes into an existing file in place, which would also change the
    // backup's link to it. A game file spelled otherwise than in the package
    // ("BOMB1.WA2" for "bomb1.wa2") leaves an empty file of its own spelling
    // behind, which the copy fills: it keeps its name.
    const std::vector<std::string> touched = filesTheInstallTouches(packageDirectory, target);
    const vesk::Result<vesk::BackupRecord> record = vesk::recordBeforeReplacing(target, touched);
    if (!record)
        return refuse(record.status());
    vesk::ReplaceJournal journal(target);
    // Before the batch ran the player need only hear what failed; after it,
    // also that the game directory is as it was, or which files are not.
    bool batchRan = false;
    // An empty `why` is a cancel, which puts back without a word.
    const auto fail = [&](const std::string &why) {
        const vesk::Status back = vesk::putBack(journal, *record);
        if (!back.ok())
            ui.message((why.empty() ? "The install was cancelled." : why) + " " + vesk::sentence(back.error()));
        else if (!why.empty())
            ui.message(batchRan ? why + " The game directory was put back as it was." : why);
        return false;
    };
    std::unique_ptr<vesk::Progress> progress = ui.startProgress(kInstallTitle);
    for (size_t i = 0; i < touched.size(); ++i) {
        const std::string path = vesk::joinPath(target, touched[i]);
        if (!progress->advance(path, static_cast<double>(i) / static_cast<double>(touched.size()))) {
            progress.reset();
            return fail(std::string());
        }
        const bool spelledOtherwise = vesk::entryKind(path) != vesk::EntryKind::Missing
                                      && !std::binary_search(packageNames.begin(), packageNames.end(), touched[i]);
        step = journal.moveAside(touched[i]);
        if (step.ok() && spelledOtherwise)
            step = vesk::writeTextFile(path, {});
        if (!step.ok()) {
            progress.reset();
            return fail(vesk::sentence(step.error()));
        }
    }
    progress.reset();

    const std::string batch = vesk::joinPath(packageDirectory, vesk::kInstallBatch);
    step = writeBatchFile(batch, *batchTarget);
    if (step.ok())
        step = setBatchTarget(*batchTarget);
    if (!step.ok())
        return fail(vesk::sentence(step.error()));
    const vesk::Result<InstallerUi::BatchEnd> ran = ui.runBatch(batch, *batchFolder, kInstallTimeLimit);
    if (!ran)
        return fail(vesk::sentence(ran.error()));
    batchRan = true;
    if (*ran == InstallerUi::BatchEnd::StillRunning) {
        // Nothing can be checked or put back while the batch may still write,
        // and no second install or Restore may start under it.
        ui.message("The install into " + target + " is still running after "
                   + std::to_string(std::chrono::duration_cast<std::chrono::seconds>(kInstallTimeLimit).count())
                   + " seconds. It will be checked when it has ended.");
        ui.waitForBatchEnd();
    }
    progress = ui.startProgress(kInstallTitle);
    step = checkInstalled(packageDirectory, target, *progress);
    progress.reset();
    if (step.code() == vesk::ErrorCode::Cancelled)
        return fail("The install was cancelled before its files were checked.");
    if (!step.ok())
        return fail("The theme was not installed completely: " + step.error() + ".");
    journal.commit();
    ui.message("Install Completed");
    return true;
}

void restore(const std::string &target, InstallerUi &ui)
{
    if (!ui.ask("Put the game's own sounds back into " + target + " and remove every file a theme added there?"))
        return;
    const vesk::Result<vesk::RestoreCount> restored = vesk::restoreOriginals(target);
    ui.message(restored ? vesk::restoreSummary(*restored) : vesk::sentence(restored.error()));
}

} // namespace vpak
