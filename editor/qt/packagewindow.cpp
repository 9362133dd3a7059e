#include "packagewindow.h"

#include "colours.h"
#include "controls.h"
#include "dialogprompts.h"
#include "dialogs.h"
#include "directorypicker.h"
#include "dirlist.h"
#include "drivelist.h"
#include "editorlayout.h"
#include "filelist.h"
#include "fileops.h"
#include "localtext.h"
#include "packagebuild.h"
#include "paths.h"
#include "picture.h"

#include <QComboBox>
#include <QDir>
#include <QKeyEvent>
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
                             std::function<vesk::Project()> project, std::optional<std::string> gameDirectory,
                             vesk::SlotMeasurements *measurements,
                             std::function<void(const vesk::PackageDescription &)> keepDescription)
    : QDialog(owner, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint), m_editorDirectory(editorDirectory),
      m_dialogs(dialogs), m_project(std::move(project)), m_gameDirectory(std::move(gameDirectory)),
      m_measurements(measurements), m_keepDescription(std::move(keepDescription))
{
    setObjectName(QStringLiteral("PackageWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QString::fromLatin1(vesk::kPackageCaption));
    setFixedSize(platform::pixels(vesk::kPackageClientWidth), platform::pixels(vesk::kPackageClientHeight));

    auto *tabs = new platform::TabContainer(this);
    tabs->setObjectName(QStringLiteral("packageTabs"));
    tabs->setGeometry(platform::twipsRect(vesk::kPackageTabs[0], vesk::kPackageTabs[1], vesk::kPackageTabs[2],
                                          vesk::kPackageTabs[3]));
    QWidget *options = tabs->addPage(QStringLiteral("Options"));
    QWidget *package = tabs->addPage(QStringLiteral("Package"));
    QWidget *ready = tabs->addPage(QStringLiteral("Ready?"));
    const QPoint origin = tabs->pageOrigin();
    platform::buildControls(options, vesk::packageOptionsControls(), origin);
    platform::buildControls(package, vesk::packagePackageControls(), origin);
    platform::buildControls(ready, vesk::packageReadyControls(), origin);

    m_packagePicker = new platform::DirectoryPicker(this, vesk::kPackagePicker, dialogs);
    pictureDriveList = control<platform::DriveList>(this, QStringLiteral("pictureDriveList"));
    pictureDirectoryList = control<platform::DirList>(this, QStringLiteral("pictureDirectoryList"));
    pictureFileList = control<platform::FileList>(this, QStringLiteral("pictureFileList"));
    picturePreview = control<QLabel>(this, QStringLiteral("picturePreview"));
    picturePathBox = control<QLineEdit>(this, QStringLiteral("picturePathBox"));
    QLineEdit *pathBox = m_packagePicker->pathBox();
    QPushButton *makeDirectory = m_packagePicker->makeDirectoryButton();
    auto *cancel = control<QPushButton>(this, QStringLiteral("cancelButton"));
    auto *ok = control<QPushButton>(this, QStringLiteral("okButton"));

    fillCombo(control<QComboBox>(this, QStringLiteral("fontSizeBox")), fontSizes());
    fillCombo(control<QComboBox>(this, QStringLiteral("fontColourBox")), colourNames());
    fillCombo(control<QComboBox>(this, QStringLiteral("backgroundColourBox")), colourNames());
    picturePathBox->hide();
    pictureFileList->setPattern(QStringLiteral("*.jpg"));
    picturePreview->setAlignment(Qt::AlignCenter);
    // The package directory follows directoryList and cannot be typed.
    pathBox->setReadOnly(true);
    pathBox->setFocusPolicy(Qt::NoFocus);
    QPalette grey = pathBox->palette();
    grey.setColor(QPalette::Base, palette().color(QPalette::Mid));
    pathBox->setPalette(grey);
    for (QPushButton *button : {makeDirectory, cancel, ok}) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }
    platform::setFocusOrder(this, vesk::packageFocusOrder());

    connect(pictureDriveList, &platform::DriveList::changed, this, &PackageWindow::onPictureDriveChanged);
    connect(pictureDirectoryList, &platform::DirList::changed, this, &PackageWindow::onPictureDirectoryChanged);
    connect(pictureFileList, &platform::FileList::clicked, this, &PackageWindow::onPictureChosen);
    connect(cancel, &QPushButton::clicked, this, &PackageWindow::onCancel);
    connect(ok, &QPushButton::clicked, this, &PackageWindow::onOk);

    platform::fitToScreen(this);
    openStartDirectories();
    if (const std::optional<vesk::PackageDescription> description = m_project().description)
        showDescription(*description);
}

void PackageWindow::openStartDirectories()
{
    m_packagePicker->open(QString());
    pictureDirectoryList->setPath(pictureDriveList->currentDirectory());
}

// The values the project keeps, in their boxes; the package folder and the
// picture's folder opened where they still are.
void PackageWindow::showDescription(const vesk::PackageDescription &description)
{
    for (const auto &[name, value] : vesk::descriptionBoxes(description)) {
        const QString objectName = QString::fromLatin1(name);
        if (auto *box = findChild<QComboBox *>(objectName))
            box->setEditText(platform::fromLocal(value));
        else
            control<QLineEdit>(this, objectName)->setText(platform::fromLocal(value));
    }
    if (!description.folder.empty() && vesk::isFolder(description.folder))
        m_packagePicker->openLocal(description.folder);
    m_picture = description.picture;
    if (!m_picture.empty()) {
        const std::string folder = m_picture.substr(0, vesk::fileNameStart(m_picture));
        if (!folder.empty() && vesk::isFolder(folder))
            pictureDirectoryList->setPath(platform::fromLocal(folder));
    }
    showPicture();
}

void PackageWindow::onPictureDriveChanged()
{
    pictureDriveList->steer(pictureDirectoryList, m_dialogs);
}

void PackageWindow::onPictureDirectoryChanged()
{
    pictureFileList->setLocalPath(pictureDirectoryList->localPath());
}

void PackageWindow::onPictureChosen()
{
    m_picture = pictureFileList->localFilePath();
    showPicture();
}

void PackageWindow::showPicture()
{
    picturePathBox->setText(platform::fromLocal(m_picture));
    // A file that is no readable picture keeps the previous preview.
    const auto picture = platform::loadPicture(m_picture);
    if (!picture)
        return;
    picturePreview->setPixmap(
        QPixmap::fromImage(picture->scaled(picturePreview->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation)));
}

void PackageWindow::onCancel()
{
    reject();
}

// Whatever else lies in the package folder would be copied into other
// players' game directories; the player decides before anything is written.
// Return presses the button that has the focus, and OK from any other
// control on any tab: a dialog's own default button answers only while its
// tab is shown.
void PackageWindow::keyPressEvent(QKeyEvent *event)
{
    const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    if (plain && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
        if (auto *button = qobject_cast<QPushButton *>(focusWidget()))
            button->click();
        else
            onOk();
        return;
    }
    QDialog::keyPressEvent(event);
}

void PackageWindow::onOk()
{
    const auto field = [this](const char *name) -> std::string {
        const QString objectName = QString::fromLatin1(name);
        if (objectName == QLatin1String("picturePathBox")) {
            // A path shown as it was chosen keeps the bytes it was chosen with.
            return picturePathBox->text() == platform::fromLocal(m_picture) ? m_picture
                                                                            : platform::toLocal(picturePathBox->text());
        }
        if (auto *box = findChild<QComboBox *>(objectName))
            return platform::toLocal(box->currentText());
        return platform::toLocal(control<QLineEdit>(this, objectName)->text());
    };
    if (m_keepDescription)
        m_keepDescription(vesk::packageDescription(field, m_packagePicker->localPath()));
    const vesk::PackageInput input = vesk::packageInput(
        field, m_packagePicker->localPath(), platform::toLocal(m_editorDirectory), m_project(), m_gameDirectory);

    // Everything entered stays on a failure, so the player can mend it and retry.
    DialogPrompts prompts(m_dialogs, this);
    if (!vesk::buildPackageAsked(input, platform::toLocal(m_packagePicker->path()), prompts, m_measurements))
        return;
    accept();
}
