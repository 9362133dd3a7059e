#include "installerwindow.h"
#include "themefiles.h"

#include "commandinterpreter.h"
#include "controls.h"
#include "dialogs.h"
#include "directorypicker.h"
#include "dirlist.h"
#include "drivelist.h"
#include "gamebackup.h"
#include "installerlayout.h"
#include "installprocedure.h"
#include "listenwindow.h"
#include "localtext.h"
#include "paths.h"
#include "picture.h"
#include "progresswindow.h"
#include "soundplayer.h"
#include "themedescription.h"

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>

#include <chrono>

using platform::control;
using platform::ControlRow;
using platform::Kind;

namespace {

void setTextColour(QLabel *label, const vesk::Rgb &rgb)
{
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, QColor(rgb.red, rgb.green, rgb.blue));
    label->setPalette(palette);
}

// The install's hold on this window: its message boxes and questions go
// through the dialogs seam, and the batch runs with the window disabled.
class QtInstallerUi final : public vpak::InstallerUi
{
public:
    QtInstallerUi(QWidget *window, platform::Dialogs &dialogs, platform::CommandInterpreter &interpreter)
        : m_window(window), m_dialogs(dialogs), m_interpreter(interpreter)
    {}
    void message(const std::string &text) override
    {
        m_dialogs.message(m_window, platform::fromLocal(text), QString::fromLatin1(vpak::kMessageCaption));
    }
    bool ask(const std::string &text) override
    {
        return m_dialogs.question(m_window, platform::fromLocal(text), QString::fromLatin1(vpak::kMessageCaption),
                                  platform::Dialogs::Buttons::YesNo)
               == platform::Dialogs::Answer::Yes;
    }
    vesk::Result<BatchEnd> runBatch(const std::string &batch, const std::string &directory,
                                    std::chrono::milliseconds limit) override
    {
        m_window->setEnabled(false); // no second install while this one runs
        const auto ran = m_interpreter.run(batch, directory, limit);
        m_window->setEnabled(true);
        if (!ran)
            return ran.status();
        return *ran == platform::CommandInterpreter::End::Finished ? BatchEnd::Finished : BatchEnd::StillRunning;
    }
    void waitForBatchEnd() override
    {
        m_window->setEnabled(false);
        m_interpreter.waitForEnd();
        m_window->setEnabled(true);
    }
    std::unique_ptr<vesk::Progress> startProgress(const std::string &title) override
    {
        return std::make_unique<platform::ProgressWindow>(m_window, platform::fromLocal(title));
    }

private:
    QWidget *m_window;
    platform::Dialogs &m_dialogs;
    platform::CommandInterpreter &m_interpreter;
};

} // namespace

InstallerWindow::InstallerWindow(const QString &programDirectory, platform::Dialogs &dialogs,
                                 platform::CommandInterpreter &interpreter, QWidget *parent,
                                 platform::SoundOutput *sound)
    : QWidget(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
                          | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      m_programDirectory(programDirectory), m_dialogs(dialogs), m_interpreter(interpreter), m_sound(sound)
{
    setObjectName(QStringLiteral("InstallerWindow"));
    setWindowTitle(QString::fromLatin1(vpak::kWindowCaption));
    setFixedSize(platform::pixels(vpak::kClientWidth), platform::pixels(vpak::kClientHeight));
    platform::buildControls(this, vpak::installerControls());

    m_picker = new platform::DirectoryPicker(this, vpak::kInstallerPicker, dialogs);
    auto *install = control<QPushButton>(this, QStringLiteral("installButton"));
    auto *cancel = control<QPushButton>(this, QStringLiteral("cancelButton"));
    restoreButton = control<QPushButton>(this, QStringLiteral("restoreButton"));
    m_listen = control<QPushButton>(this, QStringLiteral("listenButton"));

    QFont valueFont(QString::fromLatin1(vpak::kValueFont));
    valueFont.setPointSizeF(vpak::kDesignFontSize);
    for (const char *name : vpak::kValueLabels)
        control<QLabel>(this, QString::fromLatin1(name))->setFont(valueFont);
    setTextColour(control<QLabel>(this, QStringLiteral("themeNameLabel")), {0, 0, 0});

    std::vector<QWidget *> order;
    for (const char *name : vpak::installerFocusOrder())
        order.push_back(control<QWidget>(this, QString::fromLatin1(name)));
    platform::setFocusOrder(order);

    connect(install, &QPushButton::clicked, this, &InstallerWindow::onInstall);
    connect(cancel, &QPushButton::clicked, this, &InstallerWindow::onCancel);
    connect(restoreButton, &QPushButton::clicked, this, &InstallerWindow::onRestore);
    connect(m_listen, &QPushButton::clicked, this, &InstallerWindow::listen);
    // Restore is offered only where there is something to restore.
    connect(m_picker->pathBox(), &QLineEdit::textChanged, this, &InstallerWindow::showRestoreState);

    platform::fitToScreen(this);
    showPackage();
}

InstallerWindow::~InstallerWindow() = default;

void InstallerWindow::listen()
{
    const std::string package = platform::toLocal(m_programDirectory);
    bool cancelled = false;
    std::optional<std::string> refused;
    {
        platform::ProgressWindow progress(this, QString::fromLatin1(vpak::kListenCaption));
        refused = vpak::listenRefusal(package, progress, cancelled);
    }
    if (refused)
        m_dialogs.message(this, platform::fromLocal(*refused), QString::fromLatin1(vpak::kMessageCaption));
    if (refused || cancelled)
        return;
    if (!m_sound) {
        m_ownSound = std::make_unique<platform::SoundPlayer>();
        m_sound = m_ownSound.get();
    }
    ListenWindow window(this, vpak::packageSounds(package), *m_sound, m_dialogs);
    window.exec();
}

void InstallerWindow::showPackage()
{
    m_picker->open(QString());
    // A package without sounds has nothing to listen to.
    m_listen->setEnabled(!vpak::packageSounds(platform::toLocal(m_programDirectory)).empty());
    showRestoreState();
    readDescription();
    // No picture, or none that can be shown: the background colour alone.
    m_picture = platform::loadPicture(vesk::joinPath(platform::toLocal(m_programDirectory), vesk::kPackagePicture))
                    .value_or(QImage());
}

void InstallerWindow::readDescription()
{
    const vesk::Result<vesk::ThemeReading> read
        = vesk::readThemeDescription(vesk::joinPath(platform::toLocal(m_programDirectory), vesk::kThemeDescription));
    if (!read)
        return;
    const vpak::ThemeLook look = vpak::themeLook(*read);
    for (const vpak::LabelLook &shown : look.labels) {
        QLabel *label = control<QLabel>(this, QString::fromLatin1(shown.label));
        if (shown.text)
            label->setText(platform::fromText(*shown.text));
        if (shown.colour)
            setTextColour(label, *shown.colour);
    }
    if (look.fontSize) {
        for (const char *name : vpak::kValueLabels) {
            QLabel *label = control<QLabel>(this, QString::fromLatin1(name));
            QFont font = label->font();
            font.setPointSizeF(*look.fontSize);
            label->setFont(font);
        }
    }
    if (look.background) {
        QPalette background = palette();
        background.setColor(QPalette::Window,
                            QColor(look.background->red, look.background->green, look.background->blue));
        setPalette(background);
    }
}

void InstallerWindow::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Window));
    // At its own size from the top left corner: neither stretched nor tiled.
    if (!m_picture.isNull())
        painter.drawImage(QPoint(0, 0), m_picture);
}

void InstallerWindow::onInstall()
{
    QtInstallerUi ui(this, m_dialogs, m_interpreter);
    const bool completed = vpak::install(platform::toLocal(m_programDirectory), m_picker->localPath(), ui);
    showRestoreState();
    if (completed)
        close();
}

void InstallerWindow::onRestore()
{
    QtInstallerUi ui(this, m_dialogs, m_interpreter);
    vpak::restore(m_picker->localPath(), ui);
    showRestoreState();
}

void InstallerWindow::showRestoreState()
{
    restoreButton->setEnabled(vesk::hasBackup(m_picker->localPath()));
}

void InstallerWindow::onCancel()
{
    close();
}
