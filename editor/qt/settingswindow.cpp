#include "settingswindow.h"

#include "controls.h"
#include "dialogs.h"
#include "directorypicker.h"
#include "dirlist.h"
#include "drivelist.h"
#include "editorlayout.h"
#include "editorprocedures.h"
#include "localtext.h"
#include "paths.h"
#include "settingsfile.h"

#include <QDir>
#include <QLineEdit>
#include <QPushButton>

using platform::control;
using platform::ControlRow;
using platform::Kind;

SettingsWindow::SettingsWindow(const QString &settingsFile, const std::optional<std::string> &gameDirectory,
                               platform::Dialogs &dialogs, QWidget *owner)
    : QDialog(owner, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint), m_settingsFile(settingsFile),
      m_current(gameDirectory), m_dialogs(dialogs)
{
    setObjectName(QStringLiteral("SettingsWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QString());
    setFixedSize(platform::pixels(vesk::kSettingsClientWidth), platform::pixels(vesk::kSettingsClientHeight));
    platform::buildControls(this, vesk::settingsControls());
    m_picker = new platform::DirectoryPicker(this, vesk::kSettingsPicker, dialogs);

    pathBox = m_picker->pathBox();
    auto *ok = control<QPushButton>(this, QStringLiteral("okButton"));
    auto *cancel = control<QPushButton>(this, QStringLiteral("cancelButton"));

    // Neither button answers Enter or Esc.
    for (QPushButton *button : {m_picker->makeDirectoryButton(), ok, cancel}) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }
    platform::setFocusOrder(this, vesk::settingsFocusOrder());

    connect(ok, &QPushButton::clicked, this, &SettingsWindow::onOk);
    connect(cancel, &QPushButton::clicked, this, &SettingsWindow::onCancel);

    platform::fitToScreen(this);
    showDirectoryInForce();
}

void SettingsWindow::showDirectoryInForce()
{
    // The working directory is only where browsing starts; it becomes the
    // game directory only when the player presses OK.
    const QString current = m_current ? platform::fromLocal(*m_current) : QString();
    m_picker->openLocal(m_current.value_or(std::string()));
    if (m_current && m_picker->dirList()->localPath() != platform::localDirectory(*m_current))
        pathBox->setText(current);
}

// The bytes of what pathBox shows. A value shown unchanged keeps the bytes it
// came with, even where they are no text of the code page.
std::string SettingsWindow::typedDirectory() const
{
    if (m_current && pathBox->text() == platform::fromLocal(*m_current))
        return *m_current;
    return m_picker->localPath();
}

void SettingsWindow::onOk()
{
    std::optional<std::string> chosen;
    const std::optional<std::string> refused
        = vesk::acceptGameDirectory(chosen, platform::toLocal(m_settingsFile), typedDirectory(),
                                    platform::toLocal(platform::nativeDirectory(QDir::homePath())));
    if (refused) {
        // The choice stays in the window, so the player can retry or cancel.
        m_dialogs.message(this, platform::fromLocal(*refused), QString());
        return;
    }
    m_chosen = *chosen;
    Q_EMIT gameDirectoryChosen();
    accept();
}

void SettingsWindow::onCancel()
{
    reject();
}
