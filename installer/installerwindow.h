#pragma once

#include "colours.h"
#include "layout.h"
#include "progress.h"
#include "status.h"
#include "themedescription.h"

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vpak {

// The installer's window as both builds draw it: the Qt window of vpak and
// the plain Win32 window of vpak.exe.
inline constexpr const char *kWindowCaption = "VESK Theme Packager - Halvick Soft";
inline constexpr const char *kMessageCaption = "Lanternkit";
// The title of the install's progress window.
inline constexpr const char *kInstallTitle = "Install Theme";
inline constexpr int kClientWidth = 6570; // twips
inline constexpr int kClientHeight = 5955;
// The value labels (Label7, Label1, Label2, Label3) are drawn in this font;
// a size from theme.cfg that no label can take is held to the range.
inline constexpr const char *kValueFont = "MS Sans Serif";
inline constexpr double kDesignFontSize = 19.5;
inline constexpr double kSmallestFont = 6.0;
inline constexpr double kLargestFont = 30.0;
// How long the install batch is waited for before the player is told it has
// not finished.
inline constexpr std::chrono::milliseconds kInstallTimeLimit{120'000};

const std::vector<vesk::ControlRow> &installerControls();
inline constexpr const char *kValueLabels[] = {"Label7", "Label1", "Label2", "Label3"};
// A control's number in the Win32 window (its ID, by which tests find it):
// 100 plus its row in the table; 0 for a name not in the table.
int controlId(const char *name);
// The keyboard's order through the controls, by name.
const std::vector<const char *> &installerFocusOrder();
inline constexpr vesk::PickerControls kInstallerPicker{"Drive1", "Dir1", "filepath1", "dirname1", "Command1"};

// What theme.cfg asks of the window. Each field takes effect as it is read;
// the first missing one, or a font size that is no number, ends the reading
// with the earlier ones in force.
struct ThemeLook
{
    std::optional<std::string> name, email, webpage, themename; // Label1, Label2, Label3, Label7
    std::optional<double> fontSize;                             // the value labels, held to what a label can show
    std::optional<vesk::Rgb> captionColour;                     // Label1, Label2, Label4, Label5, Label6, Label8
    std::optional<vesk::Rgb> accentColour;                      // Label3, Label7
    std::optional<vesk::Rgb> background;
};
ThemeLook themeLook(const vesk::ThemeReading &reading);

// What the install needs of the window it runs in.
class InstallerUi
{
public:
    enum class BatchEnd {
        Finished,
        StillRunning
    };

    virtual ~InstallerUi() = default;
    // A message box with OK, captioned "Lanternkit".
    virtual void message(const std::string &text) = 0;
    // A question with Yes and No, captioned "Lanternkit"; true for Yes.
    virtual bool ask(const std::string &text) = 0;
    // Runs 1.bat in the package folder and waits up to `limit`, keeping the
    // window painting.
    virtual vesk::Result<BatchEnd> runBatch(const std::string &batchFile, const std::string &packageDirectory,
                                            std::chrono::milliseconds limit)
        = 0;
    // After a batch that was still running: waits until it has ended,
    // keeping the window painting and taking no second install meanwhile.
    virtual void waitForBatchEnd() = 0;
    // Long work of the install (checking and moving a big package's files)
    // watched in a window of its own, with Cancel; none where nobody
    // watches.
    virtual std::unique_ptr<vesk::Progress> startProgress(const std::string &title)
    {
        (void)title;
        return std::make_unique<vesk::NoProgress>();
    }
};

// Install Theme, in this order: the target (absolute, existing, not the
// package, no system folder, writable); the package's contents; its files
// against its SHA256SUMS, where it has one; a question
// when the target holds no game sound; the backup of what the install
// replaces, every such file moved aside; 1.bat written, started and waited
// for (to its end, however long it takes); the file check, and on a failure
// the target put back. True when the install completed and was
// reported as "Install Completed": the window then closes.
bool install(const std::string &packageDirectory, const std::string &target, InstallerUi &ui);

// Restore Original Sounds: asks, puts the game's own files back and reports.
void restore(const std::string &target, InstallerUi &ui);

} // namespace vpak
