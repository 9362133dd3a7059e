#pragma once

#include "packagebuild.h"
#include "packagemix.h"
#include "playablesound.h"
#include "progress.h"
#include "recentprojects.h"
#include "recovery.h"
#include "slotcatalogue.h"
#include "slotmeasurements.h"
#include "soundediting.h"
#include "theme.h"

#include <memory>
#include <optional>
#include <string>

namespace vesk {

// Message boxes and questions of an editor window.
class Prompts
{
public:
    enum class Answer {
        Yes,
        No,
        Cancel,
    };

    virtual ~Prompts() = default;
    // A message box with OK, captioned "VESK" when `captioned`, else with
    // the program's default caption.
    virtual void message(const std::string &text, bool captioned) = 0;
    // A question captioned "VESK": Yes and No, or Yes, No and Cancel.
    virtual Answer ask(const std::string &text, bool withCancel) = 0;
    // The progress of long work, shown once it has run half a second, with
    // the file at hand and Cancel; it goes with the object. Meanwhile the
    // window takes no other command.
    virtual std::unique_ptr<Progress> startProgress(const std::string &title) = 0;
};

// What the editor's procedures need of its main window besides: the common
// file dialog, the wait cursor, and views that follow the model. Each build
// of the editor (Qt, Win32) provides one.
class EditorUi : public Prompts
{
public:
    enum class Files {
        Sounds,   // "Sound Files (*.wav;*.mp3;…)", then "Wave Files *.wav|*.wav"
        Projects, // "VESK Project File *.vsk|*.vsk"
        Packages, // kPackageFilter
        Folders,  // kFolderFilter, in a save dialog: the folder named, there or not
    };
    // The common file dialog with the kind's filter; it keeps its last file
    // name. Nothing when the player cancels.
    virtual std::optional<std::string> openFile(Files kind) = 0;
    virtual std::optional<std::string> saveFile(Files kind) = 0;
    // The name the next file dialog offers.
    virtual void offerFileName(const std::string &path) = 0;
    virtual void setBusy(bool busy) = 0;
    // The sound service: the named file starts at once and plays in the
    // background, replacing what plays; an empty name silences it.
    virtual void playSound(const std::string &name) = 0;

    // The views follow the model.
    virtual void showTheme() = 0; // every slot and link anew
    virtual void showSlot(int index) = 0;
    virtual void showSelection() = 0; // the selected slot and the file Play plays
    // Link `row` selected in the link list and shown in the entry boxes.
    virtual void showLink(size_t row) = 0;
    // The procedures alone change the theme's links, and tell the link views
    // before and after each change: every link (a project opened), one added
    // at the end, one removed (afterwards no link is selected and the entry
    // boxes keep what they show).
    struct LinkChange
    {
        enum class Kind {
            All,
            Appended,
            Erased,
        } kind;
        size_t row = 0; // the link added or removed
    };
    virtual void linksChanging(const LinkChange &change) = 0;
    virtual void linksChanged(const LinkChange &change) = 0;
    // The Edit menu follows the theme's history (see undoCaption).
    virtual void showHistory() = 0;
    // The page of the window that shows the selected slot (its slot tab
    // too) or the links brought to the front, so that the player sees what
    // Undo or Redo changed.
    enum class Page {
        Slots,
        Links,
    };
    virtual void showPage(Page page) = 0;
};

// The editor's state: the theme, the project file it was opened from or
// saved to (none for a new theme), the game directory in force (chosen in
// Settings), the slot "Add File" and "Remove File" act on and the file Play
// plays (what fileNameBox shows).
struct Editor
{
    Theme theme;
    std::string projectPath;
    std::optional<std::string> gameDirectory;
    int selectedSlot = 1;
    std::string playName;
    std::optional<size_t> selectedLink; // in linkList
    PlayableSounds playable;            // what Play converted
    RecentProjects recentProjects;
    bool settingsFailureSaid = false; // a per-user file could not be written
};

// Whether the File Name box shows the selected slot's sound, so that the
// figures line may speak of it: at start, and after Open, it shows nothing
// of the slot.
inline bool showsSelectedSlot(const Editor &editor)
{
    return editor.playName == editor.theme.slot(editor.selectedSlot);
}

inline constexpr const char *kNoGameDirectory = "Please go to Options Settings and select your Kestrova directory";

enum class Leaving {
    Closing,
    Opening,
};

// Unsaved changes before closing or opening another project: Yes saves (and
// stays when that is cancelled or fails), No goes on, Cancel stays.
bool mayDiscardChanges(Editor &editor, EditorUi &ui, Leaving leaving);

// Open: a project from the file dialog (unsaved changes asked about first),
// or a given one (a drop, the command line). False when nothing was opened.
bool openProjectFromDialog(Editor &editor, EditorUi &ui);
bool openProject(Editor &editor, EditorUi &ui, const std::string &path);
// The project read into the model with no question; a failure is reported.
bool loadProjectFile(Editor &editor, EditorUi &ui, const std::string &path);

// Open Package: a package folder, a one-file package or the game directory
// (from the file dialog, a drop or the command line; unsaved changes asked
// about first) checked as the installer checks it, its sounds copied into a
// folder the player names (a new "THEME NAME sounds" offered), and opened
// as an unsaved theme of those copies with the package's description.
// False when nothing was opened; the reason is said.
bool openPackageFromDialog(Editor &editor, EditorUi &ui);
bool openPackage(Editor &editor, EditorUi &ui, const std::string &path);

// Take Sounds from Packages' OK: the chosen package sounds copied into a
// folder the player names (see PackageMix::copyChosen) and put in their
// slots as one step; true when the window may close (nothing chosen, or
// done), false when the player cancelled the folder or the copy failed.
bool takeSoundsFromPackages(Editor &editor, EditorUi &ui, const PackageMix &mix);

// Save: the file dialog, then the project; true when it was saved.
bool saveProject(Editor &editor, EditorUi &ui);

// File > Recent Projects: the list read at start (a damaged one said and
// left aside); a project opened from it as Open opens it, one that is gone
// said so and taken off; "Clear List". Every project opened or saved goes to
// the front of the list.
void readRecentProjects(Editor &editor, EditorUi &ui);
bool openRecentProject(Editor &editor, EditorUi &ui, size_t position);
void clearRecentProjects(Editor &editor, EditorUi &ui);
// Recovery: at start, the unsaved changes of an editor that did not close
// properly are offered ("VESK did not close properly. ..."); Yes opens them as
// unsaved changes to their project (a new theme where it is gone), No keeps
// the file aside. While the editor runs, keepRecovery (every second) keeps
// the unsaved theme in the recovery file; closing removes it.
void offerRecovery(Editor &editor, EditorUi &ui, Recovery &recovery);
void keepRecovery(Editor &editor, EditorUi &ui, Recovery &recovery);

// A per-user file that cannot be written is said once a session; the editor
// works on without it.
void reportSettingsFailure(Editor &editor, EditorUi &ui, const Status &status);

// Convert To Wa2 + Bm2, with its checks and questions; with `measurements`,
// they speak of the sounds as the main window's rows show them.
void convert(Editor &editor, EditorUi &ui, SlotMeasurements *measurements = nullptr);

// Restore Original Sounds, with its question and summary.
void restore(Editor &editor, EditorUi &ui);

// A slot button: the slot selected, its file shown in fileNameBox.
void selectSlot(Editor &editor, EditorUi &ui, int index);
// A file for a slot (Add File, a drop): the slot selected and its file set.
void chooseSlotFile(Editor &editor, EditorUi &ui, int index, std::string path);
void addFile(Editor &editor, EditorUi &ui);
void removeFile(Editor &editor, EditorUi &ui);
// Play: the file fileNameBox shows, even after Remove File, as the game will
// play it (a sound of another kind converted first); Stop: silence.
void play(Editor &editor, EditorUi &ui);
void stop(EditorUi &ui);

// The sound window's OK: slot `slot` keeps `edit` (none when it changes
// nothing), and its row shows it.
void keepSoundEdit(Editor &editor, EditorUi &ui, int slot, const SoundEdit &edit);
// The sound window's Play: `path` as `edit` makes it, as the game will get it.
void playEdited(Editor &editor, EditorUi &ui, const std::string &path, const SoundEdit &edit);
// Match Loudness to the Game: every assigned slot's gain set to the game's
// loudness (see SoundEditing::match), with one report of what changed and
// what could not be matched.
void matchThemeLoudness(Editor &editor, EditorUi &ui, SlotMeasurements &measurements);
// Edit Sound: the selected slot's sound window, once its sound and the
// game's are measured (waited for behind a progress window); nothing, the
// reason said, where there is nothing to edit or the player cancelled.
std::optional<SoundEditing> startSoundWindow(Editor &editor, EditorUi &ui, SlotMeasurements &measurements);

// Edit > Undo and Redo: the last step taken back, or the next made again,
// and what it changed selected. The menu items' captions name the step:
// "&Undo Add File to Bombs, Level 1", or "&Undo" alone, disabled.
void undo(Editor &editor, EditorUi &ui);
void redo(Editor &editor, EditorUi &ui);
std::string undoCaption(const Theme &theme);
std::string redoCaption(const Theme &theme);

// The sound browser's hold on the editor: the game's own sound for a slot
// (none without a game directory); a browsed sound played as Play plays it
// ("" silences); the next slot on screen selected and brought to the front.
std::optional<std::string> gameSoundOf(const Editor &editor, int slot);
void playBrowsed(Editor &editor, EditorUi &ui, const std::string &path);
void selectNextSlot(Editor &editor, EditorUi &ui);

// The link list: "Add" appends the link the entry boxes hold, "Remove" takes
// out the selected one (nothing when none is), selecting shows a link in the
// entry boxes.
void addLink(Editor &editor, EditorUi &ui, Link link);
void removeLink(Editor &editor, EditorUi &ui);
void selectLink(Editor &editor, EditorUi &ui, size_t row);

// Settings' OK: a full path is written to the settings file and becomes the
// game directory in force (`gameDirectory`). Otherwise the message to show (the window stays
// open): "Please choose the full path of your Kestrova directory, such as
// EXAMPLE.", or why the settings file cannot be written.
std::optional<std::string> acceptGameDirectory(std::optional<std::string> &gameDirectory,
                                               const std::string &settingsFile, const std::string &directory,
                                               const std::string &example);

// The package window's OK keeps what it holds in the project first, as a
// change of its own ("Package Description"), whether or not the build then
// succeeds; nothing when it is as the project has it.
void keepPackageDescription(Editor &editor, EditorUi &ui, const PackageDescription &description);

// The package window's OK: the place is checked, other files of the folder
// and sounds that cannot be used are asked about, the package is built with
// progress and "Created at FOLDER" said, with what was converted; `shownFolder` is the folder as the window shows
// it. True when the package was built (the window then closes); on a
// failure everything entered stays, so that the player can mend it. With
// `measurements`, the questions speak of the sounds as the rows show them.
bool buildPackageAsked(const PackageInput &input, const std::string &shownFolder, Prompts &ui,
                       SlotMeasurements *measurements = nullptr);

} // namespace vesk
