#include "soundbrowserwindow.h"

#include "controls.h"
#include "dialogs.h"
#include "displaytext.h"
#include "editorlayout.h"
#include "localtext.h"
#include "paths.h"
#include "slotlabel.h"
#include "slotsound.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QDrag>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStyledItemDelegate>
#include <QTimer>
#include <QTreeWidget>
#include <QUrl>

#include <filesystem>

using platform::control;

namespace {

enum Column {
    Name,
    Length,
    Loudness,
    TruePeak,
    Picture,
    Verdict
};
constexpr int kIndexRole = Qt::UserRole, kSortRole = Qt::UserRole + 1;
constexpr qint64 kSliceMs = 20; // the longest the rows hold the window at a time

// Rows sort by their figures where a column has them, by name otherwise;
// rows without a figure go last.
class Row final : public QTreeWidgetItem
{
public:
    using QTreeWidgetItem::QTreeWidgetItem;
    bool operator<(const QTreeWidgetItem &other) const override
    {
        const int column = treeWidget() ? treeWidget()->sortColumn() : 0;
        const QVariant mine = data(column, kSortRole), theirs = other.data(column, kSortRole);
        if (column != Name && column != Verdict && (mine.isValid() || theirs.isValid())) {
            if (mine.isValid() != theirs.isValid())
                return mine.isValid();
            return mine.toDouble() < theirs.toDouble();
        }
        return text(column).compare(other.text(column), Qt::CaseInsensitive) < 0;
    }
};

// The picture column: the sound at its true level.
class PictureDelegate final : public QStyledItemDelegate
{
public:
    PictureDelegate(QObject *parent, std::function<vesk::SoundAnalyses::Entry(size_t)> sound)
        : QStyledItemDelegate(parent), m_sound(std::move(sound))
    {}
    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::paint(painter, option, index);
        const QVariant row = index.data(kIndexRole);
        if (!row.isValid())
            return;
        const vesk::SoundAnalyses::Entry sound = m_sound(row.toULongLong());
        if (!sound || !sound->ok())
            return;
        const QRect box = option.rect.adjusted(2, 2, -2, -2);
        paintWaveform(*painter, box, **sound, 0, (*sound)->frames, 1.0, option.palette);
    }

private:
    std::function<vesk::SoundAnalyses::Entry(size_t)> m_sound;
};

} // namespace

SoundBrowserWindow::SoundBrowserWindow(QWidget *owner, platform::Dialogs &dialogs, Editor editor,
                                       const std::string &folder, std::string settingsFile,
                                       const std::string &cacheFile)
    : QDialog(owner), m_dialogs(dialogs), m_editor(std::move(editor)), m_settingsFile(std::move(settingsFile)),
      m_generation(std::make_shared<std::atomic<unsigned>>(0)),
      m_cache(std::make_unique<vesk::AnalysisCache>(cacheFile))
{
    m_cache->load();
    m_analyses = std::make_unique<vesk::SoundAnalyses>(
        [this] {
            // From a worker thread: taken up by the window, once for however
            // many arrive meanwhile.
            if (!m_arrivedPending.exchange(true))
                QMetaObject::invokeMethod(
                    this,
                    [this] {
                        m_arrivedPending = false;
                        figuresArrived();
                    },
                    Qt::QueuedConnection);
        },
        0, m_cache->analyse());
    setObjectName(QStringLiteral("SoundBrowser"));
    setWindowTitle(QString::fromLatin1(vesk::kSoundBrowserCaption));
    setModal(false);
    setFixedSize(platform::pixels(vesk::kSoundBrowserClientWidth), platform::pixels(vesk::kSoundBrowserClientHeight));
    platform::buildControls(this, vesk::soundBrowserControls());
    m_target = control<QLabel>(this, QStringLiteral("targetLabel"));
    m_folder = control<QLineEdit>(this, QStringLiteral("folderBox"));
    m_filter = control<QLineEdit>(this, QStringLiteral("filterBox"));
    m_subfolders = control<QCheckBox>(this, QStringLiteral("subfoldersBox"));
    m_playOnSelect = control<QCheckBox>(this, QStringLiteral("playOnSelectBox"));
    m_nextSlot = control<QCheckBox>(this, QStringLiteral("nextSlotBox"));
    m_list = control<QTreeWidget>(this, QStringLiteral("soundList"));

    QStringList headers;
    for (const char *column : vesk::kSoundBrowserColumns)
        headers << QString::fromLatin1(column);
    m_list->setHeaderLabels(headers);
    const int widths[] = {190, 60, 80, 72, 70};
    for (int c = 0; c < Verdict; ++c)
        m_list->setColumnWidth(c, widths[c]);
    m_list->setSortingEnabled(true);
    m_list->sortByColumn(Name, Qt::AscendingOrder);
    m_list->setItemDelegateForColumn(Picture, new PictureDelegate(m_list, [this](size_t index) {
                                         return index < m_files.size() ? m_analyses->find(m_files[index].path)
                                                                       : vesk::SoundAnalyses::Entry();
                                     }));
    m_list->installEventFilter(this);
    connect(m_list->verticalScrollBar(), &QScrollBar::valueChanged, this, &SoundBrowserWindow::measureShownFirst);
    connect(m_list->header(), &QHeaderView::sortIndicatorChanged, this, &SoundBrowserWindow::measureShownFirst,
            Qt::QueuedConnection);
    m_list->viewport()->installEventFilter(this);
    m_playOnSelect->setChecked(vesk::readBrowserSettings(m_settingsFile).playOnSelect);

    m_rowsLater = new QTimer(this);
    m_rowsLater->setSingleShot(true);
    connect(m_rowsLater, &QTimer::timeout, this, &SoundBrowserWindow::makeRows);
    m_verdictsLater = new QTimer(this);
    m_verdictsLater->setSingleShot(true);
    connect(m_verdictsLater, &QTimer::timeout, this, &SoundBrowserWindow::continueVerdicts);
    m_showLater = new QTimer(this);
    m_showLater->setSingleShot(true);
    connect(m_showLater, &QTimer::timeout, this, &SoundBrowserWindow::showFigures);
    m_playing = new QTimer(this);
    m_playing->setSingleShot(true);
    connect(m_folder, &QLineEdit::returnPressed, this, [this] { openFolder(platform::toLocal(m_folder->text())); });
    connect(control<QPushButton>(this, QStringLiteral("chooseFolderButton")), &QPushButton::clicked, this, [this] {
        if (const std::optional<QString> chosen = m_dialogs.folderName(this, platform::fromLocal(m_listedFolder)))
            openFolder(platform::toLocal(*chosen));
    });
    connect(m_subfolders, &QCheckBox::toggled, this, [this] { openFolder(m_listedFolder); });
    connect(m_filter, &QLineEdit::textChanged, this, &SoundBrowserWindow::filter);
    connect(m_playOnSelect, &QCheckBox::toggled, this, &SoundBrowserWindow::keepSettings);
    connect(m_list, &QTreeWidget::currentItemChanged, this, &SoundBrowserWindow::onSelected);
    connect(m_list, &QTreeWidget::itemDoubleClicked, this, &SoundBrowserWindow::useSelected);
    connect(control<QPushButton>(this, QStringLiteral("useButton")), &QPushButton::clicked, this,
            &SoundBrowserWindow::useSelected);
    platform::setFocusOrder(this, {"folderBox", "chooseFolderButton", "subfoldersBox", "filterBox", "soundList",
                                   "playOnSelectBox", "nextSlotBox", "useButton"});
    showTarget();
    openFolder(folder);
    m_list->setFocus();
}

SoundBrowserWindow::~SoundBrowserWindow()
{
    ++*m_generation;
    if (m_listing.valid())
        m_listing.wait();
    m_analyses.reset();
    // Where the cache cannot be kept, the figures are measured again next time.
    static_cast<void>(m_cache->save());
}

bool SoundBrowserWindow::openFolder(const std::string &folder)
{
    std::error_code ec;
    if (folder.empty() || !std::filesystem::is_directory(vesk::fsPath(folder), ec)) {
        m_dialogs.message(this, QString::fromStdString(vesk::displayText(folder) + " is no folder."),
                          QStringLiteral("VESK"));
        m_folder->setText(platform::fromLocal(m_listedFolder));
        return false;
    }
    m_listedFolder = folder;
    m_folder->setText(platform::fromLocal(folder));
    stop();
    m_rowsLater->stop();
    m_list->clear();
    m_files.clear();
    m_items.clear();
    m_unmeasured.clear();
    m_analyses->request({});
    // The folder is listed off the window's thread; a listing of another
    // folder stops at once.
    const unsigned generation = ++*m_generation;
    if (m_listing.valid())
        m_listing.wait();
    m_listing = std::async(
        std::launch::async, [this, generation, folder, counter = m_generation, subfolders = m_subfolders->isChecked()] {
            std::vector<vesk::BrowsedFile> files
                = vesk::listSounds(folder, subfolders, [&] { return counter->load() == generation; });
            QMetaObject::invokeMethod(
                this, [this, generation, files = std::move(files)]() mutable { listed(generation, std::move(files)); },
                Qt::QueuedConnection);
        });
    keepSettings();
    return true;
}

void SoundBrowserWindow::listed(unsigned generation, std::vector<vesk::BrowsedFile> files)
{
    if (generation != *m_generation)
        return;
    m_shownGeneration = generation;
    m_files = std::move(files);
    // Every file is asked for at once, in the rows' order; the rows follow.
    std::vector<std::string> paths;
    if (const std::optional<std::string> game = m_editor.gameFile(m_editor.targetSlot()))
        paths.push_back(*game);
    for (const vesk::BrowsedFile &file : m_files)
        if (file.problem.empty())
            paths.push_back(file.path);
    m_analyses->request(paths);
    m_list->setSortingEnabled(false);
    makeRows();
}

void SoundBrowserWindow::makeRows()
{
    // A few milliseconds' worth at a time, in name order, which is the
    // order the list starts in: a folder of 100,000 sounds is shown as it
    // is made, with the keys answered between the slices. The list sorts
    // once they are all in.
    QElapsedTimer slice;
    slice.start();
    QList<QTreeWidgetItem *> rows;
    while (m_items.size() < m_files.size() && slice.elapsed() < kSliceMs) {
        for (const size_t end = std::min(m_files.size(), m_items.size() + 256); m_items.size() < end;) {
            const size_t i = m_items.size();
            auto *row = new Row;
            row->setText(Name, QString::fromStdString(vesk::displayText(m_files[i].name)));
            row->setToolTip(Name, platform::fromLocal(m_files[i].path));
            row->setData(Name, kIndexRole, static_cast<qulonglong>(i));
            row->setData(Picture, kIndexRole, static_cast<qulonglong>(i));
            if (!m_files[i].problem.empty())
                row->setText(Verdict, QString::fromStdString("cannot be used: " + m_files[i].problem));
            else
                m_unmeasured.push_back(i);
            m_items.push_back(row);
            rows << row;
        }
    }
    m_list->addTopLevelItems(rows);
    if (m_items.size() < m_files.size()) {
        m_rowsLater->start(0);
    } else {
        m_list->setSortingEnabled(true);
        filter();
    }
    measureShownFirst();
    showFigures();
}

void SoundBrowserWindow::measureShownFirst()
{
    std::vector<std::string> shown;
    const int bottom = m_list->viewport()->height();
    for (QTreeWidgetItem *row = m_list->itemAt(0, 0); row && m_list->visualItemRect(row).top() < bottom;
         row = m_list->itemBelow(row)) {
        const size_t index = row->data(Name, kIndexRole).toULongLong();
        if (index < m_files.size() && m_files[index].problem.empty())
            shown.push_back(m_files[index].path);
    }
    m_analyses->add(shown);
}

void SoundBrowserWindow::figuresArrived()
{
    // While a folder is measured, its rows are filled a few times a second
    // rather than for every sound: the window keeps its time for the keys,
    // and the processor for the measuring. The last ones, those under way
    // once nothing waits, show at once.
    constexpr qint64 kShowEvery = 150; // ms
    const qint64 since = m_shown.isValid() ? m_shown.elapsed() : kShowEvery;
    if (since >= kShowEvery || !m_analyses->queued())
        showFigures();
    else if (!m_showLater->isActive())
        m_showLater->start(static_cast<int>(kShowEvery - since));
}

void SoundBrowserWindow::fill(size_t index, const vesk::SoundAnalyses::Entry &sound, bool judge,
                              const vesk::SoundAnalysis *game)
{
    QTreeWidgetItem *row = m_items[index];
    if (!sound->ok()) {
        row->setText(Verdict, QString::fromStdString("cannot be used: " + sound->error()));
        return;
    }
    const vesk::SoundAnalysis &figures = **sound;
    row->setText(Length, QString::fromStdString(vesk::lengthText(figures.seconds())));
    row->setData(Length, kSortRole, figures.seconds());
    const auto level = [&](Column column, const std::optional<double> &value, const char *unit) {
        row->setText(column,
                     value ? QString::fromStdString(vesk::levelText(*value) + " " + unit) : QStringLiteral("silent"));
        if (value)
            row->setData(column, kSortRole, *value);
    };
    level(Loudness, figures.loudness.integrated, "LUFS");
    level(TruePeak, figures.loudness.truePeak, "dBTP");
    if (judge) // else once the game's sound is measured
        row->setText(Verdict, QString::fromStdString(vesk::soundVerdict(*sound, game)));
}

void SoundBrowserWindow::showFigures()
{
    m_showLater->stop();
    m_shown.start();
    const std::optional<std::string> gameFile = m_editor.gameFile(m_editor.targetSlot());
    const vesk::SoundAnalyses::Entry game = gameFile ? m_analyses->find(*gameFile) : nullptr;
    const vesk::SoundAnalysis *against = game && game->ok() ? &game->value() : nullptr;
    // A few milliseconds' worth of rows at a time: a folder of 100,000
    // sounds fills in slices, with the keys answered between them.
    QElapsedTimer slice;
    slice.start();
    bool more = false;
    std::vector<size_t> still = vesk::takeArrived(m_unmeasured, [&](size_t index) {
        if (slice.elapsed() >= kSliceMs) {
            more = true;
            return false;
        }
        const vesk::SoundAnalyses::Entry sound = m_analyses->stored(m_files[index].path);
        if (sound)
            fill(index, sound, !gameFile || game, against);
        return sound != nullptr;
    });
    if (more)
        m_showLater->start(0);
    const bool filled = still.size() != m_unmeasured.size();
    m_unmeasured = std::move(still);
    if (filled && m_unmeasured.empty())
        m_cache->saveInBackground(); // every figure of the folder, for the next time
    const bool gameMeasured = !gameFile || game;
    // Each row filled has its verdict; all of them anew once the game's
    // sound is measured.
    if (gameMeasured != m_gameMeasured) {
        m_gameMeasured = gameMeasured;
        showTarget();
    }
    m_list->viewport()->update();
}

void SoundBrowserWindow::showVerdicts()
{
    m_verdictsFrom = 0;
    continueVerdicts();
}

void SoundBrowserWindow::continueVerdicts()
{
    const std::optional<std::string> gameFile = m_editor.gameFile(m_editor.targetSlot());
    const vesk::SoundAnalyses::Entry game = gameFile ? m_analyses->stored(*gameFile) : nullptr;
    if (gameFile && !game)
        return; // until the game's sound is measured
    const vesk::SoundAnalysis *against = game && game->ok() ? &game->value() : nullptr;
    QElapsedTimer slice;
    slice.start();
    for (; m_verdictsFrom < m_items.size(); ++m_verdictsFrom) {
        if (slice.elapsed() >= kSliceMs) {
            m_verdictsLater->start(0); // the rest after the keys waiting
            return;
        }
        const vesk::BrowsedFile &file = m_files[m_verdictsFrom];
        if (!file.problem.empty())
            continue;
        if (const vesk::SoundAnalyses::Entry sound = m_analyses->stored(file.path))
            m_items[m_verdictsFrom]->setText(Verdict, QString::fromStdString(vesk::soundVerdict(*sound, against)));
    }
}

void SoundBrowserWindow::showTarget()
{
    const int slot = m_editor.targetSlot();
    const std::optional<std::string> gameFile = m_editor.gameFile(slot);
    vesk::SoundAnalyses::Entry game;
    if (gameFile) {
        game = m_analyses->find(*gameFile);
        if (!game)
            m_analyses->add({*gameFile});
    }
    m_gameMeasured = !gameFile || game;
    m_target->setText(QString::fromStdString(vesk::browserTarget(slot, gameFile, game.get())));
    showVerdicts();
}

bool SoundBrowserWindow::measured() const
{
    return m_shownGeneration == *m_generation && m_items.size() == m_files.size() && m_unmeasured.empty()
           && m_gameMeasured;
}

const vesk::BrowsedFile *SoundBrowserWindow::selectedFile() const
{
    const QTreeWidgetItem *row = m_list->currentItem();
    if (!row)
        return nullptr;
    const size_t index = row->data(Name, kIndexRole).toULongLong();
    return index < m_files.size() ? &m_files[index] : nullptr;
}

void SoundBrowserWindow::onSelected()
{
    stop();
    // The row the list makes current as it gets the focus is not selected,
    // and plays only when the player selects it.
    if (m_playOnSelect->isChecked() && m_list->currentItem() && m_list->currentItem()->isSelected())
        playSelected();
}

void SoundBrowserWindow::playSelected()
{
    const vesk::BrowsedFile *file = selectedFile();
    if (!file || !file->problem.empty())
        return;
    m_editor.play(file->path);
    // Playing for as long as the sound lasts, as far as Escape knows.
    m_playing->start(vesk::playingMilliseconds(m_analyses->find(file->path).get()));
}

void SoundBrowserWindow::stop()
{
    if (m_playing && m_playing->isActive()) {
        m_playing->stop();
        m_editor.play(std::string());
    }
}

void SoundBrowserWindow::useSelected()
{
    const vesk::BrowsedFile *file = selectedFile();
    if (!file || !file->problem.empty())
        return;
    const std::string path = file->path;
    stop();
    m_editor.use(path);
    if (m_nextSlot->isChecked())
        m_editor.nextSlot();
    showTarget();
}

void SoundBrowserWindow::filter()
{
    const QString wanted = m_filter->text();
    // Only the rows that change: each costs the list a new layout.
    for (QTreeWidgetItem *row : m_items)
        if (const bool hide = !wanted.isEmpty() && !row->text(Name).contains(wanted, Qt::CaseInsensitive);
            hide != row->isHidden())
            row->setHidden(hide);
    measureShownFirst();
}

void SoundBrowserWindow::keepSettings()
{
    vesk::BrowserSettings settings;
    if (!m_listedFolder.empty())
        settings.folder = m_listedFolder;
    settings.playOnSelect = m_playOnSelect->isChecked();
    // A place where it cannot be kept costs only the memory of it.
    static_cast<void>(vesk::writeBrowserSettings(m_settingsFile, settings));
}

bool SoundBrowserWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_list && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        switch (key->key()) {
        case Qt::Key_Down:
        case Qt::Key_Up:
            // Nothing selected yet: the first row shown is, whichever row
            // the list took as current when it got the focus.
            if (m_list->selectedItems().isEmpty()) {
                for (QTreeWidgetItem *row = m_list->topLevelItem(0); row; row = m_list->itemBelow(row)) {
                    if (!row->isHidden()) {
                        {
                            const QSignalBlocker quiet(m_list);
                            m_list->setCurrentItem(row);
                            row->setSelected(true);
                        }
                        onSelected();
                        return true;
                    }
                }
            }
            break;
        case Qt::Key_Space:
            playSelected();
            return true;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            useSelected();
            return true;
        default:
            break;
        }
    }
    const bool mouseEvent = event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseMove;
    if (watched == m_list->viewport() && mouseEvent) {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (event->type() == QEvent::MouseButtonPress && mouse->button() == Qt::LeftButton) {
            m_dragStart = mouse->position().toPoint();
        } else if (event->type() == QEvent::MouseMove && (mouse->buttons() & Qt::LeftButton)
                   && (mouse->position().toPoint() - m_dragStart).manhattanLength()
                          >= QApplication::startDragDistance()) {
            // A row dragged onto a slot in the main window, as a file from
            // the file manager.
            const vesk::BrowsedFile *file = selectedFile();
            if (file && file->problem.empty()) {
                auto *carried = new QMimeData;
                carried->setUrls({QUrl::fromLocalFile(platform::fromLocal(file->path))});
                auto *drag = new QDrag(this);
                drag->setMimeData(carried);
                drag->exec(Qt::CopyAction);
                return true;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

// Escape stops a playing sound, and closes the window when nothing plays.
void SoundBrowserWindow::reject()
{
    if (m_playing->isActive()) {
        stop();
        return;
    }
    keepSettings();
    QDialog::reject();
}
