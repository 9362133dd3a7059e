#include "mainwindow.h"

#include "aboutbox.h"
#include "applytheme.h"
#include "controls.h"
#include "dialogprompts.h"
#include "dialogs.h"
#include "editorlayout.h"
#include "fieldreader.h"
#include "gamebackup.h"
#include "linklistmodel.h"
#include "localtext.h"
#include "openpackage.h"
#include "packagemixwindow.h"
#include "packagewindow.h"
#include "paths.h"
#include "projectfile.h"
#include "settingsfile.h"
#include "settingslocation.h"
#include "settingswindow.h"
#include "slotcatalogue.h"
#include "slotlabel.h"
#include "soundbrowser.h"
#include "soundbrowserwindow.h"
#include "soundplayer.h"
#include "soundwindow.h"
#include "themefiles.h"

#include <QCloseEvent>
#include <QCursor>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QGuiApplication>
#include <QKeySequence>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTimer>
#include <QUrl>

#include <algorithm>
#include <map>
#include <string_view>

using platform::control;
using platform::ControlRow;
using platform::Kind;

namespace {

const QString kProjectFilter = QStringLiteral("VESK Project File *.vsk|*.vsk");

const char *const kSlotProperty = "slotIndex";
const QString kCaption = QStringLiteral("VESK");

// The row of the entry the user (or code) selected, or -1.
int selectedRow(const QListView *list)
{
    const QModelIndexList selected = list->selectionModel()->selectedIndexes();
    return selected.isEmpty() ? -1 : selected.first().row();
}

// The local file a drag carries, if it carries exactly one, as the bytes of
// its name: the URL's percent-encoding is decoded to bytes, not to text, so
// that a name that is no UTF-8 arrives as it is on disk.
std::optional<std::string> draggedFile(const QMimeData *data)
{
    if (!data || !data->hasUrls() || data->urls().size() != 1 || !data->urls().first().isLocalFile())
        return std::nullopt;
    const QUrl &url = data->urls().first();
    return QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1()).toStdString();
}

} // namespace

class MainWindow::Ui final : public vesk::EditorUi
{
public:
    explicit Ui(MainWindow &window) : m_window(window), m_prompts(window.m_dialogs, &window) {}

    void message(const std::string &text, bool captioned) override { m_prompts.message(text, captioned); }
    Answer ask(const std::string &text, bool withCancel) override { return m_prompts.ask(text, withCancel); }
    std::unique_ptr<vesk::Progress> startProgress(const std::string &title) override
    {
        return m_prompts.startProgress(title);
    }
    std::optional<std::string> openFile(Files kind) override { return choose(kind, false); }
    std::optional<std::string> saveFile(Files kind) override { return choose(kind, true); }
    void offerFileName(const std::string &path) override
    {
        m_window.m_fileDialog->fileName = platform::fromLocal(path);
    }
    void playSound(const std::string &name) override
    {
        m_window.m_sound.play(name);
        if (const std::string why = m_window.m_sound.unavailable(); !name.empty() && !why.empty())
            m_window.m_dialogs.message(&m_window, QString::fromStdString(why), kCaption);
    }
    void setBusy(bool busy) override
    {
        if (busy)
            QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
        else
            QGuiApplication::restoreOverrideCursor();
    }
    void showTheme() override
    {
        for (int k = 1; k <= vesk::kSlotCount; ++k)
            m_window.showSlot(k);
        m_window.measureSounds();
    }
    void showSlot(int index) override
    {
        m_window.showSlot(index);
        m_window.measureSounds();
    }
    void showSelection() override
    {
        m_window.showSelection();
        m_window.showMeasurements();
    }
    void showLink(size_t row) override { m_window.showLink(static_cast<int>(row)); }
    // A removal changes the selection, which must not show another link.
    void linksChanging(const LinkChange &change) override
    {
        const QSignalBlocker block(m_window.linkList->selectionModel());
        m_window.m_links->aboutToChange(change);
    }
    void linksChanged(const LinkChange &change) override
    {
        const QSignalBlocker block(m_window.linkList->selectionModel());
        m_window.m_links->changed(change);
        if (change.kind == LinkChange::Kind::Erased)
            m_window.clearLinkSelection();
    }
    void showHistory() override { m_window.showHistory(); }
    void showPage(Page page) override { m_window.showPage(page); }

private:
    std::optional<std::string> choose(Files kind, bool save)
    {
        platform::CommonDialog &dialog = *m_window.m_fileDialog;
        switch (kind) {
        case Files::Sounds:
            dialog.filter = QString::fromLatin1(vesk::kSoundFilter);
            break;
        case Files::Projects:
            dialog.filter = kProjectFilter;
            break;
        case Files::Packages:
            dialog.filter = QString::fromLatin1(vesk::kPackageFilter);
            break;
        case Files::Folders:
            dialog.filter = QString::fromLatin1(vesk::kFolderFilter);
            break;
        }
        if (!(save ? dialog.showSave(&m_window) : dialog.showOpen(&m_window)))
            return std::nullopt;
        return platform::toLocal(dialog.fileName);
    }

    MainWindow &m_window;
    DialogPrompts m_prompts;
};

MainWindow::MainWindow(const QString &programDirectory, platform::Dialogs &dialogs, platform::SoundOutput &sound,
                       QWidget *parent, const QString &settingsFile)
    : QMainWindow(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
                              | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      m_programDirectory(programDirectory),
      m_settingsFile(settingsFile.isEmpty()
                         ? platform::fromLocal(vesk::settingsFilePath(platform::toLocal(programDirectory)))
                         : settingsFile),
      m_dialogs(dialogs), m_sound(sound), m_fileDialog(std::make_unique<platform::CommonDialog>(dialogs)),
      m_ui(std::make_unique<Ui>(*this)), m_measurements(std::make_unique<vesk::SlotMeasurements>([this] {
          // From a worker thread: the window takes it up on its own, once
          // for however many arrive meanwhile.
          if (!m_measuredPending.exchange(true))
              QMetaObject::invokeMethod(
                  this,
                  [this] {
                      m_measuredPending = false;
                      showMeasurements();
                  },
                  Qt::QueuedConnection);
      }))
{
    setObjectName(QStringLiteral("MainWindow"));
    setWindowTitle(QString::fromLatin1(vesk::kMainCaption));
    setAcceptDrops(true);
    buildMenus();

    auto *client = new QWidget(this);
    client->setFixedSize(platform::pixels(vesk::kMainClientWidth), platform::pixels(vesk::kMainClientHeight));
    setCentralWidget(client);

    auto *outer = new platform::TabContainer(client);
    outer->setObjectName(QStringLiteral("mainTabs"));
    const auto rect = [](const int(&twips)[4]) { return platform::twipsRect(twips[0], twips[1], twips[2], twips[3]); };
    outer->setGeometry(rect(vesk::kMainTabs));
    QWidget *sounds = outer->addPage(QStringLiteral("Sounds"));
    outer->addPage(QStringLiteral("Pictures"));
    QWidget *links = outer->addPage(QStringLiteral("Links"));
    buildSoundsTab(sounds, outer->pageOrigin());
    buildLinksTab(links, outer->pageOrigin());

    layout()->setSizeConstraint(QLayout::SetFixedSize);
    resize(sizeHint());
    platform::fitToScreen(this);

    readSettings();
}

MainWindow::~MainWindow() = default;

void MainWindow::buildMenus()
{
    const std::map<std::string_view, void (MainWindow::*)()> handlers = {
        {"openItem", &MainWindow::onOpen},
        {"openPackageItem", &MainWindow::onOpenPackage},
        {"saveItem", &MainWindow::onSave},
        {"undoItem", &MainWindow::onUndo},
        {"redoItem", &MainWindow::onRedo},
        {"browseSoundsItem", &MainWindow::onBrowseSounds},
        {"takeSoundsItem", &MainWindow::onTakeSounds},
        {"convertItem", &MainWindow::onConvert},
        {"createPackageItem", &MainWindow::onCreatePackage},
        {"restoreItem", &MainWindow::onRestore},
        {"exitItem", &MainWindow::onExit},
        {"editSoundItem", &MainWindow::onEditSound},
        {"matchLoudnessItem", &MainWindow::onMatchLoudness},
        {"settingsItem", &MainWindow::onSettings},
        {"aboutItem", &MainWindow::onAbout},
    };
    for (const vesk::Menu &menu : vesk::mainMenus()) {
        QMenu *built = menuBar()->addMenu(QString::fromLatin1(menu.caption));
        built->setObjectName(QString::fromLatin1(menu.name));
        for (const vesk::MenuItem &item : menu.items) {
            if (item.id == vesk::ids::kRecentProjects) {
                m_recentMenu = built->addMenu(QString::fromLatin1(item.caption));
                m_recentMenu->setObjectName(QString::fromLatin1(item.name));
                m_recentMenu->setToolTipsVisible(true);
                connect(m_recentMenu, &QMenu::aboutToShow, this, &MainWindow::showRecentProjects);
                continue;
            }
            const bool separator = std::string_view(item.caption) == "-";
            QAction *action = separator ? built->addSeparator() : built->addAction(QString::fromLatin1(item.caption));
            action->setObjectName(QString::fromLatin1(item.name));
            QList<QKeySequence> keys;
            for (const char *shortcut : {item.shortcut, item.alsoShortcut})
                if (shortcut)
                    keys.append(QKeySequence(QString::fromLatin1(shortcut)));
            action->setShortcuts(keys);
            if (!separator)
                connect(action, &QAction::triggered, this, handlers.at(item.name));
            if (item.id == vesk::ids::kUndo)
                m_undoAction = action;
            else if (item.id == vesk::ids::kRedo)
                m_redoAction = action;
        }
    }
    showHistory();
}

void MainWindow::showHistory()
{
    m_undoAction->setText(QString::fromStdString(vesk::undoCaption(m_editor.theme)));
    m_undoAction->setEnabled(m_editor.theme.undoable() != nullptr);
    m_redoAction->setText(QString::fromStdString(vesk::redoCaption(m_editor.theme)));
    m_redoAction->setEnabled(m_editor.theme.redoable() != nullptr);
}

void MainWindow::showPage(vesk::EditorUi::Page page)
{
    auto *tabs = control<QTabWidget>(this, QStringLiteral("mainTabs"));
    if (page == vesk::EditorUi::Page::Links) {
        tabs->setCurrentIndex(2);
        return;
    }
    tabs->setCurrentIndex(0);
    const vesk::InnerTab tab = vesk::slotCatalogue()[static_cast<size_t>(m_editor.selectedSlot - 1)].tab;
    for (size_t t = 0; t < vesk::innerTabs().size(); ++t)
        if (vesk::innerTabs()[t].tab == tab)
            m_slotTabs->setCurrentIndex(static_cast<int>(t));
}

void MainWindow::showRecentProjects()
{
    m_recentMenu->clear();
    const std::vector<std::string> &paths = m_editor.recentProjects.paths();
    for (size_t i = 0; i < paths.size(); ++i) {
        QAction *item = m_recentMenu->addAction(QString::fromStdString(vesk::recentItemCaption(i + 1, paths[i])));
        item->setToolTip(platform::fromLocal(paths[i]));
        item->setObjectName(QStringLiteral("recentProject%1").arg(i + 1));
        connect(item, &QAction::triggered, this, [this, i] { vesk::openRecentProject(m_editor, *m_ui, i); });
    }
    if (!paths.empty())
        m_recentMenu->addSeparator();
    QAction *clear = m_recentMenu->addAction(QStringLiteral("Clear List"));
    clear->setObjectName(QStringLiteral("clearRecentProjects"));
    clear->setEnabled(!paths.empty());
    connect(clear, &QAction::triggered, this, [this] { vesk::clearRecentProjects(m_editor, *m_ui); });
}

void MainWindow::startRecovery()
{
    const std::string settings = platform::toLocal(m_settingsFile);
    m_editor.recentProjects = vesk::RecentProjects(vesk::recentProjectsFile(settings));
    vesk::readRecentProjects(m_editor, *m_ui);
    m_recovery = std::make_unique<vesk::Recovery>(settings);
    vesk::offerRecovery(m_editor, *m_ui, *m_recovery);
    m_recoveryTimer = new QTimer(this);
    connect(m_recoveryTimer, &QTimer::timeout, this, [this] { vesk::keepRecovery(m_editor, *m_ui, *m_recovery); });
    m_recoveryTimer->start(1000);
}

SoundBrowserWindow *MainWindow::browseSounds()
{
    if (!m_browser) {
        SoundBrowserWindow::Editor editor;
        editor.targetSlot = [this] { return m_editor.selectedSlot; };
        editor.gameFile = [this](int slot) { return vesk::gameSoundOf(m_editor, slot); };
        editor.play = [this](const std::string &path) { vesk::playBrowsed(m_editor, *m_ui, path); };
        editor.use
            = [this](const std::string &path) { vesk::chooseSlotFile(m_editor, *m_ui, m_editor.selectedSlot, path); };
        editor.nextSlot = [this] { vesk::selectNextSlot(m_editor, *m_ui); };
        const std::string settings = platform::toLocal(m_settingsFile);
        const std::string file = vesk::browserSettingsFile(settings);
        const std::string folder = vesk::browserStartFolder(m_editor, vesk::readBrowserSettings(file).folder,
                                                            platform::toLocal(QDir::homePath()));
        m_browser = new SoundBrowserWindow(this, m_dialogs, std::move(editor), folder, file,
                                           vesk::joinPath(vesk::cacheDirectory(), "sound-figures.cache"));
        // Closed, it goes, and its measuring with it.
        connect(m_browser, &QDialog::finished, m_browser, &QObject::deleteLater);
        // Beside the main window.
        m_browser->move(frameGeometry().topRight() + QPoint(8, 0));
        platform::fitToScreen(m_browser);
    }
    m_browser->show();
    m_browser->raise();
    m_browser->activateWindow();
    return m_browser;
}

void MainWindow::onBrowseSounds()
{
    browseSounds();
}

// Take Sounds from Packages: modal, as its OK changes the theme.
void MainWindow::onTakeSounds()
{
    PackageMixWindow::Editor editor;
    editor.gameFile = [this](int slot) { return vesk::gameSoundOf(m_editor, slot); };
    editor.play = [this](const std::string &path) { vesk::playBrowsed(m_editor, *m_ui, path); };
    editor.take = [this](const vesk::PackageMix &mix) { return vesk::takeSoundsFromPackages(m_editor, *m_ui, mix); };
    PackageMixWindow window(this, m_dialogs, std::move(editor), m_editor.theme.slots());
    window.exec();
}

void MainWindow::onUndo()
{
    vesk::undo(m_editor, *m_ui);
}

void MainWindow::onRedo()
{
    vesk::redo(m_editor, *m_ui);
}

void MainWindow::buildSoundsTab(QWidget *page, QPoint origin)
{
    auto *inner = new platform::TabContainer(page);
    inner->setObjectName(QStringLiteral("slotTabs"));
    m_slotTabs = inner;
    inner->setGeometry(
        platform::twipsRect(vesk::kSlotTabs[0], vesk::kSlotTabs[1], vesk::kSlotTabs[2], vesk::kSlotTabs[3])
            .translated(origin));

    std::vector<QWidget *> pages;
    for (const vesk::TabInfo &tab : vesk::innerTabs())
        pages.push_back(inner->addPage(QString::fromLatin1(tab.caption)));
    const QPoint innerOrigin = inner->pageOrigin();

    for (size_t t = 0; t < pages.size(); ++t)
        platform::buildControls(pages[t], vesk::slotTabControls(vesk::innerTabs()[t].tab), innerOrigin);

    // The slot labels sit beside their buttons; their names carry the slot
    // index, so they are placed here rather than in a table. Both carry the
    // index for drops.
    for (const vesk::SlotInfo &slot : vesk::slotCatalogue()) {
        auto *button = control<QPushButton>(this, QString::fromLatin1(slot.button));
        auto *label = new SlotLabel(QString::fromLatin1(vesk::kNoSound), button->parentWidget());
        label->setObjectName(slotLabelName(slot.index));
        label->setGeometry(platform::twipsRect(vesk::kSlotLabelLeft, vesk::kSlotRowHeight * slot.row,
                                               vesk::kSlotLabelWidth, vesk::kSlotLabelHeight));
        button->setProperty(kSlotProperty, slot.index);
        label->setProperty(kSlotProperty, slot.index);
        const int index = slot.index;
        connect(button, &QPushButton::clicked, this, [this, index] { onSlotButton(index); });
        connect(label, &SlotLabel::doubleClicked, this, [this, index] {
            onSlotButton(index);
            onEditSound();
        });
    }

    platform::buildControls(page, vesk::mainSoundsControls(), origin);
    fileNameBox = control<QLineEdit>(this, QStringLiteral("fileNameBox"));
    m_soundInfo = control<QLabel>(this, QStringLiteral("soundInfo"));
    m_soundInfo->setTextFormat(Qt::PlainText);
    // The shown tab's sounds are measured first.
    connect(inner, &QTabWidget::currentChanged, this, &MainWindow::measureSounds);
    connect(control<QPushButton>(this, QStringLiteral("playButton")), &QPushButton::clicked, this, &MainWindow::onPlay);
    connect(control<QPushButton>(this, QStringLiteral("addFileButton")), &QPushButton::clicked, this,
            &MainWindow::onAddFile);
    connect(control<QPushButton>(this, QStringLiteral("removeFileButton")), &QPushButton::clicked, this,
            &MainWindow::onRemoveFile);
    connect(control<QPushButton>(this, QStringLiteral("stopButton")), &QPushButton::clicked, this, &MainWindow::onStop);
}

void MainWindow::buildLinksTab(QWidget *page, QPoint origin)
{
    platform::buildControls(page, vesk::mainLinksControls(), origin);
    linkList = control<QListView>(this, QStringLiteral("linkList"));
    addressList = control<QListView>(this, QStringLiteral("addressList"));
    // Both lists show the theme's links through one model, never copies.
    m_links = new LinkListModel(m_editor.theme, this);
    linkList->setModel(m_links);
    linkList->setModelColumn(LinkListModel::Name);
    addressList->setModel(m_links);
    addressList->setModelColumn(LinkListModel::Address);
    linkNameBox = control<QLineEdit>(this, QStringLiteral("linkNameBox"));
    linkAddressBox = control<QLineEdit>(this, QStringLiteral("linkAddressBox"));
    addressList->hide();
    // Selection, not the keyboard cursor, is what shows a link: focus alone
    // must not fill the entry boxes.
    connect(linkList->selectionModel(), &QItemSelectionModel::selectionChanged, this, &MainWindow::onLinkSelected);
    connect(control<QPushButton>(this, QStringLiteral("addLinkButton")), &QPushButton::clicked, this,
            &MainWindow::onAddLink);
    connect(control<QPushButton>(this, QStringLiteral("removeLinkButton")), &QPushButton::clicked, this,
            &MainWindow::onRemoveLink);
}

QString MainWindow::slotLabelName(int index)
{
    return QStringLiteral("slotLabel%1").arg(index);
}

QLabel *MainWindow::slotLabel(int index) const
{
    return control<QLabel>(this, slotLabelName(index));
}

QString MainWindow::slotValue(int index) const
{
    return slotLabel(index)->text();
}

void MainWindow::setSlotValue(int index, const QString &path)
{
    m_editor.theme.setSlot(index, platform::toLocal(path));
    showSlot(index);
    measureSounds();
}

void MainWindow::showSlot(int index)
{
    slotLabel(index)->setText(platform::fromLocal(m_editor.theme.slot(index)));
}

SlotLabel *MainWindow::slotRow(int index) const
{
    return control<SlotLabel>(this, slotLabelName(index));
}

QString MainWindow::soundInfoShown() const
{
    return m_soundInfo->text();
}

void MainWindow::measureSounds()
{
    const int shown = m_slotTabs ? std::max(0, m_slotTabs->currentIndex()) : 0;
    m_measurements->measure(m_editor.theme.slots(), m_editor.gameDirectory,
                            vesk::innerTabs()[static_cast<size_t>(shown)].tab);
    showMeasurements();
}

void MainWindow::showMeasurements()
{
    for (int k = 1; k <= vesk::kSlotCount; ++k) {
        const vesk::SlotMeasurements::Row row = m_measurements->row(m_editor.theme.project(), k);
        slotRow(k)->showSound(row);
    }
    m_soundInfo->setText(vesk::showsSelectedSlot(m_editor) ? QString::fromStdString(
                             m_measurements->figures(m_editor.theme.project(), m_editor.selectedSlot))
                                                           : QString());
}

void MainWindow::showSelection()
{
    fileNameBox->setText(platform::fromLocal(m_editor.playName));
    if (m_browser)
        m_browser->showTarget();
}

SettingsWindow *MainWindow::settingsWindow()
{
    if (!m_settings) {
        m_settings = new SettingsWindow(m_settingsFile, m_editor.gameDirectory, m_dialogs, this);
        connect(m_settings, &SettingsWindow::gameDirectoryChosen, this, [this, settings = m_settings.data()] {
            m_editor.gameDirectory = settings->chosenDirectory();
            measureSounds();
            if (m_browser)
                m_browser->showTarget();
        });
    }
    return m_settings;
}

void MainWindow::readSettings()
{
    m_editor.gameDirectory = vesk::readGameDirectory(platform::toLocal(m_settingsFile));
    if (!m_editor.gameDirectory)
        m_dialogs.message(nullptr, QString::fromLatin1(vesk::kNoGameDirectory), kCaption);
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (!vesk::mayDiscardChanges(m_editor, *m_ui, vesk::Leaving::Closing)) {
        event->ignore();
        return;
    }
    dropSettingsWindow();
    if (m_recovery)
        m_recovery->discard();
    event->accept();
}

void MainWindow::dropSettingsWindow()
{
    delete m_settings;
}

void MainWindow::onSlotButton(int index)
{
    vesk::selectSlot(m_editor, *m_ui, index);
}

void MainWindow::onAddFile()
{
    vesk::addFile(m_editor, *m_ui);
}

void MainWindow::onRemoveFile()
{
    vesk::removeFile(m_editor, *m_ui);
}

void MainWindow::onPlay()
{
    vesk::play(m_editor, *m_ui);
}

void MainWindow::onStop()
{
    vesk::stop(*m_ui);
}

void MainWindow::onAddLink()
{
    // Typed text becomes bytes once, here.
    vesk::addLink(m_editor, *m_ui, {platform::toLocal(linkNameBox->text()), platform::toLocal(linkAddressBox->text())});
}

void MainWindow::onRemoveLink()
{
    vesk::removeLink(m_editor, *m_ui);
}

void MainWindow::onLinkSelected()
{
    const int row = selectedRow(linkList);
    if (row >= 0)
        vesk::selectLink(m_editor, *m_ui, static_cast<size_t>(row));
}

void MainWindow::showLink(int row)
{
    linkList->setCurrentIndex(m_links->index(row, LinkListModel::Name));
    addressList->setCurrentIndex(m_links->index(row, LinkListModel::Address));
    linkNameBox->setText(m_links->index(row, LinkListModel::Name).data().toString());
    linkAddressBox->setText(m_links->index(row, LinkListModel::Address).data().toString());
}

void MainWindow::clearLinkSelection()
{
    for (QListView *list : {linkList, addressList}) {
        list->selectionModel()->clear();
        list->setCurrentIndex(QModelIndex());
    }
}

bool MainWindow::openProject(const std::string &path)
{
    return vesk::openProject(m_editor, *m_ui, path);
}

void MainWindow::openFromCommandLine(const QStringList &files)
{
    if (files.size() != 1)
        return;
    const std::string path = QFile::encodeName(files.first()).toStdString();
    if (!vesk::isProjectFileName(path) && vesk::isPackagePath(path))
        vesk::openPackage(m_editor, *m_ui, path);
    else
        openProject(path);
}

void MainWindow::onOpen()
{
    vesk::openProjectFromDialog(m_editor, *m_ui);
}

void MainWindow::onOpenPackage()
{
    vesk::openPackageFromDialog(m_editor, *m_ui);
}

void MainWindow::onSave()
{
    vesk::saveProject(m_editor, *m_ui);
}

void MainWindow::onConvert()
{
    vesk::convert(m_editor, *m_ui, m_measurements.get());
}

void MainWindow::onCreatePackage()
{
    (new PackageWindow(
         this, m_programDirectory, m_dialogs, [this] { return m_editor.theme.project(); }, m_editor.gameDirectory,
         m_measurements.get(),
         [this](const vesk::PackageDescription &description) {
             vesk::keepPackageDescription(m_editor, *m_ui, description);
         }))
        ->exec();
}

void MainWindow::onRestore()
{
    vesk::restore(m_editor, *m_ui);
}

void MainWindow::onExit()
{
    close();
}

// The selected slot's sound in its window; OK keeps what the player made of it.
void MainWindow::onEditSound()
{
    const int slot = m_editor.selectedSlot;
    std::optional<vesk::SoundEditing> editing = vesk::startSoundWindow(m_editor, *m_ui, *m_measurements);
    if (!editing)
        return;
    SoundWindow window(
        this, std::move(*editing),
        [this](const std::string &path, const vesk::SoundEdit &edit) { vesk::playEdited(m_editor, *m_ui, path, edit); },
        [this] { vesk::stop(*m_ui); });
    if (window.exec() == QDialog::Accepted)
        vesk::keepSoundEdit(m_editor, *m_ui, slot, window.edit());
}

void MainWindow::onMatchLoudness()
{
    vesk::matchThemeLoudness(m_editor, *m_ui, *m_measurements);
}

void MainWindow::onSettings()
{
    // exec() destroys the window when it closes, whichever way it closes.
    settingsWindow()->exec();
}

void MainWindow::onAbout()
{
    (new AboutBox(this))->exec();
}

void MainWindow::dragEnterEvent(QDragEnterEvent *event)
{
    if (draggedFile(event->mimeData()))
        event->acceptProposedAction();
}

// A project or a package (a folder, a one-file package) dropped anywhere
// opens; any other file dropped on a slot's button or label becomes that
// slot's file, as "Add File" would make it.
void MainWindow::dropEvent(QDropEvent *event)
{
    const auto file = draggedFile(event->mimeData());
    if (!file)
        return;
    event->acceptProposedAction();
    if (vesk::isProjectFileName(*file)) {
        openProject(*file);
        return;
    }
    if (vesk::isPackagePath(*file)) {
        vesk::openPackage(m_editor, *m_ui, *file);
        return;
    }
    for (QWidget *w = childAt(event->position().toPoint()); w && w != this; w = w->parentWidget()) {
        const QVariant index = w->property(kSlotProperty);
        if (index.isValid()) {
            vesk::chooseSlotFile(m_editor, *m_ui, index.toInt(), *file);
            return;
        }
    }
}
