#include "dirlist.h"
#include "fakedialogs.h"
#include "filelist.h"
#include "mainwindow.h"
#include "packagebuild.h"
#include "packagewindow.h"
#include "wavecheck.h"
#include "windowtest.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTimer>

#include <memory>

class PackageWindowTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void opensWithTheDefaults_everyTime();
    void pictureList_showsJpgInAnyCase_andNothingElse();
    void clickingAPicture_setsThePathAndThePreview();
    void unreadablePicture_keepsThePreviousPreview();
    void packageDirectory_followsTheDirectoryList();
    void makeDirectory_createsUnderThePackageDirectory();
    void ok_buildsThePackageReportsAndCloses();
    void ok_convertsWhatTheGameCannotPlayAndSaysSo();
    void ok_handTypedColourReachesThemeCfgUnchanged();
    void ok_failure_saysIncompleteAndKeepsTheWindow();
    void ok_asksBeforeShippingOtherFilesOfTheFolder();
    void returnOnAnyTab_buildsAsOkDoes();
    void opensWithTheProjectsDescription_andOkKeepsWhatItHolds();

private:
    void makeWindow();
    QString jpeg(const QString &name, QColor colour);
    template<typename T>
    T *find(const char *name) const
    {
        return findControl<T>(m_window.data(), QString::fromLatin1(name));
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_savedCwd;
    FakeDialogs m_dialogs;
    vesk::SlotValues m_slots;
    std::optional<vesk::PackageDescription> m_description; // the project's, and what OK keeps
    QPointer<PackageWindow> m_window;
};

static QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void PackageWindowTest::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QDir(m_dir->path()).mkdir(QStringLiteral("editor"));
    QDir(m_dir->path()).mkdir(QStringLiteral("pictures"));
    QDir(m_dir->path()).mkdir(QStringLiteral("package"));
    QFile installer(m_dir->filePath(QStringLiteral("editor/") + QString::fromLatin1(vesk::kWindowsInstaller)));
    QVERIFY(installer.open(QIODevice::WriteOnly));
    installer.write("installer");
    installer.close();
    // The window opens on the working directory.
    m_savedCwd = QDir::currentPath();
    QDir::setCurrent(m_dir->filePath(QStringLiteral("pictures")));
    m_dialogs = FakeDialogs();
    m_slots.fill(vesk::kNoSound);
    m_description.reset();
    makeWindow();
}

void PackageWindowTest::cleanup()
{
    delete m_window;
    QDir::setCurrent(m_savedCwd);
}

void PackageWindowTest::makeWindow()
{
    delete m_window;
    m_window = new PackageWindow(
        nullptr, m_dir->filePath(QStringLiteral("editor")), m_dialogs,
        [this] {
            vesk::Project project;
            project.slots = m_slots;
            project.description = m_description;
            return project;
        },
        std::nullopt, nullptr, [this](const vesk::PackageDescription &kept) { m_description = kept; });
    m_window->show();
}

QString PackageWindowTest::jpeg(const QString &name, QColor colour)
{
    QImage image(40, 30, QImage::Format_RGB32);
    image.fill(colour);
    const QString path = m_dir->filePath(QStringLiteral("pictures/") + name);
    if (!image.save(path, "JPG"))
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

void PackageWindowTest::opensWithTheDefaults_everyTime()
{
    for (int opening = 0; opening < 2; ++opening) {
        QCOMPARE(m_window->windowTitle(), QStringLiteral("Create Theme Package"));
        QCOMPARE(find<QLineEdit>("webPageBox")->text(), QStringLiteral("http://"));
        QCOMPARE(find<QComboBox>("fontSizeBox")->currentText(), QStringLiteral("10"));
        QCOMPARE(find<QComboBox>("fontSizeBox")->count(), 13);
        QCOMPARE(find<QComboBox>("fontSizeBox")->itemText(0), QStringLiteral("8"));
        QCOMPARE(find<QComboBox>("fontSizeBox")->itemText(12), QStringLiteral("20"));
        QCOMPARE(find<QComboBox>("fontColourBox")->currentText(), QStringLiteral("Black"));
        QCOMPARE(find<QComboBox>("backgroundColourBox")->currentText(), QStringLiteral("White"));
        QCOMPARE(find<QComboBox>("backgroundColourBox")->itemText(2), QStringLiteral("Brown"));
        QVERIFY(find<QLineEdit>("creatorNameBox")->text().isEmpty());
        QVERIFY(find<QLineEdit>("themeNameBox")->text().isEmpty());
        QVERIFY(find<QLineEdit>("picturePathBox")->text().isEmpty());
        QVERIFY(find<QLineEdit>("pathBox")->isReadOnly());
        QCOMPARE(m_window->focusWidget(), find<QLineEdit>("creatorNameBox")); // typing goes to the creator's name

        find<QLineEdit>("creatorNameBox")->setText(QStringLiteral("entered"));
        find<QComboBox>("fontSizeBox")->setEditText(QStringLiteral("14"));
        makeWindow();
    }
}

void PackageWindowTest::pictureList_showsJpgInAnyCase_andNothingElse()
{
    jpeg(QStringLiteral("a.jpg"), Qt::red);
    jpeg(QStringLiteral("B.JPG"), Qt::blue);
    QImage(4, 4, QImage::Format_RGB32).save(m_dir->filePath(QStringLiteral("pictures/c.png")), "PNG");
    makeWindow();
    QCOMPARE(listTexts(find<platform::FileList>("pictureFileList")),
             (QStringList{QStringLiteral("a.jpg"), QStringLiteral("B.JPG")}));
}

void PackageWindowTest::clickingAPicture_setsThePathAndThePreview()
{
    const QString picture = jpeg(QStringLiteral("night.jpg"), Qt::darkBlue);
    makeWindow();
    auto *files = find<platform::FileList>("pictureFileList");
    clickRow(files, 0);
    QCOMPARE(find<QLineEdit>("picturePathBox")->text(), QDir::toNativeSeparators(picture));
    QVERIFY(!find<QLabel>("picturePreview")->pixmap().isNull());
}

void PackageWindowTest::unreadablePicture_keepsThePreviousPreview()
{
    jpeg(QStringLiteral("a.jpg"), Qt::green);
    QFile broken(m_dir->filePath(QStringLiteral("pictures/b.jpg")));
    QVERIFY(broken.open(QIODevice::WriteOnly));
    broken.write("not a picture");
    broken.close();
    makeWindow();
    auto *files = find<platform::FileList>("pictureFileList");
    clickRow(files, 0);
    const qint64 shown = find<QLabel>("picturePreview")->pixmap().cacheKey();
    clickRow(files, 1);
    QVERIFY(find<QLineEdit>("picturePathBox")->text().endsWith(QStringLiteral("b.jpg")));
    QCOMPARE(find<QLabel>("picturePreview")->pixmap().cacheKey(), shown);
    QVERIFY(m_dialogs.messages.isEmpty());
}

void PackageWindowTest::packageDirectory_followsTheDirectoryList()
{
    QCOMPARE(find<QLineEdit>("pathBox")->text(), QDir::toNativeSeparators(m_dir->filePath(QStringLiteral("pictures"))));
    auto *dir1 = find<platform::DirList>("directoryList");
    QVERIFY(dir1->setPath(m_dir->filePath(QStringLiteral("package"))));
    QCOMPARE(find<QLineEdit>("pathBox")->text(), QDir::toNativeSeparators(m_dir->filePath(QStringLiteral("package"))));
}

void PackageWindowTest::makeDirectory_createsUnderThePackageDirectory()
{
    auto *dir1 = find<platform::DirList>("directoryList");
    const int entries = dir1->count();
    find<QLineEdit>("newDirectoryBox")->setText(QStringLiteral("Night"));
    clickButton(m_window.data(), QStringLiteral("makeDirectoryButton"));
    QVERIFY(QFileInfo(m_dir->filePath(QStringLiteral("pictures/Night"))).isDir());
    QCOMPARE(dir1->count(), entries + 1);
    QCOMPARE(find<QLineEdit>("pathBox")->text(), QDir::toNativeSeparators(m_dir->filePath(QStringLiteral("pictures"))));
}

void PackageWindowTest::ok_buildsThePackageReportsAndCloses()
{
    const QString picture = jpeg(QStringLiteral("bg.jpg"), Qt::black);
    QFile wave(m_dir->filePath(QStringLiteral("boom.wav")));
    QVERIFY(wave.open(QIODevice::WriteOnly));
    wave.write("RIFF boom");
    wave.close();
    m_slots[31] = (m_dir->filePath(QStringLiteral("boom.wav"))).toStdString();
    makeWindow();
    clickRow(find<platform::FileList>("pictureFileList"), 0);
    const QString package = m_dir->filePath(QStringLiteral("package"));
    QVERIFY(find<platform::DirList>("directoryList")->setPath(package));
    find<QLineEdit>("creatorNameBox")->setText(QStringLiteral("Ann"));

    // "RIFF boom" is no sound: the player is asked first, and leaves it out.
    m_dialogs.questionAnswers << platform::Dialogs::Answer::Yes;
    clickButton(m_window.data(), QStringLiteral("okButton"));
    QCOMPARE(m_dialogs.questions.size(), 1);
    QVERIFY2(m_dialogs.questions[0].contains(QStringLiteral("slot 32 (Explosions,"))
                 && m_dialogs.questions[0].contains(QStringLiteral(": not a sound file")),
             qPrintable(m_dialogs.questions[0]));
    // Beside the folder, the same package as one file to send.
    QCOMPARE(m_dialogs.messages, QStringList{QStringLiteral("Theme package created in %1. To send it as one file: "
                                                            "%1.exe (2 KB).")
                                                 .arg(QDir::toNativeSeparators(package))});
    QVERIFY(QFileInfo(package + QStringLiteral(".exe")).isExecutable());
    QVERIFY(!m_window->isVisible());
    QCOMPARE(readFile(package + QStringLiteral("/theme.cfg")),
             QByteArray("Ann\r\n\r\nhttp://\r\n10\r\nBlack\r\nWhite\r\n\r\n"));
    QCOMPARE(readFile(package + QStringLiteral("/bgimage.jpg")), readFile(picture));
    QCOMPARE(readFile(package + QStringLiteral("/install.exe")), QByteArray("installer"));
    QVERIFY(!QFile::exists(package + QStringLiteral("/explode0.wa2")));

    // Without vpak.exe beside the editor the package carries the Linux
    // installer, and the message says so.
    const QString editor = m_dir->filePath(QStringLiteral("editor/"));
    QVERIFY(QFile::rename(editor + QLatin1String(vesk::kWindowsInstaller), editor + QStringLiteral("vpak")));
    makeWindow();
    clickRow(find<platform::FileList>("pictureFileList"), 0);
    QVERIFY(find<platform::DirList>("directoryList")->setPath(package));
    m_dialogs.questionAnswers << platform::Dialogs::Answer::Yes;
    clickButton(m_window.data(), QStringLiteral("okButton"));
    QCOMPARE(m_dialogs.messages.last(),
             QStringLiteral("Theme package created in %1 (with the Linux installer: vpak.exe was not found beside the "
                            "editor). To send it as one file: %1.exe (2 KB).")
                 .arg(QDir::toNativeSeparators(package)));
}

void PackageWindowTest::ok_asksBeforeShippingOtherFilesOfTheFolder()
{
    const QString package = m_dir->filePath(QStringLiteral("package"));
    // The theme.cfg of an earlier build tells its sounds from the game's.
    for (const char *name : {"a.txt", "b.png", "c.doc", "d.ini", "e.txt", "f.txt", "BOMB2.WA2", "theme.cfg"}) {
        QFile stray(package + QLatin1Char('/') + QLatin1String(name));
        QVERIFY(stray.open(QIODevice::WriteOnly));
        stray.write("Earlier\r\n");
    }
    jpeg(QStringLiteral("bg.jpg"), Qt::black);
    makeWindow();
    clickRow(find<platform::FileList>("pictureFileList"), 0);
    QVERIFY(find<platform::DirList>("directoryList")->setPath(package));
    clickButton(m_window.data(), QStringLiteral("okButton"));
    QCOMPARE(m_dialogs.questions,
             QStringList{QStringLiteral("The folder %1 already holds other files (BOMB2.WA2 (left from an earlier "
                                        "build), a.txt, b.png, c.doc, d.ini, and 2 more). The installer would copy "
                                        "them into the game directory too. Build the package here anyway?")
                             .arg(QDir::toNativeSeparators(package))});
    QCOMPARE(m_dialogs.questionCaptions.first(), QStringLiteral("VESK"));
    QVERIFY(m_window->isVisible());
    QFile earlier(package + QStringLiteral("/theme.cfg"));
    QVERIFY(earlier.open(QIODevice::ReadOnly));
    QCOMPARE(earlier.readAll(), QByteArray("Earlier\r\n")); // nothing was written

    // A folder holding only what the last build wrote raises no question.
    for (const QString &name : QDir(package).entryList(QDir::Files))
        QFile::remove(package + QLatin1Char('/') + name);
    clickButton(m_window.data(), QStringLiteral("okButton"));
    makeWindow();
    clickRow(find<platform::FileList>("pictureFileList"), 0);
    QVERIFY(find<platform::DirList>("directoryList")->setPath(package));
    clickButton(m_window.data(), QStringLiteral("okButton"));
    QCOMPARE(m_dialogs.questions.size(), 1);
    QCOMPARE(m_dialogs.messages.size(), 2);
}

void PackageWindowTest::ok_convertsWhatTheGameCannotPlayAndSaysSo()
{
    jpeg(QStringLiteral("bg.jpg"), Qt::black);
    const QString mp3 = QStringLiteral(VESK_SOUND_DATA "/tone.mp3");
    m_slots[31] = mp3.toStdString();
    makeWindow();
    clickRow(find<platform::FileList>("pictureFileList"), 0);
    const QString package = m_dir->filePath(QStringLiteral("package"));
    QVERIFY(find<platform::DirList>("directoryList")->setPath(package));
    clickButton(m_window.data(), QStringLiteral("okButton"));
    QVERIFY2(m_dialogs.questions.isEmpty(), qPrintable(m_dialogs.questions.join(QLatin1Char('\n'))));
    QCOMPARE(m_dialogs.messages,
             QStringList{QStringLiteral("Theme package created in %1. To send it as one file: %1.exe (%3).\n\n1 sound "
                                        "was converted to 16-bit PCM:\nslot 32 (Explosions, "
                                        "Explode 0): %2")
                             .arg(QDir::toNativeSeparators(package), mp3, QStringLiteral("174 KB"))});
    QVERIFY(!vesk::waveProblem((package + QStringLiteral("/explode0.wa2")).toStdString()));
}

void PackageWindowTest::ok_handTypedColourReachesThemeCfgUnchanged()
{
    jpeg(QStringLiteral("bg.jpg"), Qt::black);
    makeWindow();
    clickRow(find<platform::FileList>("pictureFileList"), 0);
    QVERIFY(find<platform::DirList>("directoryList")->setPath(m_dir->filePath(QStringLiteral("package"))));
    find<QComboBox>("fontColourBox")->setEditText(QStringLiteral("Teal"));
    find<QComboBox>("backgroundColourBox")->setEditText(QStringLiteral("black"));
    find<QComboBox>("fontSizeBox")->setEditText(QStringLiteral("12pt"));
    clickButton(m_window.data(), QStringLiteral("okButton"));
    QCOMPARE(readFile(m_dir->filePath(QStringLiteral("package/theme.cfg"))),
             QByteArray("\r\n\r\nhttp://\r\n12pt\r\nTeal\r\nblack\r\n\r\n"));
}

void PackageWindowTest::ok_failure_saysIncompleteAndKeepsTheWindow()
{
    // No picture chosen.
    find<QLineEdit>("themeNameBox")->setText(QStringLiteral("Dusk"));
    QVERIFY(find<platform::DirList>("directoryList")->setPath(m_dir->filePath(QStringLiteral("package"))));
    clickButton(m_window.data(), QStringLiteral("okButton"));
    QCOMPARE(m_dialogs.messages.size(), 1);
    QVERIFY2(m_dialogs.messages[0].contains(QStringLiteral("incomplete")), qPrintable(m_dialogs.messages[0]));
    QVERIFY2(m_dialogs.messages[0].contains(QStringLiteral("no background picture was chosen")),
             qPrintable(m_dialogs.messages[0]));
    QVERIFY(!m_dialogs.messages[0].startsWith(QStringLiteral("Theme package created")));
    QVERIFY(m_window->isVisible());
    QCOMPARE(find<QLineEdit>("themeNameBox")->text(), QStringLiteral("Dusk"));
}

void PackageWindowTest::returnOnAnyTab_buildsAsOkDoes()
{
    jpeg(QStringLiteral("bg.jpg"), Qt::black);
    makeWindow();
    clickRow(find<platform::FileList>("pictureFileList"), 0);
    const QString package = m_dir->filePath(QStringLiteral("package"));
    QVERIFY(find<platform::DirList>("directoryList")->setPath(package));
    // On a tab without the OK button, as on its own.
    find<QTabWidget>("packageTabs")->setCurrentIndex(1);
    QTest::keyClick(find<QLineEdit>("themeNameBox"), Qt::Key_Return);
    QCOMPARE(m_dialogs.messages.size(), 1);
    QVERIFY2(m_dialogs.messages[0].startsWith(
                 QStringLiteral("Theme package created in %1.").arg(QDir::toNativeSeparators(package))),
             qPrintable(m_dialogs.messages[0]));
}

// The window opens with what the project keeps, the picture shown and the
// folder opened; OK keeps what it holds then, whether or not the build goes.
void PackageWindowTest::opensWithTheProjectsDescription_andOkKeepsWhatItHolds()
{
    vesk::PackageDescription &description = m_description.emplace();
    description.theme = {"Ann", "ann@example.org", "http://ann.example.org", "14", "Blue", "Teal", "Ocean"};
    description.picture = jpeg(QStringLiteral("sea.jpg"), Qt::blue).toStdString();
    description.folder = m_dir->filePath(QStringLiteral("package")).toStdString();
    makeWindow();
    QCOMPARE(find<QLineEdit>("creatorNameBox")->text(), QStringLiteral("Ann"));
    QCOMPARE(find<QLineEdit>("webPageBox")->text(), QStringLiteral("http://ann.example.org"));
    QCOMPARE(find<QComboBox>("fontSizeBox")->currentText(), QStringLiteral("14"));
    QCOMPARE(find<QComboBox>("backgroundColourBox")->currentText(), QStringLiteral("Teal"));
    QCOMPARE(find<QLineEdit>("themeNameBox")->text(), QStringLiteral("Ocean"));
    QCOMPARE(find<QLineEdit>("picturePathBox")->text(), QString::fromStdString(description.picture));
    QVERIFY(find<QLabel>("picturePreview")->pixmap().toImage().pixelColor(20, 15).blue() > 200);
    QCOMPARE(find<QLineEdit>("pathBox")->text(), QDir::toNativeSeparators(m_dir->filePath(QStringLiteral("package"))));

    find<QLineEdit>("creatorNameBox")->setText(QStringLiteral("Bo"));
    const QString pictures = m_dir->filePath(QStringLiteral("pictures"));
    QVERIFY(find<platform::DirList>("directoryList")->setPath(pictures));
    m_dialogs.questionAnswers << platform::Dialogs::Answer::No; // sea.jpg there: no build
    clickButton(m_window.data(), QStringLiteral("okButton"));
    QCOMPARE(m_dialogs.questions.size(), 1);
    QVERIFY(m_window->isVisible());
    vesk::PackageDescription expected = description;
    expected.theme.name = "Bo";
    expected.folder = pictures.toStdString();
    QCOMPARE(m_description == expected, true);
}

QTEST_MAIN(PackageWindowTest)
#include "packagewindow_test.moc"
