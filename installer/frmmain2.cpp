#include "frmmain2.h"

#include "colours.h"
#include "commandinterpreter.h"
#include "controls.h"
#include "dialogs.h"
#include "dirlist.h"
#include "drivelist.h"
#include "installbatch.h"
#include "localtext.h"
#include "paths.h"
#include "picture.h"
#include "themedescription.h"

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>

#include <algorithm>

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
    {Kind::Button, "Command3", nullptr, 4440, 5520, 2055, 375, "Cancel"},
    {Kind::TextBox, "filepath1", nullptr, 0, 5640, 4335, 285, ""},
};

constexpr double kDesignFontSize = 19.5;
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
    Drive1 = control<platform::DriveList>(this, QStringLiteral("Drive1"));
    Dir1 = control<platform::DirList>(this, QStringLiteral("Dir1"));
    filepath1 = control<QLineEdit>(this, QStringLiteral("filepath1"));
    dirname1 = control<QLineEdit>(this, QStringLiteral("dirname1"));
    auto *makeDirectory = control<QPushButton>(this, QStringLiteral("Command1"));
    auto *install = control<QPushButton>(this, QStringLiteral("Command2"));
    auto *cancel = control<QPushButton>(this, QStringLiteral("Command3"));

    QFont valueFont(QStringLiteral("MS Sans Serif"));
    valueFont.setPointSizeF(kDesignFontSize);
    for (QLabel *label : {Label7, Label1, Label2, Label3})
        label->setFont(valueFont);
    setTextColour(Label7, {0, 0, 0});

    QWidget *focusOrder[] = {Drive1, Dir1, filepath1, dirname1, makeDirectory, install, cancel};
    for (size_t i = 0; i + 1 < std::size(focusOrder); ++i)
        setTabOrder(focusOrder[i], focusOrder[i + 1]);

    connect(Drive1, &platform::DriveList::changed, this, &frmmain2::Drive1_Change);
    connect(Dir1, &platform::DirList::changed, this, &frmmain2::Dir1_Change);
    connect(Dir1, &platform::DirList::clicked, this, &frmmain2::Dir1_Click);
    connect(makeDirectory, &QPushButton::clicked, this, &frmmain2::Command1_Click);
    connect(install, &QPushButton::clicked, this, &frmmain2::Command2_Click);
    connect(cancel, &QPushButton::clicked, this, &frmmain2::Command3_Click);

    Form_Load();
}

void frmmain2::Form_Load()
{
    Dir1->setPath(Drive1->currentDirectory());
    filepath1->setText(Dir1->path());
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
    const vesk::ThemeReading theme =
        vesk::readThemeDescription(vesk::joinPath(platform::toLocal(m_programDirectory), "theme.cfg"));
    const auto field = [&theme](int number) { return platform::fromLocal(theme.fields[size_t(number - 1)]); };

    if (theme.fieldsRead >= 1)
        Label1->setText(field(1));
    if (theme.fieldsRead >= 2)
        Label2->setText(field(2));
    if (theme.fieldsRead >= 3)
        Label3->setText(field(3));
    if (theme.fieldsRead < 4)
        return;
    const double size = std::clamp(*theme.fontSize, kSmallestFont, kLargestFont);
    for (QLabel *label : {Label1, Label2, Label3, Label7}) {
        QFont font = label->font();
        font.setPointSizeF(size);
        label->setFont(font);
    }
    if (theme.fieldsRead < 5)
        return;
    const std::string &fontColour = theme.fields[4];
    if (const auto rgb = vesk::colourByName(fontColour, vesk::ColourNames::Seven)) {
        for (QLabel *label : {Label1, Label2, Label4, Label5, Label6, Label8})
            setTextColour(label, *rgb);
    }
    if (const auto rgb = vesk::colourByName(fontColour, vesk::ColourNames::Ten)) {
        setTextColour(Label3, *rgb);
        setTextColour(Label7, *rgb);
    }
    if (theme.fieldsRead < 6)
        return;
    if (const auto rgb = vesk::colourByName(theme.fields[5], vesk::ColourNames::Ten)) {
        QPalette background = palette();
        background.setColor(QPalette::Window, QColor(rgb->red, rgb->green, rgb->blue));
        setPalette(background);
    }
    if (theme.fieldsRead >= 7)
        Label7->setText(field(7));
}

void frmmain2::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Window));
    // At its own size from the top left corner: neither stretched nor tiled.
    if (!m_picture.isNull())
        painter.drawImage(QPoint(0, 0), m_picture);
}

void frmmain2::Drive1_Change()
{
    Drive1->steer(Dir1, m_dialogs);
}

void frmmain2::Dir1_Change()
{
    filepath1->setText(Dir1->path());
}

void frmmain2::Dir1_Click()
{
    filepath1->setText(Dir1->path());
}

void frmmain2::Command1_Click()
{
    Dir1->makeDirectory(filepath1->text(), dirname1->text());
}

void frmmain2::Command2_Click()
{
    const std::string programDirectory = platform::toLocal(m_programDirectory);
    const std::string target = platform::toLocal(filepath1->text());
    const vesk::Status usable = vpak::checkTarget(target, programDirectory);
    if (!usable.ok()) {
        m_dialogs.message(this, platform::sentence(usable.error()), QString());
        return;
    }
    const std::string batch = vesk::joinPath(programDirectory, "1.bat");
    const vesk::Status written = vpak::writeBatchFile(batch, target);
    if (!written.ok()) {
        m_dialogs.message(this, platform::sentence(written.error()), QString());
        return;
    }
    QString why;
    if (!m_interpreter.start(platform::fromLocal(batch), m_programDirectory, &why)) {
        m_dialogs.message(this, QStringLiteral("Cannot start %1: %2.").arg(platform::fromLocal(batch), why), QString());
        return;
    }
    m_dialogs.message(this, QStringLiteral("Install Completed"), QStringLiteral("Lanternkit"));
    close();
}

void frmmain2::Command3_Click()
{
    close();
}
