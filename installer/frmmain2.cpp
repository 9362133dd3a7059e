#include "frmmain2.h"

#include "colours.h"
#include "commandinterpreter.h"
#include "controls.h"
#include "dialogs.h"
#include "directorypicker.h"
#include "dirlist.h"
#include "drivelist.h"
#include "gamebackup.h"
#include "installbatch.h"
#include "localtext.h"
#include "paths.h"
#include "picture.h"
#include "textfile.h"
#include "themedescription.h"
#include "themefiles.h"

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>

#include <algorithm>
#include <chrono>

using platform::control;
using platform::ControlRow;
using platform::Kind;

namespace {

const std::vector<ControlRow> kControls = {
    {Kind::Label, "Label7", nullptr, 120, 0, 6375, 495, "Label1"},
    {Kind::Label, "Label4", nullptr, 120, 720, 4575, 255, "Created By:"},
    {Kind::Label, "Label1", nullptr, 120, 960, 6375, 495, "Label1"},
    {Kind::Label, "Label5", nullptr, 120, 1560, 495, 255, "Email:"},
    {Kind::Label, "Label2", nullptr, 120, 1800, 6375, 495, "Label1"},
    {Kind::Label, "Label6", nullptr, 120, 2280, 1095, 255, "Webpage:"},
    {Kind::Label, "Label3", nullptr, 120, 2520, 6375, 495, "Label1"},
    {Kind::Label, "Label8", nullptr, 120, 3120, 1455, 255, "Kestrova Directory"},
    {Kind::DriveList, "Drive1", nullptr, 0, 3360, 4335, 315, nullptr},
    {Kind::TextBox, "dirname1", nullptr, 4440, 3360, 2055, 285, ""},
    {Kind::DirList, "Dir1", nullptr, 0, 3720, 4335, 1890, nullptr},
    {Kind::Button, "Command1", nullptr, 4440, 3720, 2055, 375, "Make Directory"},
    {Kind::Button, "Command2", nullptr, 4440, 5040, 2055, 375, "Install Theme"},
    {Kind::Button, "Command4", nullptr, 4440, 4560, 2055, 375, "Restore Original Sounds"},
    {Kind::Button, "Command3", nullptr, 4440, 5520, 2055, 375, "Cancel"},
    {Kind::TextBox, "filepath1", nullptr, 0, 5640, 4335, 285, ""},
};

constexpr double kDesignFontSize = 19.5;
// How long the install batch is waited for before the player is told it has
// not finished.
constexpr std::chrono::milliseconds kInstallTimeLimit{120'000};
// A size a label cannot take (0 from an empty line, negative, huge) is held
// to what a label can show.
constexpr double kSmallestFont = 1.0;
constexpr double kLargestFont = 72.0;

void setTextColour(QLabel *label, const vesk::Rgb &rgb)
{
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, QColor(rgb.red, rgb.green, rgb.blue));
    label->setPalette(palette);
}

} // namespace

frmmain2::frmmain2(const QString &programDirectory, platform::Dialogs &dialogs,
                   platform::CommandInterpreter &interpreter, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
                          | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      m_programDirectory(programDirectory), m_dialogs(dialogs), m_interpreter(interpreter)
{
    setObjectName(QStringLiteral("frmmain2"));
    setWindowTitle(QStringLiteral("VESK Theme Packager - Halvick Soft"));
    setFixedSize(platform::pixels(6570), platform::pixels(5955));
    platform::buildControls(this, kControls);

    Label1 = control<QLabel>(this, QStringLiteral("Label1"));
    Label2 = control<QLabel>(this, QStringLiteral("Label2"));
    Label3 = control<QLabel>(this, QStringLiteral("Label3"));
    Label4 = control<QLabel>(this, QStringLiteral("Label4"));
    Label5 = control<QLabel>(this, QStringLiteral("Label5"));
    Label6 = control<QLabel>(this, QStringLiteral("Label6"));
    Label7 = control<QLabel>(this, QStringLiteral("Label7"));
    Label8 = control<QLabel>(this, QStringLiteral("Label8"));
    m_picker = new platform::DirectoryPicker(this, {"Drive1", "Dir1", "filepath1", "dirname1", "Command1"}, dialogs);
    auto *install = control<QPushButton>(this, QStringLiteral("Command2"));
    auto *cancel = control<QPushButton>(this, QStringLiteral("Command3"));
    Command4 = control<QPushButton>(this, QStringLiteral("Command4"));

    QFont valueFont(QStringLiteral("MS Sans Serif"));
    valueFont.setPointSizeF(kDesignFontSize);
    for (QLabel *label : {Label7, Label1, Label2, Label3})
        label->setFont(valueFont);
    setTextColour(Label7, {0, 0, 0});

    platform::setFocusOrder({m_picker->driveList(), m_picker->dirList(), m_picker->pathBox(), m_picker->nameBox(),
                             m_picker->makeDirectoryButton(), Command4, install, cancel});

    connect(install, &QPushButton::clicked, this, &frmmain2::Command2_Click);
    connect(cancel, &QPushButton::clicked, this, &frmmain2::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &frmmain2::Command4_Click);
    // Restore is offered only where there is something to restore.
    connect(m_picker->pathBox(), &QLineEdit::textChanged, this, &frmmain2::showRestoreState);

    Form_Load();
}

void frmmain2::Form_Load()
{
    m_picker->open(QString());
    showRestoreState();
    readDescription();
    // No picture, or none that can be shown: the background colour alone.
    m_picture = platform::loadPicture(
                    platform::fromLocal(vesk::joinPath(platform::toLocal(m_programDirectory), "bgimage.jpg")))
                    .value_or(QImage());
}

// Each field takes effect as it is read; the first missing one, or a font
// size that is no number, ends the reading with the earlier ones in force.
void frmmain2::readDescription()
{
    using vesk::ThemeReading;
    const vesk::Result<ThemeReading> read
        = vesk::readThemeDescription(vesk::joinPath(platform::toLocal(m_programDirectory), "theme.cfg"));
    if (!read)
        return;
    const ThemeReading &reading = *read;
    const vesk::ThemeDescription &theme = reading.theme;

    const std::pair<QLabel *, const std::string *> creator[]
        = {{Label1, &theme.name}, {Label2, &theme.email}, {Label3, &theme.webpage}};
    for (int line = 1; line <= 3 && line <= reading.fieldsRead; ++line)
        creator[line - 1].first->setText(platform::fromLocal(*creator[line - 1].second));
    if (reading.fieldsRead < ThemeReading::kFontLine)
        return;
    const double size = std::clamp(*reading.fontSize, kSmallestFont, kLargestFont);
    for (QLabel *label : {Label1, Label2, Label3, Label7}) {
        QFont font = label->font();
        font.setPointSizeF(size);
        label->setFont(font);
    }
    if (reading.fieldsRead < ThemeReading::kFontColourLine)
        return;
    if (const auto rgb = vesk::colourByName(theme.fontcolor, vesk::ColourNames::Seven)) {
        for (QLabel *label : {Label1, Label2, Label4, Label5, Label6, Label8})
            setTextColour(label, *rgb);
    }
    if (const auto rgb = vesk::colourByName(theme.fontcolor, vesk::ColourNames::Ten)) {
        setTextColour(Label3, *rgb);
        setTextColour(Label7, *rgb);
    }
    if (reading.fieldsRead < ThemeReading::kBackgroundLine)
        return;
    if (const auto rgb = vesk::colourByName(theme.bgcolor, vesk::ColourNames::Ten)) {
        QPalette background = palette();
        background.setColor(QPalette::Window, QColor(rgb->red, rgb->green, rgb->blue));
        setPalette(background);
    }
    if (reading.fieldsRead >= ThemeReading::kThemeNameLine)
        Label7->setText(platform::fromLocal(theme.themename));
}

void frmmain2::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Window));
    // At its own size from the top left corner: neither stretched nor tiled.
    if (!m_picture.isNull())
        painter.drawImage(QPoint(0, 0), m_picture);
}

// Install Theme, in this order: the target; the backup of what the install
// replaces; 1.bat written, started and waited for; then the files checked.
// "Install Completed" only when every sound arrived; otherwise the target is
// put back as it was and the window stays open.
void frmmain2::Command2_Click()
{
    const std::string programDirectory = platform::toLocal(m_programDirectory);
    const std::string target = platform::toLocal(m_picker->path());
    const auto refuse
        = [this](const vesk::Status &why) { m_dialogs.message(this, platform::sentence(why.error()), {}); };

    vesk::Status step = vpak::checkTarget(target, programDirectory);
    if (step.ok())
        step = vesk::probeWritable(target);
    if (!step.ok())
        return refuse(step);

    if (!packageIsOnlyATheme(programDirectory))
        return;

    const std::vector<std::string> touched = vpak::filesTheInstallTouches(programDirectory, target);
    const vesk::Result<vesk::BackupRecord> record = vesk::recordBeforeReplacing(target, touched);
    if (!record)
        return refuse(record.status());
    vesk::ReplaceJournal journal(target);
    const auto putBack = [&] {
        journal.rollBack();
        vesk::undoRecord(*record);
        showRestoreState();
    };
    for (const std::string &name : touched) {
        step = journal.copyAside(name);
        if (!step.ok()) {
            putBack();
            return refuse(step);
        }
    }

    const std::string batch = vesk::joinPath(programDirectory, "1.bat");
    step = vpak::writeBatchFile(batch, target);
    if (!step.ok()) {
        putBack();
        return refuse(step);
    }
    setEnabled(false); // no second install while this one runs
    const vesk::Result<platform::CommandInterpreter::End> ran
        = m_interpreter.run(batch, programDirectory, kInstallTimeLimit);
    setEnabled(true);
    if (!ran) {
        putBack();
        return refuse(ran.status());
    }
    if (*ran == platform::CommandInterpreter::End::StillRunning) {
        // Nothing can be checked or put back while the batch may still write;
        // the backup stays for Restore.
        journal.commit();
        showRestoreState();
        m_dialogs.message(this,
                          QStringLiteral("The install into %1 is still running after %2 seconds and has not been "
                                         "checked.")
                              .arg(platform::fromLocal(target))
                              .arg(std::chrono::duration_cast<std::chrono::seconds>(kInstallTimeLimit).count()),
                          QString());
        return;
    }
    step = vpak::checkInstalled(programDirectory, target);
    if (!step.ok()) {
        putBack();
        m_dialogs.message(this,
                          QStringLiteral("The theme was not installed completely: %1. The game directory was put "
                                         "back as it was.")
                              .arg(platform::fromLocal(step.error())),
                          QString());
        return;
    }
    journal.commit();
    m_dialogs.message(this, QStringLiteral("Install Completed"), QStringLiteral("Lanternkit"));
    close();
}

// A package from a stranger may carry programs beside its sounds, which the
// game directory would then run or load: those are refused outright, and any
// other file that is no theme file is named in a question first.
bool frmmain2::packageIsOnlyATheme(const std::string &packageDirectory)
{
    const auto listed = [](const std::vector<std::string> &names) {
        QStringList shown;
        for (const std::string &name : names)
            shown << platform::fromLocal(name);
        return shown.join(QStringLiteral(", "));
    };
    const vesk::PackageContents contents = vesk::inspectPackage(packageDirectory);
    if (!contents.programs.empty()) {
        m_dialogs.message(this,
                          QStringLiteral("This package holds program files, which a theme never needs and which "
                                         "could harm your computer: %1. It will not be installed.")
                              .arg(listed(contents.programs)),
                          QStringLiteral("Lanternkit"));
        return false;
    }
    return contents.others.empty()
           || m_dialogs.question(this,
                                 QStringLiteral("This package also holds files that are not theme sounds: %1. They "
                                                "will be copied into the game directory. Install anyway?")
                                     .arg(listed(contents.others)),
                                 QStringLiteral("Lanternkit"), platform::Dialogs::Buttons::YesNo)
                  == platform::Dialogs::Answer::Yes;
}

void frmmain2::Command4_Click()
{
    const std::string target = platform::toLocal(m_picker->path());
    if (m_dialogs.question(this,
                           QStringLiteral("Put the game's own sounds back into %1 and remove every file a theme "
                                          "added there?")
                               .arg(platform::fromLocal(target)),
                           QStringLiteral("Lanternkit"), platform::Dialogs::Buttons::YesNo)
        != platform::Dialogs::Answer::Yes)
        return;
    const vesk::Result<vesk::RestoreCount> restored = vesk::restoreOriginals(target);
    m_dialogs.message(
        this, restored ? platform::fromLocal(vesk::restoreSummary(*restored)) : platform::sentence(restored.error()),
        QStringLiteral("Lanternkit"));
    showRestoreState();
}

void frmmain2::showRestoreState()
{
    Command4->setEnabled(vesk::hasBackup(platform::toLocal(m_picker->path())));
}

void frmmain2::Command3_Click()
{
    close();
}
