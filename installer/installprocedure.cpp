#include "installprocedure.h"

#include "files.h"
#include "gamebackup.h"
#include "installbatch.h"
#include "packagesource.h"
#include "packagesums.h"
#include "paths.h"
#include "themefiles.h"

#include <algorithm>
#include <vector>

namespace vpak {

namespace {

// Programs and entries that are no plain files are refused outright (see
// refusedContents); any other file that is no theme file is named in a
// question first.
bool packageIsOnlyATheme(const std::string &packageDirectory, InstallerUi &ui)
{
    const vesk::PackageContents contents = vesk::inspectPackage(packageDirectory);
    if (const std::optional<std::string> refused = vesk::refusedContents(contents, "installed")) {
        ui.message(*refused);
        return false;
    }
    return contents.others.empty()
           || ui.ask("This package also holds files that are not theme sounds: " + vesk::listedNames(contents.others)
                     + ". They will be copied into the game directory. Install anyway?");
}

// The folders the batch works in and copies into, by paths the command
// interpreter takes, and every file name it will meet there.
struct BatchPaths
{
    std::string folder, target;
    std::vector<std::string> packageNames;
};

vesk::Result<BatchPaths> batchPaths(const std::string &packageDirectory, const std::string &target)
{
    vesk::Result<std::string> folder = vesk::shortPath(packageDirectory);
    if (!folder)
        return folder.status();
    vesk::Result<std::string> shortTarget = vesk::shortPath(target);
    if (!shortTarget)
        return shortTarget.status();
    vesk::Status step = vesk::checkCommandInterpreterPath(vesk::joinPath(*folder, vesk::kInstallBatch));
    BatchPaths paths{std::move(*folder), std::move(*shortTarget), vesk::namesIn(packageDirectory)};
    for (const std::string &name : paths.packageNames) {
        for (const std::string *directory : {&paths.folder, &paths.target}) {
            if (step.ok())
                step = vesk::checkCommandInterpreterPath(vesk::joinPath(*directory, name));
        }
    }
    if (!step.ok())
        return step;
    return paths;
}

vesk::Status checkWritable(const std::string &target)
{
    const vesk::Status step = vesk::probeWritable(target);
    if (step.code() == vesk::ErrorCode::Permission && vesk::isUnderProgramFiles(target))
        return vesk::Status::failure(step.error() + "; to install there, start install.exe as administrator");
    return step;
}

// What is checked before anything changes: a package that holds only a
// theme, one that is what its maker built (no file altered or lost on the
// way), and a target the player means. False once the player has been told
// why not, or has said no.
bool packageMayBeInstalled(const std::string &packageDirectory, const std::string &target, InstallerUi &ui)
{
    if (!packageIsOnlyATheme(packageDirectory, ui))
        return false;
    const vesk::Status step = vesk::checkPackageSums(packageDirectory, *ui.startProgress(kInstallTitle));
    if (step.code() == vesk::ErrorCode::Cancelled)
        return false;
    if (step.code() == vesk::ErrorCode::BadFormat || step.code() == vesk::ErrorCode::NotFound) {
        ui.message(damagedMessage("The theme package", step.error()));
        return false;
    }
    if (!step.ok()) {
        ui.message(vesk::sentence(step.error()));
        return false;
    }
    return vesk::holdsGameSounds(target) || ui.ask(vesk::notAGameDirectoryQuestion(target));
}

// Every file the batch will write is moved aside first: the batch's copy
// writes into an existing file in place, which would also change the
// backup's link to it. A game file spelled otherwise than in the package
// ("BOMB1.WA2" for "bomb1.wa2") leaves an empty file of its own spelling
// behind, which the copy fills: it keeps its name.
vesk::Status moveAside(vesk::ReplaceJournal &journal, const std::string &target,
                       const std::vector<std::string> &touched, const std::vector<std::string> &packageNames,
                       InstallerUi &ui)
{
    const std::unique_ptr<vesk::Progress> progress = ui.startProgress(kInstallTitle);
    for (size_t i = 0; i < touched.size(); ++i) {
        const std::string path = vesk::joinPath(target, touched[i]);
        if (!progress->advance(path, static_cast<double>(i) / static_cast<double>(touched.size())))
            return vesk::Status::failure(vesk::ErrorCode::Cancelled, "cancelled");
        const bool spelledOtherwise = vesk::entryKind(path) != vesk::EntryKind::Missing
                                      && !std::binary_search(packageNames.begin(), packageNames.end(), touched[i]);
        vesk::Status step = journal.moveAside(touched[i]);
        if (step.ok() && spelledOtherwise)
            step = vesk::writeTextFile(path, {});
        if (!step.ok())
            return step;
    }
    return vesk::Status::success();
}

// 1.bat written and run to its end, however long it takes: nothing can be
// checked or put back while it may still write, and no second install or
// Restore may start under it.
vesk::Status runInstallBatch(const std::string &packageDirectory, const std::string &target, const BatchPaths &paths,
                             InstallerUi &ui)
{
    const std::string batch = vesk::joinPath(packageDirectory, vesk::kInstallBatch);
    vesk::Status step = writeBatchFile(batch, paths.target);
    if (step.ok())
        step = setBatchTarget(paths.target);
    if (!step.ok())
        return step;
    const vesk::Result<InstallerUi::BatchEnd> ran = ui.runBatch(batch, paths.folder, kInstallTimeLimit);
    if (!ran)
        return ran.status();
    if (*ran == InstallerUi::BatchEnd::StillRunning) {
        ui.message("The install into " + target + " is still running after "
                   + std::to_string(std::chrono::duration_cast<std::chrono::seconds>(kInstallTimeLimit).count())
                   + " seconds. It will be checked when it has ended.");
        ui.waitForBatchEnd();
    }
    return vesk::Status::success();
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
    const vesk::Result<BatchPaths> paths = batchPaths(packageDirectory, target);
    if (!paths)
        return refuse(paths.status());
    step = checkWritable(target);
    if (!step.ok())
        return refuse(step);
    if (!packageMayBeInstalled(packageDirectory, target, ui))
        return false;

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
    step = moveAside(journal, target, touched, paths->packageNames, ui);
    if (step.code() == vesk::ErrorCode::Cancelled)
        return fail(std::string());
    if (!step.ok())
        return fail(vesk::sentence(step.error()));
    step = runInstallBatch(packageDirectory, target, *paths, ui);
    if (!step.ok())
        return fail(vesk::sentence(step.error()));
    batchRan = true;

    step = checkInstalled(packageDirectory, target, *ui.startProgress(kInstallTitle));
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
    if (!ui.ask(vesk::restoreQuestion(target)))
        return;
    const vesk::Result<vesk::RestoreCount> restored = vesk::restoreOriginals(target);
    ui.message(restored ? vesk::restoreSummary(*restored) : vesk::sentence(restored.error()));
}

} // namespace vpak
