#include "dialogs.h"

#include "colours.h"
#include "dialog.h"
#include "editorlayout.h"
#include "fileops.h"
#include "paths.h"
#include "prompts.h"

#include <commctrl.h>

namespace {

using vesk::EditorWindow;
using win32dialog::Dialog;
using win32dialog::idsOf;

class SettingsWindow final : public Dialog
{
public:
    SettingsWindow(HINSTANCE instance, int dpi, std::optional<std::string> &gameDirectory,
                   const std::string &settingsFile)
        : Dialog(instance, dpi, EditorWindow::Settings), m_gameDirectory(gameDirectory), m_settingsFile(settingsFile)
    {}
    void run(HWND owner) { show("", vesk::kSettingsClientWidth, vesk::kSettingsClientHeight, owner); }

private:
    const char *className() const override { return "VeskSettings"; }
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        switch (message) {
        case WM_CREATE:
            build();
            return 0;
        case WM_COMMAND:
            if (!m_picker || m_picker->command(reinterpret_cast<HWND>(lParam), HIWORD(wParam)))
                return 0;
            if (LOWORD(wParam) == vesk::ids::kSettingsOk)
                onOk();
            else if (LOWORD(wParam) == vesk::ids::kSettingsCancel || LOWORD(wParam) == IDCANCEL) // or Escape
                DestroyWindow(hwnd());
            return 0;
        default:
            return Dialog::handle(message, wParam, lParam);
        }
    }

    void build()
    {
        win32::buildControls(m_controls, hwnd(), m_instance, vesk::settingsControls(), idsOf(m_kind), m_dpi, m_font);
        win32::setFocusOrder(m_controls, vesk::settingsFocusOrder());
        m_picker = std::make_unique<win32::DirectoryPicker>(m_controls, vesk::kSettingsPicker, Win32Prompts::kCaption);
        // The directory in force as it was chosen, even where the list shows
        // it in another form or cannot open it.
        m_picker->open(m_gameDirectory.value_or(std::string()));
        if (m_gameDirectory && m_picker->openDirectory() != *m_gameDirectory)
            SetWindowTextA(control("pathBox"), m_gameDirectory->c_str());
        SetFocus(control("newDirectoryBox"));
    }

    void onOk()
    {
        const std::optional<std::string> refused
            = vesk::acceptGameDirectory(m_gameDirectory, m_settingsFile, text("pathBox"), "C:\\Games\\Kestrova");
        if (refused) {
            // The choice stays in the window, so the player can retry or cancel.
            Win32Prompts(hwnd()).message(*refused, false);
            return;
        }
        DestroyWindow(hwnd());
    }

    std::optional<std::string> &m_gameDirectory;
    const std::string &m_settingsFile;
    std::unique_ptr<win32::DirectoryPicker> m_picker;
};

class AboutWindow final : public Dialog
{
public:
    AboutWindow(HINSTANCE instance, int dpi) : Dialog(instance, dpi, EditorWindow::About) {}
    ~AboutWindow() override
    {
        if (m_titleFont)
            DeleteObject(m_titleFont);
    }
    void run(HWND owner) { show("", vesk::kAboutClientWidth, vesk::kAboutClientHeight, owner); }

private:
    const char *className() const override { return "VeskAbout"; }
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        switch (message) {
        case WM_CREATE:
            win32::buildControls(m_controls, hwnd(), m_instance, vesk::aboutControls(), idsOf(m_kind), m_dpi, m_font);
            m_titleFont = win32::makeFont("MS Sans Serif", 18, m_dpi, true);
            SendMessageA(control("makerLabel"), WM_SETFONT, reinterpret_cast<WPARAM>(m_titleFont), FALSE);
            // The addresses can be selected and copied, not changed.
            for (const char *name : {"webPageBox", "emailBox"}) {
                SendMessageA(control(name), EM_SETREADONLY, TRUE, 0);
                win32::fitWidthToText(control(name));
            }
            win32::setFocusOrder(m_controls, vesk::aboutFocusOrder());
            SetFocus(control("webPageBox"));
            return 0;
        case WM_COMMAND:
            if (LOWORD(wParam) == vesk::ids::kAboutOk || LOWORD(wParam) == IDCANCEL) // OK, or Escape
                DestroyWindow(hwnd());
            return 0;
        default:
            return Dialog::handle(message, wParam, lParam);
        }
    }

    HFONT m_titleFont = nullptr;
};

class PackageWindow final : public Dialog
{
public:
    PackageWindow(HINSTANCE instance, int dpi, const vesk::Editor &editor, const std::string &editorDirectory,
                  vesk::SlotMeasurements *measurements, std::function<void(const vesk::PackageDescription &)> keep)
        : Dialog(instance, dpi, EditorWindow::Package), m_editor(editor), m_editorDirectory(editorDirectory),
          m_measurements(measurements), m_keepDescription(std::move(keep))
    {}
    ~PackageWindow() override
    {
        if (m_preview)
            DeleteObject(m_preview);
    }
    void run(HWND owner) { show(vesk::kPackageCaption, vesk::kPackageClientWidth, vesk::kPackageClientHeight, owner); }

private:
    const char *className() const override { return "VeskPackage"; }
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        switch (message) {
        case WM_CREATE:
            build();
            return 0;
        case WM_NOTIFY:
            if (m_tabs)
                m_tabs->notified(*reinterpret_cast<const NMHDR *>(lParam));
            return 0;
        case DM_GETDEFID: {
            // Return presses the button that has the focus, and OK from any
            // other control on any tab.
            HWND focus = GetFocus();
            if (focus && IsChild(hwnd(), focus) && (SendMessageA(focus, WM_GETDLGCODE, 0, 0) & DLGC_UNDEFPUSHBUTTON))
                return MAKELRESULT(GetDlgCtrlID(focus), DC_HASDEFID);
            return MAKELRESULT(vesk::ids::kPackageOk, DC_HASDEFID);
        }
        case WM_COMMAND:
            if (m_pictureFiles) // made last
                command(reinterpret_cast<HWND>(lParam), wParam);
            return 0;
        default:
            return Dialog::handle(message, wParam, lParam);
        }
    }

    void build()
    {
        m_tabs = std::make_unique<win32::TabPages>(hwnd(), m_instance, vesk::kPackageTabs,
                                                   std::vector<const char *>{"Options", "Package", "Ready?"},
                                                   vesk::kPackageTabsId, m_dpi, m_font);
        const std::vector<vesk::ControlRow> *tables[]
            = {&vesk::packageOptionsControls(), &vesk::packagePackageControls(), &vesk::packageReadyControls()};
        for (size_t page = 0; page < 3; ++page)
            win32::buildControls(m_controls, m_tabs->page(page), m_instance, *tables[page], idsOf(m_kind), m_dpi,
                                 m_font, m_tabs->origin());

        fill("fontSizeBox", [] {
            std::vector<std::string> sizes;
            for (int size = 8; size <= 20; ++size)
                sizes.push_back(std::to_string(size));
            return sizes;
        }());
        fill("fontColourBox", vesk::editorColourNames());
        fill("backgroundColourBox", vesk::editorColourNames());
        ShowWindow(control("picturePathBox"), SW_HIDE);
        // The package directory follows the directory list and cannot be typed.
        SendMessageA(control("pathBox"), EM_SETREADONLY, TRUE, 0);
        SetWindowLongPtrA(control("pathBox"), GWL_STYLE,
                          GetWindowLongPtrA(control("pathBox"), GWL_STYLE) & ~static_cast<LONG_PTR>(WS_TABSTOP));
        win32::setFocusOrder(m_controls, vesk::packageFocusOrder());

        m_picker = std::make_unique<win32::DirectoryPicker>(m_controls, vesk::kPackagePicker, Win32Prompts::kCaption);
        m_picker->open(std::string());
        m_pictureDrive = std::make_unique<win32::DriveList>(control("pictureDriveList"));
        m_pictureDirectory = std::make_unique<win32::DirectoryList>(control("pictureDirectoryList"));
        m_pictureFiles = std::make_unique<win32::FileList>(control("pictureFileList"), "*.jpg");
        openPictureDirectory(m_pictureDrive->picked());
        if (const std::optional<vesk::PackageDescription> &description = m_editor.theme.description())
            showDescription(*description);
        SetFocus(control("creatorNameBox"));
    }

    // The values the project keeps, in their boxes; the package folder and
    // the picture's folder opened where they still are.
    void showDescription(const vesk::PackageDescription &description)
    {
        for (const auto &[name, value] : vesk::descriptionBoxes(description))
            SetWindowTextA(control(name), value.c_str());
        if (!description.folder.empty() && vesk::isFolder(description.folder))
            m_picker->open(description.folder);
        const std::string &picture = description.picture;
        const std::string folder = picture.substr(0, vesk::fileNameStart(picture));
        if (!folder.empty() && vesk::isFolder(folder))
            openPictureDirectory(folder);
        showPicture(picture);
    }

    void fill(const char *name, const std::vector<std::string> &items)
    {
        const std::string shown = text(name);
        for (const std::string &item : items)
            SendMessageA(control(name), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
        SetWindowTextA(control(name), shown.c_str());
    }

    bool openPictureDirectory(const std::string &path)
    {
        if (!m_pictureDirectory->open(path))
            return false;
        m_pictureFiles->open(m_pictureDirectory->openDirectory());
        return true;
    }

    void command(HWND from, WPARAM wParam)
    {
        const int notification = HIWORD(wParam);
        if (m_picker->command(from, notification))
            return;
        namespace ids = vesk::ids;
        const int id = LOWORD(wParam);
        if (id == ids::kPictureDrives && notification == CBN_SELCHANGE) {
            m_pictureDrive->steer([this](const std::string &drive) { return openPictureDirectory(drive); },
                                  Win32Prompts::kCaption);
        } else if (id == ids::kPictureDirectories && notification == LBN_DBLCLK) {
            if (const std::string opens = m_pictureDirectory->selectedPath(); !opens.empty())
                openPictureDirectory(opens);
        } else if (id == ids::kPictureFiles && notification == LBN_SELCHANGE) {
            onPictureChosen();
        } else if (id == ids::kPackageCancel || id == IDCANCEL) { // Cancel, or Escape
            DestroyWindow(hwnd());
        } else if (id == ids::kPackageOk) {
            onOk();
        }
    }

    void onPictureChosen()
    {
        const std::string picture = m_pictureFiles->selectedPath();
        if (!picture.empty())
            showPicture(picture);
    }

    void showPicture(const std::string &picture)
    {
        SetWindowTextA(control("picturePathBox"), picture.c_str());
        // A file that is no readable picture keeps the previous preview.
        RECT box;
        GetClientRect(control("picturePreview"), &box);
        HBITMAP preview = win32::loadPictureToFit(picture, {box.right, box.bottom});
        if (!preview)
            return;
        SendMessageA(control("picturePreview"), STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(preview));
        if (m_preview)
            DeleteObject(m_preview);
        m_preview = preview;
    }

    void onOk()
    {
        if (m_keepDescription)
            m_keepDescription(
                vesk::packageDescription([this](const char *name) { return text(name); }, m_picker->path()));
        const vesk::PackageInput input
            = vesk::packageInput([this](const char *name) { return text(name); }, m_picker->path(), m_editorDirectory,
                                 m_editor.theme.project(), m_editor.gameDirectory);
        // Everything entered stays on a failure, so the player can mend it and retry.
        Win32Prompts prompts(hwnd());
        if (vesk::buildPackageAsked(input, input.packageDirectory, prompts, m_measurements))
            DestroyWindow(hwnd());
    }

    const vesk::Editor &m_editor;
    const std::string &m_editorDirectory;
    vesk::SlotMeasurements *const m_measurements; // the theme's sounds as measured, when known
    const std::function<void(const vesk::PackageDescription &)> m_keepDescription; // OK's values into the project
    std::unique_ptr<win32::TabPages> m_tabs;
    std::unique_ptr<win32::DirectoryPicker> m_picker;
    std::unique_ptr<win32::DriveList> m_pictureDrive;
    std::unique_ptr<win32::DirectoryList> m_pictureDirectory;
    std::unique_ptr<win32::FileList> m_pictureFiles;
    HBITMAP m_preview = nullptr;
};

} // namespace

HFONT editorFont(int dpi)
{
    return win32::makeFont("MS Sans Serif", 8, dpi);
}

void showSettings(HINSTANCE instance, HWND owner, int dpi, std::optional<std::string> &gameDirectory,
                  const std::string &settingsFile)
{
    SettingsWindow(instance, dpi, gameDirectory, settingsFile).run(owner);
}

void showAbout(HINSTANCE instance, HWND owner, int dpi)
{
    AboutWindow(instance, dpi).run(owner);
}

void showPackage(HINSTANCE instance, HWND owner, int dpi, const vesk::Editor &editor,
                 const std::string &editorDirectory, vesk::SlotMeasurements *measurements,
                 std::function<void(const vesk::PackageDescription &)> keepDescription)
{
    PackageWindow(instance, dpi, editor, editorDirectory, measurements, std::move(keepDescription)).run(owner);
}
