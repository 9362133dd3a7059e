#include "frmsettings.h"

#include "controls.h"
#include "dialogs.h"
#include "dirlist.h"
#include "drivelist.h"
#include "localtext.h"
#include "settingsfile.h"

#include <QLineEdit>
#include <QPushButton>

using platform::control;
using platform::ControlRow;
using platform::Kind;

namespace {

const std::vector<ControlRow> kControls = {
    {Kind::Frame, "Frame3", nullptr, 0, 0, 4335, 4935, "Kestrova Directory?"},
    {Kind::DriveList, "Drive1", "Frame3", 120, 360, 4095, 315, nullptr},
    {Kind::DirList, "Dir1", "Frame3", 120, 840, 4095, 2790, nullptr},
    {Kind::Label, "Label9", "Frame3", 120, 3720, 2175, 255, "File Path:"},
    {Kind::TextBox, "text1", "Frame3", 120, 3960, 4095, 285, ""},
    {Kind::Label, "Label8", "Frame3", 120, 4320, 1815, 255, "Directory Name:"},
    {Kind::TextBox, "dirname1", "Frame3", 120, 4560, 2175, 285, ""},
    {Kind::Button, "Command3", "Frame3", 2520, 4440, 1695, 375, "Make Directory"},
    {Kind::Button, "Command1", nullptr, 2040, 5040, 1095, 375, "OK"},
    {Kind::Button, "Command2", nullptr, 3240, 5040, 1095, 375, "Cancel"},
};

} // namespace

frmsettings::frmsettings(const QString &programDirectory, platform::Dialogs &dialogs, QWidget *owner)
    : QDialog(owner, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint), m_programDirectory(programDirectory),
      m_dialogs(dialogs)
{
    setObjectName(QStringLiteral("frmsettings"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QString());
    setFixedSize(platform::pixels(4335), platform::pixels(5475));
    platform::buildControls(this, kControls);

    Drive1 = control<platform::DriveList>(this, QStringLiteral("Drive1"));
    Dir1 = control<platform::DirList>(this, QStringLiteral("Dir1"));
    text1 = control<QLineEdit>(this, QStringLiteral("text1"));
    dirname1 = control<QLineEdit>(this, QStringLiteral("dirname1"));
    auto *makeDirectory = control<QPushButton>(this, QStringLiteral("Command3"));
    auto *ok = control<QPushButton>(this, QStringLiteral("Command1"));
    auto *cancel = control<QPushButton>(this, QStringLiteral("Command2"));

    // Neither button answers Enter or Esc.
    for (QPushButton *button : {makeDirectory, ok, cancel}) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }
    setTabOrder(dirname1, makeDirectory);
    setTabOrder(makeDirectory, text1);
    setTabOrder(text1, Dir1);
    setTabOrder(Dir1, Drive1);
    setTabOrder(Drive1, cancel);
    setTabOrder(cancel, ok);
    dirname1->setFocus();

    connect(Drive1, &platform::DriveList::changed, this, &frmsettings::Drive1_Change);
    connect(Dir1, &platform::DirList::changed, this, &frmsettings::Dir1_Change);
    connect(Dir1, &platform::DirList::clicked, this, &frmsettings::Dir1_Click);
    connect(makeDirectory, &QPushButton::clicked, this, &frmsettings::Command3_Click);
    connect(ok, &QPushButton::clicked, this, &frmsettings::Command1_Click);
    connect(cancel, &QPushButton::clicked, this, &frmsettings::Command2_Click);

    Form_Load();
}

void frmsettings::Form_Load()
{
    const auto stored = vesk::readGameDirectory(vesk::settingsFilePath(platform::toLocal(m_programDirectory)));
    bool opened = false;
    if (stored) {
        text1->setText(platform::fromLocal(*stored));
        // Dir1_Change writes the list's own form of the path back.
        opened = Dir1->setPath(text1->text());
    }
    if (!opened) {
        Dir1->setPath(Drive1->currentDirectory());
        text1->setText(Dir1->path());
    }
}

void frmsettings::Drive1_Change()
{
    Drive1->steer(Dir1, m_dialogs);
}

void frmsettings::Dir1_Change()
{
    text1->setText(Dir1->path());
}

void frmsettings::Dir1_Click()
{
    // The open directory, not the entry under the click: a single click only
    // resets what was typed.
    text1->setText(Dir1->path());
}

void frmsettings::Command3_Click()
{
    Dir1->makeDirectory(text1->text(), dirname1->text());
}

void frmsettings::Command1_Click()
{
    const vesk::Status saved = vesk::writeGameDirectory(
        vesk::settingsFilePath(platform::toLocal(m_programDirectory)), platform::toLocal(text1->text()));
    if (!saved.ok()) {
        // The choice stays in the window, so the player can retry or cancel.
        m_dialogs.message(this, platform::sentence(saved.error()), QString());
        return;
    }
    accept();
}

void frmsettings::Command2_Click()
{
    reject();
}
