#include "listenwindow.h"

#include "controls.h"
#include "dialogs.h"
#include "installerlayout.h"
#include "localtext.h"
#include "soundplayer.h"

#include <QListView>
#include <QPushButton>
#include <QStringListModel>

using platform::control;

ListenWindow::ListenWindow(QWidget *parent, std::vector<vpak::PackageSound> sounds, platform::SoundOutput &sound,
                           platform::Dialogs &dialogs)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint
                          | Qt::MSWindowsFixedSizeDialogHint),
      m_sounds(std::move(sounds)), m_sound(sound), m_dialogs(dialogs)
{
    setObjectName(QStringLiteral("listenWindow"));
    setWindowTitle(QString::fromLatin1(vpak::kListenCaption));
    setFixedSize(platform::pixels(vpak::kListenClientWidth), platform::pixels(vpak::kListenClientHeight));
    platform::buildControls(this, vpak::listenControls());
    m_list = control<QListView>(this, QStringLiteral("soundList"));
    QStringList rows;
    for (const vpak::PackageSound &entry : m_sounds)
        rows << platform::fromLocal(vpak::listenRow(entry));
    m_list->setModel(new QStringListModel(rows, this));
    m_list->setCurrentIndex(m_list->model()->index(0, 0));
    auto *playButton = control<QPushButton>(this, QStringLiteral("playButton"));
    auto *stopButton = control<QPushButton>(this, QStringLiteral("stopButton"));
    // Return plays, wherever the focus is; Escape closes.
    stopButton->setAutoDefault(false);
    playButton->setDefault(true);
    connect(playButton, &QPushButton::clicked, this, &ListenWindow::play);
    connect(stopButton, &QPushButton::clicked, this, [this] { m_sound.play(std::string()); });
    // Return reaches Play as the default button; a double click plays too.
    connect(m_list, &QListView::doubleClicked, this, &ListenWindow::play);
    m_list->setFocus();
    platform::fitToScreen(this);
}

ListenWindow::~ListenWindow()
{
    m_sound.play(std::string());
}

void ListenWindow::play()
{
    const int row = m_list->currentIndex().row();
    if (row < 0 || static_cast<size_t>(row) >= m_sounds.size())
        return;
    m_sound.play(m_sounds[static_cast<size_t>(row)].file);
    if (const std::string why = m_sound.unavailable(); !why.empty())
        m_dialogs.message(this, QString::fromStdString(why), QString::fromLatin1(vpak::kMessageCaption));
}
