#include "editorprocedures.h"

#include "applytheme.h"
#include "displaytext.h"
#include "files.h"
#include "gamebackup.h"
#include "loudnessmatch.h"
#include "openpackage.h"
#include "paths.h"
#include "projectfile.h"
#include "settingsfile.h"
#include "soundbrowser.h"
#include "soundplan.h"
#include "texttools.h"
#include "themefiles.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>

namespace vesk {

namespace {

// The most characters of a path in a line of a long report, which then fits
// the screen whatever the paths: 47 such lines of at most some 140
// characters, under 1,000 pixels wide in the message font.
constexpr std::size_t kReportPathLength = 60;

void report(EditorUi &ui, const std::string &failure)
{
    ui.message(sentence(failure), false);
}

// Saving and applying walk the links by selecting each in turn; what stays
// visible afterwards is the last link, selected and shown in the boxes, even
// when it was selected before and the boxes were typed over since.
void selectLastLink(Editor &editor, EditorUi &ui)
{
    if (!editor.theme.links().empty())
        selectLink(editor, ui, editor.theme.links().size() - 1);
}

// `change` as one step of the theme's history, named `name`; the Edit menu
// follows when it changed anything.
template<class Change>
void recordStep(Editor &editor, EditorUi &ui, std::string name, Change &&change)
{
    editor.theme.beginStep(std::move(name));
    change();
    if (editor.theme.endStep())
        ui.showHistory();
}

// A theme opened (a project, a package, a recovered theme): the model takes
// it with a new history, and every view shows it anew.
void showOpenedTheme(Editor &editor, EditorUi &ui, Project project, bool changed, std::string projectPath)
{
    editor.selectedLink.reset();
    const EditorUi::LinkChange change{EditorUi::LinkChange::Kind::All};
    ui.linksChanging(change);
    editor.theme.load(std::move(project), changed);
    editor.projectPath = std::move(projectPath);
    ui.linksChanged(change);
    ui.showTheme();
    ui.showHistory();
}

const std::string *requireGameDirectory(Editor &editor, EditorUi &ui)
{
    if (!editor.gameDirectory) {
        ui.message(kNoGameDirectory, true);
        return nullptr;
    }
    return &*editor.gameDirectory;
}

} // namespace

bool mayDiscardChanges(Editor &editor, EditorUi &ui, Leaving leaving)
{
    if (!editor.theme.changed())
        return true;
    const char *question = leaving == Leaving::Closing
                               ? "Save the changes to this theme before closing?"
                               : "Save the changes to this theme before opening another project?";
    switch (ui.ask(question, true)) {
    case Prompts::Answer::Yes:
        return saveProject(editor, ui);
    case Prompts::Answer::No:
        return true;
    case Prompts::Answer::Cancel:
        break;
    }
    return false;
}

bool loadProjectFile(Editor &editor, EditorUi &ui, const std::string &path)
{
    std::vector<std::string> notes;
    Result<Project> loaded = loadProject(path, &notes);
    if (!loaded) {
        report(ui, loaded.error());
        return false;
    }
    showOpenedTheme(editor, ui, std::move(loaded).value(), false, path);
    reportSettingsFailure(editor, ui, editor.recentProjects.add(path));
    if (!notes.empty()) {
        std::string text = "Some lines of " + path + " were left out:";
        for (const std::string &note : notes)
            text += "\n" + note;
        ui.message(text, true);
    }
    // Save offers the file that was opened, however it was opened.
    ui.offerFileName(path);
    return true;
}

bool openProject(Editor &editor, EditorUi &ui, const std::string &path)
{
    return mayDiscardChanges(editor, ui, Leaving::Opening) && loadProjectFile(editor, ui, path);
}

bool openProjectFromDialog(Editor &editor, EditorUi &ui)
{
    // Unsaved changes are asked about before the file is chosen, so that a
    // "Yes" saves under a name of its own.
    if (!mayDiscardChanges(editor, ui, Leaving::Opening))
        return false;
    const std::optional<std::string> file = ui.openFile(EditorUi::Files::Projects);
    return file && loadProjectFile(editor, ui, *file);
}

namespace {

// A folder that holds files already is asked about, as a package build asks.
bool mayCopyInto(const std::string &folder, EditorUi &ui)
{
    const std::vector<std::string> there = entriesIn(folder);
    return there.empty()
           || ui.ask("The folder " + folder + " already holds other files (" + listedNames(there)
                         + "). The theme's sounds will be copied in beside them, replacing files of the same names."
                           " Copy them there anyway?",
                     false)
                  == Prompts::Answer::Yes;
}

bool loadPackage(Editor &editor, EditorUi &ui, const std::string &path)
{
    const Result<PackagePlace> place = packageAt(path);
    if (!place) {
        report(ui, place.error());
        return false;
    }
    Result<OpenedPackage> package = [&] {
        const std::unique_ptr<Progress> progress = ui.startProgress("Open Package");
        return OpenedPackage::open(*place, *progress);
    }();
    if (!package) {
        if (package.code() != ErrorCode::Cancelled)
            report(ui, package.error());
        return false;
    }
    ui.offerFileName(proposedSoundsFolder(*package));
    const std::optional<std::string> folder = ui.saveFile(EditorUi::Files::Folders);
    if (!folder || !mayCopyInto(*folder, ui))
        return false;
    Result<Project> project = [&] {
        const std::unique_ptr<Progress> progress = ui.startProgress("Open Package");
        return copyOutPackage(*package, *folder, *progress);
    }();
    if (!project) {
        if (project.code() != ErrorCode::Cancelled)
            report(ui, project.error());
        return false;
    }
    showOpenedTheme(editor, ui, std::move(project).value(), true, std::string());
    // Save offers a project beside the copies, named for the theme.
    ui.offerFileName(proposedProjectFile(*package, *folder));
    return true;
}

} // namespace

bool openPackage(Editor &editor, EditorUi &ui, const std::string &path)
{
    return mayDiscardChanges(editor, ui, Leaving::Opening) && loadPackage(editor, ui, path);
}

bool openPackageFromDialog(Editor &editor, EditorUi &ui)
{
    if (!mayDiscardChanges(editor, ui, Leaving::Opening))
        return false;
    const std::optional<std::string> file = ui.openFile(EditorUi::Files::Packages);
    return file && loadPackage(editor, ui, *file);
}

bool takeSoundsFromPackages(Editor &editor, EditorUi &ui, const PackageMix &mix)
{
    const std::vector<int> changed = mix.changedSlots();
    if (changed.empty())
        return true;
    ui.offerFileName(mix.proposedFolder());
    const std::optional<std::string> folder = ui.saveFile(EditorUi::Files::Folders);
    ui.offerFileName(editor.projectPath);
    if (!folder)
        return false;
    const Result<std::vector<std::pair<int, std::string>>> copies = [&] {
        const std::unique_ptr<Progress> progress = ui.startProgress("Take Sounds from Packages");
        return mix.copyChosen(*folder, *progress);
    }();
    if (!copies) {
        if (copies.code() != ErrorCode::Cancelled)
            report(ui, copies.error());
        return false;
    }
    recordStep(editor, ui, "Take Sounds from Packages", [&] {
        for (const auto &[slot, path] : *copies)
            editor.theme.setSlot(slot, path);
    });
    for (const auto &copy : *copies)
        ui.showSlot(copy.first);
    selectSlot(editor, ui, copies->front().first);
    return true;
}

bool saveProject(Editor &editor, EditorUi &ui)
{
    const std::optional<std::string> file = ui.saveFile(EditorUi::Files::Projects);
    if (!file)
        return false;
    const Status saved = vesk::saveProject(*file, editor.theme.project());
    if (!saved.ok()) {
        report(ui, saved.error());
        return false;
    }
    editor.theme.markSaved();
    editor.projectPath = *file;
    reportSettingsFailure(editor, ui, editor.recentProjects.add(*file));
    selectLastLink(editor, ui);
    return true;
}

void reportSettingsFailure(Editor &editor, EditorUi &ui, const Status &status)
{
    if (status.ok() || editor.settingsFailureSaid)
        return;
    editor.settingsFailureSaid = true;
    ui.message(sentence(status.error()) + "\nVESK works on without it.", true);
}

void readRecentProjects(Editor &editor, EditorUi &ui)
{
    if (const std::optional<std::string> why = editor.recentProjects.read())
        ui.message(*why, true);
}

bool openRecentProject(Editor &editor, EditorUi &ui, size_t position)
{
    if (position >= editor.recentProjects.paths().size())
        return false;
    const std::string path = editor.recentProjects.paths()[position];
    std::error_code ec;
    if (!std::filesystem::is_regular_file(fsPath(path), ec)) {
        ui.message(path + " no longer exists. It is taken off the list of recent projects.", true);
        reportSettingsFailure(editor, ui, editor.recentProjects.remove(path));
        return false;
    }
    return openProject(editor, ui, path);
}

void offerRecovery(Editor &editor, EditorUi &ui, Recovery &recovery)
{
    const Result<std::optional<std::string>> found = recovery.start();
    if (!found) {
        reportSettingsFailure(editor, ui, found.status());
        return;
    }
    if (!*found)
        return;
    Result<RecoveredTheme> recovered = readRecoveryFile(**found);
    if (!recovered) {
        recovery.keepFound();
        ui.message(recovered.error(), true);
        return;
    }
    if (ui.ask(recoveryQuestion(*recovered), false) != Prompts::Answer::Yes) {
        recovery.keepFound();
        return;
    }
    std::error_code ec;
    const std::string &project = recovered->projectPath;
    const bool exists = !project.empty() && std::filesystem::is_regular_file(fsPath(project), ec);
    showOpenedTheme(editor, ui, std::move(recovered->project), true, exists ? project : std::string());
    if (exists)
        ui.offerFileName(project);
}

void keepRecovery(Editor &editor, EditorUi &ui, Recovery &recovery)
{
    reportSettingsFailure(
        editor, ui,
        recovery.keep(editor.theme.project(), editor.projectPath, editor.theme.changed(), editor.theme.revision()));
}

void clearRecentProjects(Editor &editor, EditorUi &ui)
{
    reportSettingsFailure(editor, ui, editor.recentProjects.clear());
}

namespace {

// The plan held against the sounds as measured (see judgeSounds), waited for
// behind a progress window captioned `title`; false when cancelled.
bool judged(Prompts &ui, std::vector<SlotPlan> &plan, SlotMeasurements *measurements,
            const std::optional<std::string> &gameDirectory, const std::string &title)
{
    if (!measurements)
        return true;
    const std::unique_ptr<Progress> progress = ui.startProgress(title);
    std::string shown;
    const auto keepWaiting = [&] { return progress->advance(shown, 0); };
    return judgeSounds(plan, *measurements, gameDirectory, keepWaiting);
}

// A step by its plan, after the questions about the sounds much longer than
// the game's own and the slots it leaves out, each asked once with every
// sound it concerns. A sound found damaged part way all the same (its file
// changed since it was measured) stops the step with nothing changed; the
// player is then asked again with that slot left out too. Nothing when the
// player says No.
template<typename Step>
auto stepAsked(Prompts &ui, std::vector<SlotPlan> &plan, const Step &step) -> std::optional<decltype(step())>
{
    if (const std::optional<std::string> question = longSoundQuestion(plan))
        if (ui.ask(*question, false) != Prompts::Answer::Yes)
            return std::nullopt;
    for (;;) {
        if (const std::optional<std::string> question = leaveOutQuestion(plan))
            if (ui.ask(*question, false) != Prompts::Answer::Yes)
                return std::nullopt;
        auto result = step();
        const auto damaged = std::find_if(plan.begin(), plan.end(), [&result](const SlotPlan &entry) {
            return result.failedSlot == entry.slot && entry.step == SlotPlan::Step::Convert;
        });
        if (result.status.code() != ErrorCode::BadFormat || damaged == plan.end())
            return result;
        const std::string named = slotDescription(damaged->slot) + " " + damaged->source + ": ";
        damaged->step = SlotPlan::Step::LeaveOut;
        damaged->reason = startsWith(result.status.error(), named) ? result.status.error().substr(named.size())
                                                                   : result.status.error();
    }
}

} // namespace

void convert(Editor &editor, EditorUi &ui, SlotMeasurements *measurements)
{
    const std::string *game = requireGameDirectory(editor, ui);
    if (!game)
        return;
    ui.setBusy(true);
    std::vector<SlotPlan> plan = planSounds(editor.theme.slots(), editor.theme.project().edits);
    ui.setBusy(false);
    const ApplyResult checked = checkApply(*game, plan);
    if (!checked.status.ok()) {
        report(ui, checked.status.error());
        return;
    }
    if (!judged(ui, plan, measurements, editor.gameDirectory, "Convert To Wa2 + Bm2"))
        return;
    bool asked = false;
    const auto apply = [&] {
        if (!asked && !holdsGameSounds(*game)
            && ui.ask(notAGameDirectoryQuestion(*game), false) != Prompts::Answer::Yes)
            return ApplyResult{0, std::nullopt, Status::failure(ErrorCode::Cancelled, "cancelled"), std::nullopt};
        asked = true;
        const std::unique_ptr<Progress> progress = ui.startProgress("Convert To Wa2 + Bm2");
        return applyTheme(*game, plan, editor.theme.links(), kLinkQuote, *progress);
    };
    const std::optional<ApplyResult> applied = stepAsked(ui, plan, apply);
    if (!applied || applied->status.code() == ErrorCode::Cancelled)
        return;
    if (!applied->status.ok()) {
        report(ui, applied->status.error());
        return;
    }
    selectLastLink(editor, ui);
    if (applied->summary)
        ui.message(*applied->summary, true);
}

void restore(Editor &editor, EditorUi &ui)
{
    const std::string *game = requireGameDirectory(editor, ui);
    if (!game)
        return;
    if (!hasBackup(*game)) {
        ui.message("There are no original sounds to restore in " + *game + ".", true);
        return;
    }
    if (ui.ask(restoreQuestion(*game), false) != Prompts::Answer::Yes)
        return;
    ui.setBusy(true);
    const Result<RestoreCount> restored = restoreOriginals(*game);
    ui.setBusy(false);
    if (!restored) {
        report(ui, restored.error());
        return;
    }
    ui.message(restoreSummary(*restored), true);
}

namespace {

// Whatever else lies in the package folder would be copied into other
// players' game directories; the player decides before anything is written.
bool mayShipStrayFiles(const PackageInput &input, const std::string &shownFolder, Prompts &ui)
{
    constexpr size_t kNamed = 5;
    const std::vector<StrayFile> stray = strayFiles(input);
    if (stray.empty())
        return true;
    std::string named;
    for (size_t i = 0; i < stray.size() && i < kNamed; ++i)
        named += (i ? ", " : "") + stray[i].name + (stray[i].fromEarlierBuild ? " (left from an earlier build)" : "");
    if (stray.size() > kNamed)
        named += ", and " + std::to_string(stray.size() - kNamed) + " more";
    return ui.ask("The folder " + shownFolder + " already holds other files (" + named
                      + "). The installer would copy them into the game directory too. Build the package here anyway?",
                  false)
           == Prompts::Answer::Yes;
}

} // namespace

namespace {

// A file's size as Windows shows it to players: "850 KB", "3.2 MB".
std::string downloadSize(std::uint64_t bytes)
{
    const double kilo = 1024, mega = kilo * kilo, giga = mega * kilo;
    const double size = static_cast<double>(bytes);
    char text[32];
    if (size < mega)
        std::snprintf(text, sizeof text, "%.0f KB", std::ceil(size / kilo));
    else if (size < giga)
        std::snprintf(text, sizeof text, "%.1f MB", size / mega);
    else
        std::snprintf(text, sizeof text, "%.1f GB", size / giga);
    return text;
}

} // namespace

bool buildPackageAsked(const PackageInput &input, const std::string &shownFolder, Prompts &ui,
                       SlotMeasurements *measurements)
{
    const auto incomplete = [&](const std::string &why) {
        ui.message("The theme package in " + shownFolder + " is incomplete: " + why + ".", false);
        return false;
    };
    // What can be known before anything is asked or written is checked first.
    if (input.packageDirectory.empty())
        return incomplete("no package directory was chosen");
    if (const Status place = checkPackagePlace(input); !place.ok()) {
        ui.message(sentence(place.error()), false);
        return false;
    }
    if (const Status complete = checkPackageInput(input); !complete.ok())
        return incomplete(complete.error());
    if (!mayShipStrayFiles(input, shownFolder, ui))
        return false;
    std::vector<SlotPlan> plan = planSounds(input.slots, input.edits);
    if (!judged(ui, plan, measurements, input.gameDirectory, "Create Theme Package"))
        return false;
    const auto build = [&] {
        const std::unique_ptr<Progress> progress = ui.startProgress("Create Theme Package");
        return buildPackage(input, plan, *progress);
    };
    const std::optional<PackageResult> built = stepAsked(ui, plan, build);
    if (!built || built->status.code() == ErrorCode::Cancelled)
        return false;
    if (!built->status.ok())
        return incomplete(built->status.error());
    // Players run the game on Windows; a package without the Windows
    // installer says so.
    const std::optional<std::string> installer = installerBesideEditor(input.editorDirectory);
    const bool windowsInstaller = installer && endsWith(*installer, kWindowsInstaller);
    const std::string oneFile
        = built->oneFile
              ? " To send it as one file: " + *built->oneFile + " (" + downloadSize(built->oneFileSize) + ")."
              : " No one-file package was made: " + built->oneFileProblem.value_or("") + ".";
    ui.message("Theme package created in " + shownFolder
                   + (windowsInstaller ? "" : " (with the Linux installer: vpak.exe was not found beside the editor)")
                   + "." + oneFile + (built->summary ? "\n\n" + *built->summary : std::string()),
               false);
    return true;
}

std::optional<std::string> acceptGameDirectory(std::optional<std::string> &gameDirectory,
                                               const std::string &settingsFile, const std::string &directory,
                                               const std::string &example)
{
    if (!isAbsolutePath(directory))
        return "Please choose the full path of your Kestrova directory, such as " + example + ".";
    const Status saved = writeGameDirectory(settingsFile, directory);
    if (!saved.ok())
        return sentence(saved.error());
    gameDirectory = directory;
    return std::nullopt;
}

void selectSlot(Editor &editor, EditorUi &ui, int index)
{
    editor.playName = editor.theme.slot(index); // checks the index
    editor.selectedSlot = index;
    ui.showSelection();
}

void chooseSlotFile(Editor &editor, EditorUi &ui, int index, std::string path)
{
    recordStep(editor, ui, "Add File to " + slotName(index), [&] { editor.theme.setSlot(index, path); });
    editor.selectedSlot = index;
    editor.playName = std::move(path);
    ui.showSlot(index);
    ui.showSelection();
}

void addFile(Editor &editor, EditorUi &ui)
{
    if (std::optional<std::string> file = ui.openFile(EditorUi::Files::Sounds))
        chooseSlotFile(editor, ui, editor.selectedSlot, std::move(*file));
}

void removeFile(Editor &editor, EditorUi &ui)
{
    const int slot = editor.selectedSlot;
    recordStep(editor, ui, "Remove File from " + slotName(slot), [&] { editor.theme.clearSlot(slot); });
    ui.showSlot(slot);
}

std::optional<std::string> gameSoundOf(const Editor &editor, int slot)
{
    if (!editor.gameDirectory)
        return std::nullopt;
    return gamesOwnFile(*editor.gameDirectory, slotInfo(slot).gameFile);
}

void playBrowsed(Editor &editor, EditorUi &ui, const std::string &path)
{
    if (path.empty())
        stop(ui);
    else
        playEdited(editor, ui, path, SoundEdit());
}

void selectNextSlot(Editor &editor, EditorUi &ui)
{
    selectSlot(editor, ui, nextSlotOnScreen(editor.selectedSlot));
    ui.showPage(EditorUi::Page::Slots);
}

void addLink(Editor &editor, EditorUi &ui, Link link)
{
    const EditorUi::LinkChange change{EditorUi::LinkChange::Kind::Appended, editor.theme.links().size()};
    ui.linksChanging(change);
    recordStep(editor, ui, "Add Link", [&] { editor.theme.addLink(std::move(link)); });
    ui.linksChanged(change);
}

void removeLink(Editor &editor, EditorUi &ui)
{
    if (!editor.selectedLink || *editor.selectedLink >= editor.theme.links().size())
        return;
    const size_t row = *editor.selectedLink;
    editor.selectedLink.reset();
    const EditorUi::LinkChange change{EditorUi::LinkChange::Kind::Erased, row};
    ui.linksChanging(change);
    recordStep(editor, ui, "Remove Link", [&] { editor.theme.removeLink(row); });
    ui.linksChanged(change);
}

void selectLink(Editor &editor, EditorUi &ui, size_t row)
{
    if (row >= editor.theme.links().size())
        return;
    editor.selectedLink = row;
    ui.showLink(row);
}

void play(Editor &editor, EditorUi &ui)
{
    // The selected slot's sound plays as its edit makes it.
    const int slot = editor.selectedSlot;
    const bool ofSlot = editor.playName == editor.theme.slot(slot);
    playEdited(editor, ui, editor.playName, ofSlot ? editor.theme.edit(slot) : SoundEdit());
}

void playEdited(Editor &editor, EditorUi &ui, const std::string &path, const SoundEdit &edit)
{
    // A name that is no sound plays as it did: the sound service's matter.
    if (path.empty() || isEmptySlot(path)) {
        ui.playSound(path);
        return;
    }
    const Result<std::string> playable = editor.playable.playable(path, edit);
    // A file that is there but no sound is refused as Convert refuses it;
    // any other name is still the sound service's to try.
    if (!playable && playable.code() == ErrorCode::BadFormat) {
        report(ui, "cannot play " + path + ": " + playable.error());
        return;
    }
    ui.playSound(playable ? *playable : path);
}

void keepSoundEdit(Editor &editor, EditorUi &ui, int slot, const SoundEdit &edit)
{
    recordStep(editor, ui, "Edit Sound of " + slotName(slot), [&] { editor.theme.setEdit(slot, edit); });
    ui.showSlot(slot);
}

namespace {

// Undo (`back`) or Redo: the step's slots and links shown anew, and what it
// changed selected and brought to the front.
void walkHistory(Editor &editor, EditorUi &ui, bool back)
{
    const ThemeStep *next = back ? editor.theme.undoable() : editor.theme.redoable();
    if (!next)
        return;
    const bool links = !next->links.empty();
    const EditorUi::LinkChange all{EditorUi::LinkChange::Kind::All};
    if (links) {
        editor.selectedLink.reset();
        ui.linksChanging(all);
    }
    const ThemeStep &step = back ? *editor.theme.undo() : *editor.theme.redo();
    if (links)
        ui.linksChanged(all);
    for (const ThemeStep::Slot &slot : step.slots)
        ui.showSlot(slot.index);
    if (!step.slots.empty()) {
        // The selected slot stays selected when the step changed it.
        int shown = step.slots.front().index;
        for (const ThemeStep::Slot &slot : step.slots)
            if (slot.index == editor.selectedSlot)
                shown = slot.index;
        selectSlot(editor, ui, shown);
        ui.showPage(EditorUi::Page::Slots);
    } else if (links) {
        // The link put back, or added again, is selected; one taken out
        // leaves none selected.
        const ThemeStep::LinkChange &last = back ? step.links.front() : step.links.back();
        if (last.added != back)
            selectLink(editor, ui, last.row);
        ui.showPage(EditorUi::Page::Links);
    }
    ui.showHistory();
}

std::string historyCaption(const char *item, const ThemeStep *step)
{
    return step && !step->name.empty() ? std::string(item) + " " + step->name : item;
}

} // namespace

void undo(Editor &editor, EditorUi &ui)
{
    walkHistory(editor, ui, true);
}

void redo(Editor &editor, EditorUi &ui)
{
    walkHistory(editor, ui, false);
}

void keepPackageDescription(Editor &editor, EditorUi &ui, const PackageDescription &description)
{
    recordStep(editor, ui, "Package Description", [&] { editor.theme.setDescription(description); });
}

std::string undoCaption(const Theme &theme)
{
    return historyCaption("&Undo", theme.undoable());
}

std::string redoCaption(const Theme &theme)
{
    return historyCaption("&Redo", theme.redoable());
}

void matchThemeLoudness(Editor &editor, EditorUi &ui, SlotMeasurements &measurements)
{
    const std::string *game = requireGameDirectory(editor, ui);
    if (!game)
        return;
    std::vector<int> slots;
    for (int k = 1; k <= kSlotCount; ++k)
        if (!isEmptySlot(editor.theme.slot(k)))
            slots.push_back(k);
    if (slots.empty()) {
        ui.message("No slot holds a sound to match.", true);
        return;
    }
    std::string changed, unmatched;
    std::vector<std::pair<int, SoundEdit>> matched;
    {
        const std::unique_ptr<Progress> progress = ui.startProgress("Match Loudness to the Game");
        // The figures come from the background analysis, on every core;
        // the progress window answers the player while they are waited for.
        std::string shown;
        double done = 0;
        bool cancelled = false;
        const auto keepWaiting = [&] { return !(cancelled = cancelled || !progress->advance(shown, done)); };
        GameLoudness gameLoudness(*game, [&](const std::string &file) -> std::optional<double> {
            const SoundAnalyses::Entry sound = measurements.await(file, keepWaiting);
            return sound && sound->ok() ? (*sound)->loudness.integrated : std::nullopt;
        });
        std::vector<std::string> wanted;
        for (int k : slots)
            wanted.push_back(editor.theme.slot(k));
        const std::vector<std::string> gameFiles = gameLoudness.files();
        wanted.insert(wanted.end(), gameFiles.begin(), gameFiles.end());
        measurements.add(wanted);
        for (size_t i = 0; i < slots.size(); ++i) {
            const int k = slots[i];
            const std::string &path = editor.theme.slot(k);
            shown = path;
            done = static_cast<double>(i) / static_cast<double>(slots.size());
            if (!keepWaiting())
                return; // cancelled: nothing changed
            // A line of the report fits the screen, however long its path.
            const std::string named = slotDescription(k) + " " + shortenedInMiddle(path, kReportPathLength);
            const MatchTarget target = gameLoudness.target(k);
            if (cancelled)
                return;
            if (!target.lufs) {
                unmatched += "\n" + named + ": no game sound to compare";
                continue;
            }
            SoundEdit edit = editor.theme.edit(k);
            const Result<Loudness> measured = measurements.editedLoudness(path, edit, keepWaiting);
            if (cancelled)
                return;
            const std::optional<GainMatch> gain = measured ? matchGain(*measured, *target.lufs) : std::nullopt;
            if (!gain) {
                unmatched += "\n" + named + ": " + (measured ? std::string("silent") : measured.error());
                continue;
            }
            edit.gain = gain->gain;
            edit.matched = true;
            if (!edit.length)
                if (const std::optional<double> seconds = statedSeconds(path))
                    edit.length = static_cast<Micros>(*seconds * kMicrosPerSecond + 0.5);
            matched.emplace_back(k, edit);
            changed += "\n" + named + ": " + matchText(*gain, target);
        }
    }
    recordStep(editor, ui, "Match Loudness to the Game", [&] {
        for (const auto &[k, edit] : matched)
            editor.theme.setEdit(k, edit);
    });
    for (const auto &[k, edit] : matched)
        ui.showSlot(k);
    std::string text = changed.empty() ? "No sound could be matched to the game's loudness."
                                       : "Matched to the game's loudness:" + changed;
    if (!unmatched.empty())
        text += "\n\nNot matched:" + unmatched;
    ui.message(text + "\n\nEdit > Undo takes it back.", true);
}

std::optional<SoundEditing> startSoundWindow(Editor &editor, EditorUi &ui, SlotMeasurements &measurements)
{
    const int slot = editor.selectedSlot;
    const std::string &path = editor.theme.slot(slot);
    Result<SoundEditing> editing = [&] {
        const std::unique_ptr<Progress> progress = ui.startProgress("Edit Sound");
        return startEditing(editor.theme.project(), slot, measurements, editor.gameDirectory,
                            [&] { return progress->advance(path, 0); });
    }();
    if (!editing) {
        if (editing.code() != ErrorCode::Cancelled)
            ui.message(editing.error(), true);
        return std::nullopt;
    }
    return std::move(editing).value();
}

void stop(EditorUi &ui)
{
    ui.playSound(std::string());
}

} // namespace vesk
