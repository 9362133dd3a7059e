#include "dirlist.h"
#include "fakedialogs.h"
#include "settingsfile.h"
#include "settingswindow.h"
#include "windowtest.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

class SettingsWindowTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void withoutSettingsFile_opensOnTheWorkingDirectory();
    void storedDirectory_opensTheListThere();
    void ok_writesExactlyTheTypedTextAndCrLf();
    void cancel_writesNothing();
    void clickInDirectoryList_resetsTypedText();
    void doubleClick_opensTheEntry();
    void makeDirectory_emptyName_doesNothing();
    void makeDirectory_createsUnderThePathBox();
    void pathWithComma_roundTrips();
    void unwritableSettingsFile_saysSoAndStaysOpen();

private:
    std::unique_ptr<SettingsWindow> makeWindow();
    template<typename T>
    T *find(const QString &name) const
    {
        return findControl<T>(m_window.get(), name);
    }
    QLineEdit *pathBox() const { return find<QLineEdit>(QStringLiteral("pathBox")); }
    void click(const QString &button) { QTest::mouseClick(find<QPushButton>(button), Qt::LeftButton); }
    QString settingsPath() const { return m_programDir->filePath(QStringLiteral("vesk.cfg")); }
    QByteArray settingsBytes() const
    {
        QFile file(settingsPath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

    std::unique_ptr<QTemporaryDir> m_programDir;
    std::unique_ptr<QTemporaryDir> m_games;
    FakeDialogs m_dialogs;
    std::unique_ptr<SettingsWindow> m_window;
};

void SettingsWindowTest::init()
{
    m_programDir = std::make_unique<QTemporaryDir>();
    m_games = std::make_unique<QTemporaryDir>();
    m_dialogs = FakeDialogs();
}

void SettingsWindowTest::cleanup()
{
    m_window.reset();
}

std::unique_ptr<SettingsWindow> SettingsWindowTest::makeWindow()
{
    // The editor hands over what vesk.cfg remembers.
    const auto stored = vesk::readGameDirectory(vesk::settingsFilePath(m_programDir->path().toStdString()));
    auto window = std::make_unique<SettingsWindow>(settingsPath(), stored, m_dialogs, nullptr);
    window->setAttribute(Qt::WA_DeleteOnClose, false);
    window->show();
    return window;
}

void SettingsWindowTest::withoutSettingsFile_opensOnTheWorkingDirectory()
{
    m_window = makeWindow();
    const QString cwd = QDir::toNativeSeparators(QDir::currentPath());
    QCOMPARE(find<platform::DirList>(QStringLiteral("directoryList"))->path(), cwd);
    QCOMPARE(pathBox()->text(), cwd);
    click(QStringLiteral("okButton"));
    QCOMPARE(settingsBytes(), cwd.toLocal8Bit() + "\r\n");
}

void SettingsWindowTest::storedDirectory_opensTheListThere()
{
    QFile file(settingsPath());
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(m_games->path().toLocal8Bit() + "\r\n");
    file.close();
    m_window = makeWindow();
    QCOMPARE(find<platform::DirList>(QStringLiteral("directoryList"))->path(),
             QDir::toNativeSeparators(m_games->path()));
    QCOMPARE(pathBox()->text(), QDir::toNativeSeparators(m_games->path()));
}

void SettingsWindowTest::ok_writesExactlyTheTypedTextAndCrLf()
{
    m_window = makeWindow();
    pathBox()->setText(QStringLiteral("/does/not/exist yet"));
    click(QStringLiteral("okButton"));
    QCOMPARE(settingsBytes(), QByteArray("/does/not/exist yet\r\n"));
    QCOMPARE(m_window->result(), int(QDialog::Accepted));
    QVERIFY(m_dialogs.messages.isEmpty());
}

void SettingsWindowTest::cancel_writesNothing()
{
    m_window = makeWindow();
    pathBox()->setText(QStringLiteral("/elsewhere"));
    click(QStringLiteral("cancelButton"));
    QCOMPARE(settingsBytes(), QByteArray("<missing>"));
    QVERIFY(!m_window->isVisible());
}

void SettingsWindowTest::clickInDirectoryList_resetsTypedText()
{
    QDir(m_games->path()).mkdir(QStringLiteral("child"));
    m_window = makeWindow();
    auto *dir1 = find<platform::DirList>(QStringLiteral("directoryList"));
    QVERIFY(dir1->setPath(m_games->path()));
    pathBox()->setText(QStringLiteral("typed by hand"));
    QListWidgetItem *child = dir1->item(dir1->count() - 1);
    QVERIFY(child->text().endsWith(QStringLiteral("child")));
    QTest::mouseClick(dir1->viewport(), Qt::LeftButton, {}, dir1->visualItemRect(child).center());
    QCOMPARE(pathBox()->text(), QDir::toNativeSeparators(m_games->path()));
}

void SettingsWindowTest::doubleClick_opensTheEntry()
{
    QDir(m_games->path()).mkdir(QStringLiteral("child"));
    m_window = makeWindow();
    auto *dir1 = find<platform::DirList>(QStringLiteral("directoryList"));
    QVERIFY(dir1->setPath(m_games->path()));
    QListWidgetItem *child = dir1->item(dir1->count() - 1);
    const QPoint at = dir1->visualItemRect(child).center();
    QTest::mouseClick(dir1->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(dir1->viewport(), Qt::LeftButton, {}, at);
    const QString opened = QDir::toNativeSeparators(m_games->filePath(QStringLiteral("child")));
    QCOMPARE(dir1->path(), opened);
    QCOMPARE(pathBox()->text(), opened);
}

void SettingsWindowTest::makeDirectory_emptyName_doesNothing()
{
    m_window = makeWindow();
    auto *dir1 = find<platform::DirList>(QStringLiteral("directoryList"));
    QVERIFY(dir1->setPath(m_games->path()));
    const int entries = dir1->count();
    click(QStringLiteral("makeDirectoryButton"));
    QCOMPARE(dir1->count(), entries);
    QCOMPARE(QDir(m_games->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).size(), 0);
    QVERIFY(m_dialogs.messages.isEmpty());
}

void SettingsWindowTest::makeDirectory_createsUnderThePathBox()
{
    QTemporaryDir other;
    m_window = makeWindow();
    auto *dir1 = find<platform::DirList>(QStringLiteral("directoryList"));
    QVERIFY(dir1->setPath(m_games->path()));
    const int entries = dir1->count();

    find<QLineEdit>(QStringLiteral("newDirectoryBox"))->setText(QStringLiteral("Themes"));
    click(QStringLiteral("makeDirectoryButton"));
    QVERIFY(QFileInfo(m_games->filePath(QStringLiteral("Themes"))).isDir());
    QCOMPARE(dir1->count(), entries + 1);

    // Typed elsewhere: made there, and the open list shows nothing new.
    pathBox()->setText(other.path());
    click(QStringLiteral("makeDirectoryButton"));
    QVERIFY(QFileInfo(other.filePath(QStringLiteral("Themes"))).isDir());
    QCOMPARE(dir1->path(), QDir::toNativeSeparators(m_games->path()));
    QCOMPARE(pathBox()->text(), other.path());

    // The name is taken now: silently nothing.
    click(QStringLiteral("makeDirectoryButton"));
    QVERIFY(m_dialogs.messages.isEmpty());

    // A folder that cannot be made says why.
    find<QLineEdit>(QStringLiteral("newDirectoryBox"))->setText(QStringLiteral("no such/Themes"));
    click(QStringLiteral("makeDirectoryButton"));
    QCOMPARE(m_dialogs.messages.size(), 1);
    QVERIFY2(m_dialogs.messages[0].startsWith(
                 QStringLiteral("Cannot make the folder %1/no such/Themes: ").arg(other.path())),
             qPrintable(m_dialogs.messages[0]));
}

void SettingsWindowTest::pathWithComma_roundTrips()
{
    const QString withComma = m_games->filePath(QStringLiteral("Kestrova, Deluxe"));
    QVERIFY(QDir().mkdir(withComma));
    m_window = makeWindow();
    pathBox()->setText(withComma);
    click(QStringLiteral("okButton"));
    QCOMPARE(settingsBytes(), '"' + withComma.toLocal8Bit() + "\"\r\n");

    m_window = makeWindow();
    QCOMPARE(pathBox()->text(), QDir::toNativeSeparators(withComma));
    QCOMPARE(find<platform::DirList>(QStringLiteral("directoryList"))->path(), QDir::toNativeSeparators(withComma));
}

void SettingsWindowTest::unwritableSettingsFile_saysSoAndStaysOpen()
{
    // A directory in the file's place cannot be written by anyone.
    QVERIFY(QDir().mkdir(settingsPath()));
    m_window = makeWindow();
    pathBox()->setText(m_games->path());
    click(QStringLiteral("okButton"));
    QCOMPARE(m_dialogs.messages.size(), 1);
    QVERIFY2(m_dialogs.messages[0].contains(settingsPath()), qPrintable(m_dialogs.messages[0]));
    QVERIFY2(m_dialogs.messages[0].contains(QStringLiteral("directory")), qPrintable(m_dialogs.messages[0]));
    QVERIFY(m_window->isVisible());
    QCOMPARE(pathBox()->text(), m_games->path());
}

QTEST_MAIN(SettingsWindowTest)
#include "settingswindow_test.moc"
