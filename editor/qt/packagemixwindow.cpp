#include "packagemixwindow.h"

#include "controls.h"
#include "dialogprompts.h"
#include "dialogs.h"
#include "editorlayout.h"
#include "localtext.h"
#include "soundbrowser.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>

using platform::control;

PackageMixWindow::PackageMixWindow(QWidget *owner, platform::Dialogs &dialogs, Editor editor,
                                   const vesk::SlotValues &theme)
    : QDialog(owner, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint), m_dialogs(dialogs), m_editor(std::move(editor)),
      m_mix(std::make_unique<vesk::PackageMix>(theme)), m_rows(vesk::slotsOnScreen())
{
    m_analyses = std::make_unique<vesk::SoundAnalyses>([this] {
        // Figures arrive on the threads; the cells are filled once for all
        // that arrived meanwhile.
        if (!m_arrivedPending.exchange(true))
            QMetaObject::invokeMethod(
                this,
                [this] {
                    m_arrivedPending = false;
                    showCells();
                },
                Qt::QueuedConnection);
    });
    setObjectName(QStringLiteral("PackageMixWindow"));
    setWindowTitle(QString::fromLatin1(vesk::kPackageMixCaption));
    setFixedSize(platform::pixels(vesk::kPackageMixClientWidth), platform::pixels(vesk::kPackageMixClientHeight));
    platform::buildControls(this, vesk::packageMixControls());
    m_grid = control<QTableWidget>(this, QStringLiteral("soundGrid"));
    m_grid->setRowCount(vesk::kSlotCount);
    m_grid->horizontalHeader()->setDefaultSectionSize(platform::pixels(2880));
    m_grid->verticalHeader()->setDefaultSectionSize(platform::pixels(300));
    m_grid->installEventFilter(this);
    m_playing = new QTimer(this);
    m_playing->setSingleShot(true);
    for (QPushButton *button : findChildren<QPushButton *>()) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }

    connect(m_grid, &QTableWidget::currentCellChanged, this, &PackageMixWindow::onCellChosen);
    connect(m_grid, &QTableWidget::cellDoubleClicked, this, &PackageMixWindow::useCurrent);
    connect(control<QPushButton>(this, QStringLiteral("addPackageButton")), &QPushButton::clicked, this,
            &PackageMixWindow::onAddPackage);
    connect(control<QPushButton>(this, QStringLiteral("useButton")), &QPushButton::clicked, this,
            &PackageMixWindow::useCurrent);
    connect(control<QPushButton>(this, QStringLiteral("useColumnButton")), &QPushButton::clicked, this,
            &PackageMixWindow::useColumn);
    connect(control<QPushButton>(this, QStringLiteral("okButton")), &QPushButton::clicked, this,
            &PackageMixWindow::onOk);
    connect(control<QPushButton>(this, QStringLiteral("cancelButton")), &QPushButton::clicked, this,
            &PackageMixWindow::reject);
    showCells();
    measure();
    platform::fitToScreen(this);
    m_grid->setFocus();
}

PackageMixWindow::~PackageMixWindow()
{
    m_analyses.reset(); // its threads end before the window's parts go
}

bool PackageMixWindow::addPackage(const std::string &path)
{
    const vesk::Status added = [&] {
        DialogPrompts prompts(m_dialogs, this);
        return m_mix->add(path, *prompts.startProgress(vesk::kPackageMixCaption));
    }();
    if (!added.ok()) {
        if (added.code() != vesk::ErrorCode::Cancelled)
            m_dialogs.message(this, platform::fromLocal(added.error()), QString());
        return false;
    }
    showCells();
    measure();
    return true;
}

// Every sound of the grid measured, the game's own first, then row by row.
void PackageMixWindow::measure()
{
    m_analyses->request(vesk::mixSoundsToMeasure(*m_mix, m_editor.gameFile));
}

void PackageMixWindow::showCells()
{
    const int columns = static_cast<int>(m_mix->columns());
    if (m_grid->columnCount() != columns) {
        m_grid->setColumnCount(columns);
        QStringList titles;
        for (int column = 0; column < columns; ++column)
            titles << platform::fromLocal(m_mix->title(static_cast<size_t>(column)));
        m_grid->setHorizontalHeaderLabels(titles);
    }
    QStringList rowTitles;
    for (int row = 0; row < vesk::kSlotCount; ++row) {
        const int slot = slotOfRow(row);
        rowTitles << QString::fromStdString(vesk::mixRowTitle(*m_mix, slot));
        const std::optional<std::string> gameFile = m_editor.gameFile(slot);
        const vesk::SoundAnalyses::Entry game = gameFile ? m_analyses->stored(*gameFile) : nullptr;
        const vesk::SoundAnalysis *gameSound = game && game->ok() ? &**game : nullptr;
        for (int column = 0; column < columns; ++column) {
            const std::optional<std::string> sound = m_mix->sound(slot, static_cast<size_t>(column));
            const vesk::SoundAnalyses::Entry figures = sound ? m_analyses->stored(*sound) : nullptr;
            const QString text = QString::fromStdString(
                vesk::mixCellText(*m_mix, slot, static_cast<size_t>(column), figures.get(), gameSound));
            QTableWidgetItem *item = m_grid->item(row, column);
            if (!item) {
                item = new QTableWidgetItem;
                m_grid->setItem(row, column, item);
            }
            if (item->text() != text)
                item->setText(text);
            QFont font = item->font();
            const bool chosen = m_mix->chosen(slot) == static_cast<size_t>(column);
            if (font.bold() != chosen) {
                font.setBold(chosen);
                item->setFont(font);
            }
        }
    }
    m_grid->setVerticalHeaderLabels(rowTitles);
}

bool PackageMixWindow::measured() const
{
    for (int row = 0; row < m_grid->rowCount(); ++row)
        for (int column = 0; column < m_grid->columnCount(); ++column)
            if (m_grid->item(row, column)->text().endsWith(QStringLiteral("measuring...")))
                return false;
    return true;
}

void PackageMixWindow::onCellChosen()
{
    stop();
    playCurrent();
}

void PackageMixWindow::playCurrent()
{
    if (m_grid->currentRow() < 0 || m_grid->currentColumn() < 0)
        return;
    const std::optional<std::string> sound
        = m_mix->sound(slotOfRow(m_grid->currentRow()), static_cast<size_t>(m_grid->currentColumn()));
    if (!sound)
        return;
    m_editor.play(*sound);
    // Playing for as long as the sound lasts, as far as Escape knows.
    m_playing->start(vesk::playingMilliseconds(m_analyses->stored(*sound).get()));
}

void PackageMixWindow::stop()
{
    if (m_playing->isActive()) {
        m_playing->stop();
        m_editor.play(std::string());
    }
}

void PackageMixWindow::useCurrent()
{
    if (m_grid->currentRow() < 0 || m_grid->currentColumn() < 0)
        return;
    m_mix->use(slotOfRow(m_grid->currentRow()), static_cast<size_t>(m_grid->currentColumn()));
    showCells();
}

void PackageMixWindow::useColumn()
{
    if (m_grid->currentColumn() < 0)
        return;
    m_mix->useColumn(static_cast<size_t>(m_grid->currentColumn()));
    showCells();
}

void PackageMixWindow::onAddPackage()
{
    const std::optional<QString> chosen
        = m_dialogs.openFileName(this, QString::fromLatin1(vesk::kPackageFilter), QString());
    if (chosen)
        addPackage(platform::toLocal(*chosen));
}

void PackageMixWindow::onOk()
{
    stop();
    if (m_editor.take(*m_mix))
        accept();
}

// Up, Down, Left and Right move and play (the grid's own keys); Space plays
// again, Return uses the cell, Escape stops what plays, and closes the
// window when nothing does.
bool PackageMixWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_grid && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        switch (key->key()) {
        case Qt::Key_Space:
            stop();
            playCurrent();
            return true;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            useCurrent();
            return true;
        default:
            break;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void PackageMixWindow::reject()
{
    if (m_playing->isActive()) {
        stop();
        return;
    }
    QDialog::reject();
}
