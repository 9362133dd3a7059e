#include "packagewindow.h"

#include "colours.h"
#include "controls.h"
#include "dialogprompts.h"
#include "dialogs.h"
#include "directorypicker.h"
#include "dirlist.h"
#include "drivelist.h"
#include "editorwindows.h"
#include "filelist.h"
#include "localtext.h"
#include "packagebuild.h"
#include "paths.h"
#include "picture.h"

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>

using platform::control;
using platform::ControlRow;
using platform::Kind;

namespace {

QStringList fontSizes()
{
    QStringList sizes;
    for (int size = 8; size <= 20; ++size)
        sizes << QString::number(size);
    return sizes;
}

QStringList colourNames()
{
    QStringList names;
    for (const std::string &name : vesk::editorColourNames())
        names << QString::fromStdString(name);
    return names;
}

void fillCombo(QComboBox *combo, const QStringList &items)
{
    const QString shown = combo->currentText();
    combo->addItems(items);
    combo->setEditText(shown);
}

} // namespace

PackageWindow::PackageWindow(QWidget *owner, const QString &editorDirectory, platform::Dialogs &dialogs,
                             std::function<vesk::Project()> project, std::optional<std::string> gameDirectory)
    : QDialog(owner, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint), m_editorDirectory(editorDirectory),
      m_dialogs(dialogs), m_project(std::move(project)), m_gameDirectory(std::move(gameDirectory))
{
    setObjectName(QStringLiteral("PackageWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QString::fromLatin1(vesk::kPackageCaption));
    setFixedSize(platform::pixels(vesk::kPackageClientWidth), platform::pixels(vesk::kPackageClientHeight));

    auto *tabs = new platform::TabContainer(this);
    tabs->setObjectName(QStringLiteral("SSTab1"));
    tabs->setGeometry(platform::twipsRect(vesk::kPackageTabs[0], vesk::kPackageTabs[1], vesk::kPackageTabs[2],
                                          vesk::kPackageTabs[3]));
    QWidget *options = tabs->addPage(QStringLiteral("Options"));
    QWidget *package = tabs->addPage(QStringLiteral("Package"));
    QWidget *ready = tabs->addPage(QStringLiteral("Ready?"));
    const QPoint origin = tabs->pageOrigin();
    platform::buildControls(options, vesk::packageOptionsControls(), origin);
    platform::buildControls(package, vesk::packagePackageControls(), origin);
    platform::buildControls(ready, vesk::packageReadyControls(), origin);

    name1 = control<QLineEdit>(this, QStringLiteral("name1"));
    email1 = control<QLineEdit>(this, QStringLiteral("email1"));
    webpage1 = control<QLineEdit>(this, QStringLiteral("webpage1"));
    themename1 = control<QLineEdit>(this, QStringLiteral("themename1"));
    font1 = control<QComboBox>(this, QStringLiteral("font1"));
    fontcolor1 = control<QComboBox>(this, QStringLiteral("fontcolor1"));
    bgcolor1 = control<QComboBox>(this, QStringLiteral("bgcolor1"));
    m_packagePicker = new platform::DirectoryPicker(this, vesk::kPackagePicker, dialogs);
    Drive2 = control<platform::DriveList>(this, QStringLiteral("Drive2"));
    Dir2 = control<platform::DirList>(this, QStringLiteral("Dir2"));
    File1 = control<platform::FileList>(this, QStringLiteral("File1"));
    Image1 = control<QLabel>(this, QStringLiteral("Image1"));
    filepath2 = control<QLineEdit>(this, QStringLiteral("filepath2"));
    QLineEdit *filepath1 = m_packagePicker->pathBox();
    QPushButton *makeDirectory = m_packagePicker->makeDirectoryButton();
    auto *cancel = control<QPushButton>(this, QStringLiteral("Command2"));
    auto *ok = control<QPushButton>(this, QStringLiteral("Command3"));

    fillCombo(font1, fontSizes());
    fillCombo(fontcolor1, colourNames());
    fillCombo(bgcolor1, colourNames());
    filepath2->hide();
    File1->setPattern(QStringLiteral("*.jpg"));
    Image1->setAlignment(Qt::AlignCenter);
    // The package directory follows Dir1 and cannot be typed.
    filepath1->setReadOnly(true);
    filepath1->setFocusPolicy(Qt::NoFocus);
    QPalette grey = filepath1->palette();
    grey.setColor(QPalette::Base, palette().color(QPalette::Mid));
    filepath1->setPalette(grey);
    for (QPushButton *button : {makeDirectory, cancel, ok}) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }
    // Return builds the package on its tab, whatever has the focus there
    // (a dialog's hidden default button answers nothing).
    ok->setDefault(true);
    platform::setFocusOrder(this, vesk::packageFocusOrder());

    connect(Drive2, &platform::DriveList::changed, this, &PackageWindow::Drive2_Change);
    connect(Dir2, &platform::DirList::changed, this, &PackageWindow::Dir2_Change);
    connect(File1, &platform::FileList::clicked, this, &PackageWindow::File1_Click);
    connect(cancel, &QPushButton::clicked, this, &PackageWindow::Command2_Click);
    connect(ok, &QPushButton::clicked, this, &PackageWindow::Command3_Click);

    platform::fitToScreen(this);
    Form_Load();
}

void PackageWindow::Form_Load()
{
    m_packagePicker->open(QString());
    Dir2->setPath(Drive2->currentDirectory());
}

void PackageWindow::Drive2_Change()
{
    Drive2->steer(Dir2, m_dialogs);
}

void PackageWindow::Dir2_Change()
{
    File1->setLocalPath(Dir2->localPath());
}

void PackageWindow::File1_Click()
{
    m_picture = File1->localFilePath();
    filepath2->setText(platform::fromLocal(m_picture));
    // A file that is no readable picture keeps the previous preview.
    const auto picture = platform::loadPicture(m_picture);
    if (!picture)
        return;
    Image1->setPixmap(
        QPixmap::fromImage(picture->scaled(Image1->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation)));
}

void PackageWindow::Command2_Click()
{
    reject();
}

// Whatever else lies in the package folder would be copied into other
// players' game directories; the player decides before anything is written.
void PackageWindow::Command3_Click()
{
    vesk::PackageInput input;
    input.theme.name = platform::toLocal(name1->text());
    input.theme.email = platform::toLocal(email1->text());
    input.theme.webpage = platform::toLocal(webpage1->text());
    input.theme.font = platform::toLocal(font1->currentText());
    input.theme.fontcolor = platform::toLocal(fontcolor1->currentText());
    input.theme.bgcolor = platform::toLocal(bgcolor1->currentText());
    input.theme.themename = platform::toLocal(themename1->text());
    // Paths shown as they were chosen keep the bytes they were chosen with.
    input.picture
        = filepath2->text() == platform::fromLocal(m_picture) ? m_picture : platform::toLocal(filepath2->text());
    input.packageDirectory = m_packagePicker->localPath();
    input.editorDirectory = platform::toLocal(m_editorDirectory);
    const vesk::Project project = m_project();
    input.slots = project.slots;
    input.edits = project.edits;
    input.gameDirectory = m_gameDirectory;

    // Everything entered stays on a failure, so the player can mend it and retry.
    DialogPrompts prompts(m_dialogs, this);
    if (!vesk::buildPackageAsked(input, platform::toLocal(m_packagePicker->path()), prompts))
        return;
    accept();
}
