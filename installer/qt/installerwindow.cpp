#include "installerwindow.h"

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

    Label1 = control<QLabel>(this, QStringLiteral("Label1"));
    Label2 = control<QLabel>(this, QStringLiteral("Label2"));
    Label3 = control<QLabel>(this, QStringLiteral("Label3"));
    Label4 = control<QLabel>(this, QStringLiteral("Label4"));
    Label5 = control<QLabel>(this, QStringLiteral("Label5"));
    Label6 = control<QLabel>(this, QStringLiteral("Label6"));
    Label7 = control<QLabel>(this, QStringLiteral("Label7"));
    Label8 = control<QLabel>(this, QStringLiteral("Label8"));
    m_picker = new platform::DirectoryPicker(this, vpak::kInstallerPicker, dialogs);
    auto *install = control<QPushButton>(this, QStringLiteral("Command2"));
    auto *cancel = control<QPushButton>(this, QStringLiteral("Command3"));
    Command4 = control<QPushButton>(this, QStringLiteral("Command4"));
    m_listen = control<QPushButton>(this, QStringLiteral("listenButton"));

    QFont valueFont(QString::fromLatin1(vpak::kValueFont));
    valueFont.setPointSizeF(vpak::kDesignFontSize);
    for (const char *name : vpak::kValueLabels)
        control<QLabel>(this, QString::fromLatin1(name))->setFont(valueFont);
    setTextColour(Label7, {0, 0, 0});

    std::vector<QWidget *> order;
    for (const char *name : vpak::installerFocusOrder())
        order.push_back(control<QWidget>(this, QString::fromLatin1(name)));
    platform::setFocusOrder(order);

    connect(install, &QPushButton::clicked, this, &InstallerWindow::Command2_Click);
    connect(cancel, &QPushButton::clicked, this, &InstallerWindow::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &InstallerWindow::Command4_Click);
    connect(m_listen, &QPushButton::clicked, this, &InstallerWindow::listen);
    // Restore is offered only where there is something to restore.
    connect(m_picker->pathBox(), &QLineEdit::textChanged, this, &InstallerWindow::showRestoreState);

    platform::fitToScreen(this);
    Form_Load();
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
    ListenWindow window(this, vpak::packageSounds(package), *m_sound);
    window.exec();
}

void InstallerWindow::Form_Load()
{
    m_picker->open(QString());
    // A package without sounds has nothing to listen to.
    m_listen->setEnabled(!vpak::packageSounds(platform::toLocal(m_programDirectory)).empty());
    showRestoreState();
    readDescription();
    // No picture, or none that can be shown: the background colour alone.
    m_picture = platform::loadPicture(vesk::joinPath(platform::toLocal(m_programDirectory), "bgimage.jpg"))
                    .value_or(QImage());
}

void InstallerWindow::readDescription()
{
    const vesk::Result<vesk::ThemeReading> read
        = vesk::readThemeDescription(vesk::joinPath(platform::toLocal(m_programDirectory), "theme.cfg"));
    if (!read)
        return;
    const vpak::ThemeLook look = vpak::themeLook(*read);
    const std::pair<QLabel *, const std::optional<std::string> *> texts[]
        = {{Label1, &look.name}, {Label2, &look.email}, {Label3, &look.webpage}, {Label7, &look.themename}};
    for (const auto &[label, text] : texts) {
        if (*text)
            label->setText(platform::fromText(**text));
    }
    if (look.fontSize) {
        for (QLabel *label : {Label1, Label2, Label3, Label7}) {
            QFont font = label->font();
            font.setPointSizeF(*look.fontSize);
            label->setFont(font);
        }
    }
    if (look.captionColour) {
        for (QLabel *label : {Label1, Label2, Label4, Label5, Label6, Label8})
            setTextColour(label, *look.captionColour);
    }
    if (look.accentColour) {
        setTextColour(Label3, *look.accentColour);
        setTextColour(Label7, *look.accentColour);
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

void InstallerWindow::Command2_Click()
{
    QtInstallerUi ui(this, m_dialogs, m_interpreter);
    const bool completed = vpak::install(platform::toLocal(m_programDirectory), m_picker->localPath(), ui);
    showRestoreState();
    if (completed)
        close();
}

void InstallerWindow::Command4_Click()
{
    QtInstallerUi ui(this, m_dialogs, m_interpreter);
    vpak::restore(m_picker->localPath(), ui);
    showRestoreState();
}

void InstallerWindow::showRestoreState()
{
    Command4->setEnabled(vesk::hasBackup(m_picker->localPath()));
}

void InstallerWindow::Command3_Click()
{
    close();
}
