#pragma once

#include "editorprocedures.h"
#include "slotmeasurements.h"
#include "theme.h"

#include <QMainWindow>
#include <QPointer>
#include <QString>

#include <atomic>
#include <memory>
#include <optional>
#include <string>

class QAction;
class QLabel;
class QMenu;
class QTimer;
class SlotLabel;
class QLineEdit;
class QListView;
class QTabWidget;
class LinkListModel;

namespace platform {
class CommonDialog;
class Dialogs;
class SoundOutput;
} // namespace platform

class SettingsWindow;
class SoundBrowserWindow;

// The editor's main window. It owns the theme being edited and the chosen
// game directory; its controls show them: a row for each slot (its file, its
// sound's length, picture and marks), the selected slot's file and figures,
// and the links.
class MainWindow final : public QMainWindow
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MainWindow)

public:
    // `settingsFile` is where vesk.cfg lives; by default beside the program.
    MainWindow(const QString &programDirectory, platform::Dialogs &dialogs, platform::SoundOutput &sound,
               QWidget *parent = nullptr, const QString &settingsFile = {});
    ~MainWindow() override;

    const vesk::Theme &theme() const { return m_editor.theme; }
    int selectedSlot() const { return m_editor.selectedSlot; }
    const std::optional<std::string> &gameDirectory() const { return m_editor.gameDirectory; }

    // Slot k's row; object names run "slotLabel1" to "slotLabel47".
    static QString slotLabelName(int index);
    // Slot k as shown, and set as if chosen in a file dialog.
    QString slotValue(int index) const;
    void setSlotValue(int index, const QString &path);

    // What the slot's row shows of its sound, and the selected slot's
    // figures: for tests and screenshots.
    SlotLabel *slotRow(int index) const;
    QString soundInfoShown() const;
    // Whether every sound asked for has been measured.
    // Every sound measured and shown.
    bool soundsMeasured() const { return !m_measurements->busy() && !m_measuredPending; }

    // The settings window, made hidden when it does not exist yet.
    SettingsWindow *settingsWindow();

    // Opens a project as "&Open" does once a file is chosen, asking first
    // about unsaved changes. False when nothing was opened.
    bool openProject(const std::string &path);

    // "vesk FILE.vsk", as a file manager starts the editor: the command
    // line's one file (its positional arguments) is opened as "&Open" opens
    // it. Anything else is left alone.
    void openFromCommandLine(const QStringList &files);

    // At start: the recent projects read, a crashed editor's unsaved
    // changes offered, and from then on the unsaved theme kept for recovery.
    void startRecovery();

    // Sound > Browse Sounds: the one sound browser, made or brought forward.
    SoundBrowserWindow *browseSounds();

protected:
    void closeEvent(QCloseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void buildMenus();
    void buildSoundsTab(QWidget *page, QPoint origin);
    void buildLinksTab(QWidget *page, QPoint origin);

    void readSettings();
    void dropSettingsWindow();
    void onSlotButton(int index); // each slot button
    void onAddFile();             // Add File
    void onRemoveFile();          // Remove File
    void onPlay();                // Play
    void onStop();                // Stop
    void onAddLink();             // Add link
    void onRemoveLink();          // Remove link
    void onLinkSelected();
    void onOpen();
    void onOpenPackage();
    void onTakeSounds();
    void onSave();
    void onConvert();
    void onCreatePackage();
    void onRestore();
    void onExit();
    void onEditSound();
    void onMatchLoudness();
    void onSettings();
    void onAbout();
    void onBrowseSounds();
    void onUndo();
    void onRedo();
    void showRecentProjects(); // the submenu, as it opens
    void showHistory();
    void showPage(vesk::EditorUi::Page page);

    // Views of the model.
    QLabel *slotLabel(int index) const;
    void showSlot(int index);
    // The sounds measured in the background, the shown slot tab's first and
    // the game's own sounds last; each row and the figures follow them.
    void measureSounds();
    void showMeasurements();
    void showSelection();
    void showLink(int row);
    void clearLinkSelection();

    // The procedures' hold on this window (editorprocedures.h).
    class Ui;
    friend class Ui;

    const QString m_programDirectory;
    const QString m_settingsFile;
    platform::Dialogs &m_dialogs;
    platform::SoundOutput &m_sound;
    std::unique_ptr<platform::CommonDialog> m_fileDialog;
    QPointer<SettingsWindow> m_settings;
    QPointer<SoundBrowserWindow> m_browser;

    vesk::Editor m_editor;
    std::unique_ptr<Ui> m_ui;

    QLineEdit *fileNameBox = nullptr;
    QListView *linkList = nullptr;    // the names
    QListView *addressList = nullptr; // the addresses, hidden
    LinkListModel *m_links = nullptr;
    QLineEdit *linkNameBox = nullptr;
    QLineEdit *linkAddressBox = nullptr;
    QTabWidget *m_slotTabs = nullptr;
    QLabel *m_soundInfo = nullptr;
    QMenu *m_recentMenu = nullptr;
    QAction *m_undoAction = nullptr;
    QAction *m_redoAction = nullptr;
    QTimer *m_recoveryTimer = nullptr;
    std::unique_ptr<vesk::Recovery> m_recovery;

    std::atomic<bool> m_measuredPending{false};
    // Last, so that its threads are gone before anything they report to.
    std::unique_ptr<vesk::SlotMeasurements> m_measurements;
};
