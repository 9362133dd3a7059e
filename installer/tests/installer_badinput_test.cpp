// Bad input for the installer: broken theme.cfg and bgimage.jpg files in a
// package, and awkward game directories to install into. Every case must end
// without a crash, with a message where the player needs one, and with no
// existing file damaged.
#include "damagecheck.h"
#include "fakedialogs.h"
#include "frmmain2.h"
#include "installbatch.h"
#include "windowtest.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <memory>

#ifndef _WIN32
#include <sys/resource.h>
#endif

class InstallerBadInputTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanupTestCase();

    void brokenThemeCfg_opensTheWindowSilently_data();
    void brokenThemeCfg_opensTheWindowSilently();
    void brokenBgimage_leavesNoPicture_data();
    void brokenBgimage_leavesNoPicture();
    void hugeBgimageHeader_isNotDecoded();
    void awkwardTargets_installLiterally_data();
    void awkwardTargets_installLiterally();
    void unwritablePackage_isReported();

private:
    QString write(const QString &name, const QByteArray &bytes);
    void openWindow();
    void finishCase(const QStringList &mayChange = {});

    std::unique_ptr<QTemporaryDir> m_package;
    FakeDialogs m_dialogs;
    FakeInterpreter m_interpreter;
    std::unique_ptr<frmmain2> m_window;
    DamageCheck m_damage;
};

static QByteArray jpegBytes(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPG");
    return bytes;
}

// A real JPEG whose frame header claims another size.
static QByteArray jpegClaiming(int width, int height)
{
    QByteArray bytes = jpegBytes(16, 16);
    for (int i = 0; i + 8 < bytes.size(); ++i) {
        const auto marker = static_cast<unsigned char>(bytes[i + 1]);
        if (static_cast<unsigned char>(bytes[i]) == 0xFF && (marker == 0xC0 || marker == 0xC2)) {
            bytes[i + 5] = char(height >> 8);
            bytes[i + 6] = char(height & 0xFF);
            bytes[i + 7] = char(width >> 8);
            bytes[i + 8] = char(width & 0xFF);
            break;
        }
    }
    return bytes;
}

QString InstallerBadInputTest::write(const QString &name, const QByteArray &bytes)
{
    const QString path = m_package->filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(path));
    file.write(bytes);
    return path;
}

void InstallerBadInputTest::init()
{
    m_window.reset();
    m_package = std::make_unique<QTemporaryDir>();
    m_dialogs = FakeDialogs();
    m_interpreter = FakeInterpreter();
    m_interpreter.onRun = [](const std::string &batch, const std::string &dir) { vpak::runBatchFile(batch, dir); };
}

void InstallerBadInputTest::openWindow()
{
    m_damage.snapshot(m_package->path());
    m_window = std::make_unique<frmmain2>(m_package->path(), m_dialogs, m_interpreter);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
}

void InstallerBadInputTest::finishCase(const QStringList &mayChange)
{
    const int damaged = m_damage.damaged(mayChange);
    m_damage.tried(damaged);
    QCOMPARE(damaged, 0);
}

void InstallerBadInputTest::cleanupTestCase()
{
    m_window.reset();
    m_damage.printSummary();
    QCOMPARE(m_damage.totalDamaged(), 0);
}

void InstallerBadInputTest::brokenThemeCfg_opensTheWindowSilently_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("name"); // what Label1 then shows
    QTest::addColumn<double>("size");  // the value labels' font size

    QByteArray random(64 * 1024, Qt::Uninitialized);
    QRandomGenerator generator(7);
    for (char &byte : random)
        byte = char(generator.bounded(256));
    const QByteArray head = "Ann\r\nann@example.org\r\nhttp://ann\r\n";
    QTest::newRow("random bytes") << random << QString() << -1.0;
    // Only the first 64 KiB are read.
    QTest::newRow("50 MB single line") << QByteArray(50 * 1024 * 1024, 'x') << QString(64 * 1024, QLatin1Char('x'))
                                       << 19.5;
    QTest::newRow("NUL bytes") << QByteArray(4096, '\0') << QString(4096, QChar(0)) << 19.5;
    QTest::newRow("unterminated quote") << QByteArray("\"Ann, never closed\r\nx\r\n")
                                        << QStringLiteral("Ann, never closed") << 19.5;
    QTest::newRow("size -1") << head + "-1\r\n" << QStringLiteral("Ann") << 1.0;
    QTest::newRow("size 99999999") << head + "99999999\r\n" << QStringLiteral("Ann") << 72.0;
    QTest::newRow("size abc") << head + "abc\r\n" << QStringLiteral("Ann") << 19.5;
    QTest::newRow("CR-only line ends") << QByteArray("Ann\rann@example.org\rhttp://ann\r12\rRed\rBlue\rNight\r")
                                       << QStringLiteral("Ann") << 12.0;
}

void InstallerBadInputTest::brokenThemeCfg_opensTheWindowSilently()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, name);
    QFETCH(double, size);
    write(QStringLiteral("theme.cfg"), bytes);
    openWindow();
    QVERIFY(m_dialogs.messages.isEmpty());
    auto *label1 = findControl<QLabel>(m_window.get(), QStringLiteral("Label1"));
    if (!name.isNull())
        QCOMPARE(label1->text(), name);
    if (size > 0)
        QCOMPARE(label1->font().pointSizeF(), size);
    finishCase();
}

void InstallerBadInputTest::brokenBgimage_leavesNoPicture_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("shown");
    QImage png(30, 20, QImage::Format_RGB32);
    png.fill(Qt::yellow);
    QByteArray pngBytes;
    QBuffer buffer(&pngBytes);
    buffer.open(QIODevice::WriteOnly);
    png.save(&buffer, "PNG");

    QTest::newRow("truncated JPEG") << jpegBytes(200, 100).left(300) << false;
    QTest::newRow("PNG named .jpg") << pngBytes << true;
    QTest::newRow("0-byte file") << QByteArray() << false;
    QTest::newRow("text") << QByteArray("not a picture at all") << false;
}

void InstallerBadInputTest::brokenBgimage_leavesNoPicture()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, shown);
    write(QStringLiteral("theme.cfg"), "Ann\r\n");
    write(QStringLiteral("bgimage.jpg"), bytes);
    openWindow();
    QVERIFY(m_dialogs.messages.isEmpty());
    // A truncated JPEG may still decode the part that is there; what
    // matters is that the window opens and shows its text.
    if (!shown && bytes.isEmpty())
        QVERIFY(m_window->backgroundPicture().isNull());
    if (shown)
        QCOMPARE(m_window->backgroundPicture().size(), QSize(30, 20));
    QCOMPARE(findControl<QLabel>(m_window.get(), QStringLiteral("Label1"))->text(), QStringLiteral("Ann"));
    finishCase();
}

void InstallerBadInputTest::hugeBgimageHeader_isNotDecoded()
{
    write(QStringLiteral("bgimage.jpg"), jpegClaiming(20000, 20000));
#ifndef _WIN32
    rusage before{};
    getrusage(RUSAGE_SELF, &before);
#endif
    openWindow();
    QVERIFY(m_window->backgroundPicture().isNull());
#ifndef _WIN32
    rusage after{};
    getrusage(RUSAGE_SELF, &after);
    // ru_maxrss is in KiB; a decode would need 1.6 GB.
    QVERIFY2(after.ru_maxrss - before.ru_maxrss < 200 * 1024,
             qPrintable(QStringLiteral("peak grew by %1 KiB").arg(after.ru_maxrss - before.ru_maxrss)));
#endif
    finishCase();
}

void InstallerBadInputTest::awkwardTargets_installLiterally_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("blanks") << QStringLiteral("Kestrova  Game");
    QTest::newRow("non-ASCII") << QStringLiteral("Jeux é 日本");
    QTest::newRow("comma") << QStringLiteral("Kestrova, Deluxe");
    QTest::newRow("quote") << QStringLiteral("the \"real\" game");
    QTest::newRow("dollar and semicolon") << QStringLiteral("$HOME;rm -rf x & y");
    QTest::newRow("250 characters") << QString(120, QLatin1Char('g')) + QLatin1Char('/')
                                           + QString(120, QLatin1Char('h'));
}

void InstallerBadInputTest::awkwardTargets_installLiterally()
{
    QFETCH(QString, name);
    QTemporaryDir games;
    const QString target = games.filePath(name);
    QVERIFY(QDir().mkpath(target));
    const QString kept = target + QStringLiteral("/gun1.wa2");
    QFile keep(kept);
    QVERIFY(keep.open(QIODevice::WriteOnly));
    keep.write("the player's own gun");
    keep.close();
    write(QStringLiteral("theme.cfg"), "Ann\r\n");
    write(QStringLiteral("install.exe"), "installer");
    write(QStringLiteral("bomb1.wa2"), "RIFF new bomb");
    openWindow();
    m_damage.snapshot(games.path());

    findControl<QLineEdit>(m_window.get(), QStringLiteral("filepath1"))->setText(target);
    clickButton(m_window.get(), QStringLiteral("Command2"));
    QCOMPARE(m_dialogs.messages, QStringList{QStringLiteral("Install Completed")});
    QCOMPARE(m_interpreter.started.size(), 1);
    QCOMPARE(QDir(target).entryList(QDir::Files, QDir::Name),
             (QStringList{QStringLiteral("1.bat"), QStringLiteral("bomb1.wa2"), QStringLiteral("gun1.wa2")}));
    finishCase();
}

void InstallerBadInputTest::unwritablePackage_isReported()
{
    QTemporaryDir game;
    QVERIFY(QDir(m_package->path()).mkdir(QStringLiteral("1.bat")));
    openWindow();
    findControl<QLineEdit>(m_window.get(), QStringLiteral("filepath1"))->setText(game.path());
    clickButton(m_window.get(), QStringLiteral("Command2"));
    QCOMPARE(m_dialogs.messages.size(), 1);
    QVERIFY(!m_dialogs.messages.contains(QStringLiteral("Install Completed")));
    finishCase();
}

QTEST_MAIN(InstallerBadInputTest)
#include "installer_badinput_test.moc"
