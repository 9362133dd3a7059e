#include "dialogs.h"
#include "dirlist.h"
#include "drivelist.h"
#include "fakedialogs.h"
#include "filelist.h"
#include "picture.h"
#include "windowtest.h"

#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QTemporaryDir>

#include <filesystem>
#include <fstream>

class PlatformTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void driveThatCannotBeRead_leavesTheListsWithANotice();
    void dirList_showsAncestorsThenSubdirectories();
    void dirList_refusesWhatIsNoDirectory();
    void qtFilter_turnsPairsIntoQtsForm();
    void commonDialog_keepsTheLastNameAndIgnoresCancel();
    void pictures_jpegPluginIsPresentAndBadFilesAreRefused();
};

void PlatformTest::driveThatCannotBeRead_leavesTheListsWithANotice()
{
    QTemporaryDir dir;
    FakeDialogs dialogs;
    platform::DriveList drives;
    platform::DirList list;
    QVERIFY(list.setPath(dir.path()));
    const QString before = drives.currentText();
    drives.addItem(dir.filePath(QStringLiteral("vanished-volume")));
    drives.setCurrentIndex(drives.count() - 1);
    drives.steer(&list, dialogs);
    QCOMPARE(drives.currentText(), before);
    QCOMPARE(list.path(), QDir::toNativeSeparators(dir.path()));
    QCOMPARE(dialogs.messages.size(), 1);
    QVERIFY(dialogs.messages[0].contains(QStringLiteral("vanished-volume")));
}

void PlatformTest::dirList_showsAncestorsThenSubdirectories()
{
    QTemporaryDir dir;
    QDir(dir.path()).mkdir(QStringLiteral("b"));
    QDir(dir.path()).mkdir(QStringLiteral("A"));
    QFile(dir.filePath(QStringLiteral("file.txt"))).open(QIODevice::WriteOnly);
    platform::DirList list;
    QSignalSpy changed(&list, &platform::DirList::changed);
    QVERIFY(list.setPath(dir.path()));
    QCOMPARE(changed.count(), 1);
    const QStringList rows = listTexts(&list);
    QCOMPARE(rows.first(), QDir::toNativeSeparators(QDir::rootPath()));
    QCOMPARE(rows.at(rows.size() - 3).trimmed(), QFileInfo(dir.path()).fileName());
    QCOMPARE(rows.at(rows.size() - 2).trimmed(), QStringLiteral("A"));
    QCOMPARE(rows.last().trimmed(), QStringLiteral("b"));

    // A folder whose name is no UTF-8 is listed, opened and handed on with
    // its bytes, and so are the files in it.
    const std::string odd = QFile::encodeName(dir.path()).toStdString() + "/pk\xE9";
    QVERIFY(std::filesystem::create_directory(odd));
    std::ofstream(odd + "/bg\xE9.jpg") << "jpeg";
    list.refresh();
    QVERIFY(listTexts(&list).last().contains(QStringLiteral("pk")));
    QTest::keyClick(&list, Qt::Key_End);
    QTest::keyClick(&list, Qt::Key_Return);
    QCOMPARE(list.localPath(), odd);
    platform::FileList files;
    files.setLocalPath(list.localPath());
    QCOMPARE(files.count(), 1);
    files.setCurrentRow(0);
    QCOMPARE(files.localFilePath(), odd + "/bg\xE9.jpg");
}

void PlatformTest::dirList_refusesWhatIsNoDirectory()
{
    QTemporaryDir dir;
    QFile(dir.filePath(QStringLiteral("file.txt"))).open(QIODevice::WriteOnly);
    platform::DirList list;
    QVERIFY(list.setPath(dir.path()));
    QSignalSpy changed(&list, &platform::DirList::changed);
    QVERIFY(!list.setPath(dir.filePath(QStringLiteral("file.txt"))));
    QVERIFY(!list.setPath(dir.filePath(QStringLiteral("missing"))));
    QVERIFY(!list.setPath(QString()));
    QCOMPARE(changed.count(), 0);
    QCOMPARE(list.path(), QDir::toNativeSeparators(dir.path()));
}

void PlatformTest::qtFilter_turnsPairsIntoQtsForm()
{
    QCOMPARE(platform::qtFilter(QStringLiteral("Wave Files *.wav|*.wav")), QStringLiteral("Wave Files *.wav (*.wav)"));
    QCOMPARE(platform::qtFilter(QStringLiteral("A|*.a|B|*.b;*.c")), QStringLiteral("A (*.a);;B (*.b *.c)"));
}

void PlatformTest::commonDialog_keepsTheLastNameAndIgnoresCancel()
{
    FakeDialogs dialogs;
    platform::CommonDialog dialog(dialogs);
    dialogs.answers.enqueue(QStringLiteral("/a.wav"));
    QVERIFY(dialog.showOpen(nullptr));
    dialogs.answers.enqueue(std::nullopt);
    QVERIFY(!dialog.showSave(nullptr));
    QCOMPARE(dialog.fileName, QStringLiteral("/a.wav"));
    QCOMPARE(dialogs.requests[1].fileName, QStringLiteral("/a.wav"));
}

void PlatformTest::pictures_jpegPluginIsPresentAndBadFilesAreRefused()
{
    QVERIFY(QImageReader::supportedImageFormats().contains("jpeg"));
    QTemporaryDir dir;
    QImage image(20, 10, QImage::Format_RGB32);
    image.fill(Qt::green);
    QVERIFY(image.save(dir.filePath(QStringLiteral("ok.jpg")), "JPG"));
    QCOMPARE(platform::loadPicture(dir.filePath(QStringLiteral("ok.jpg")))->size(), QSize(20, 10));

    QFile truncated(dir.filePath(QStringLiteral("cut.jpg")));
    QVERIFY(truncated.open(QIODevice::WriteOnly));
    truncated.write("\xff\xd8\xff\xe0");
    truncated.close();
    QVERIFY(!platform::loadPicture(truncated.fileName()));
    QVERIFY(!platform::loadPicture(dir.filePath(QStringLiteral("missing.jpg"))));
}

QTEST_MAIN(PlatformTest)
#include "platform_test.moc"
