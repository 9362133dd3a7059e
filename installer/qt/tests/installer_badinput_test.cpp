// Bad input for the installer: broken theme.cfg and bgimage.jpg files in a
// package, and awkward game directories to install into. Every case must end
// without a crash, with a message where the player needs one, and with no
// existing file damaged.
#include "commandinterpreter.h"
#include "damagecheck.h"
#include "fakedialogs.h"
#include "installbatch.h"
#include "installerwindow.h"
#include "posixhelpers.h"
#include "windowtest.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <cstring>
#include <filesystem>
#include <memory>

#ifndef _WIN32
#include <xcb/xcb.h>
#endif

using badinput::CaseDir;
using badinput::DamageCheck;

class InstallerBadInputTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void brokenThemeCfg_opensTheWindowSilently_data();
    void brokenThemeCfg_opensTheWindowSilently();
    void themeCfgThatIsNoFile_isLikeAMissingOne_data();
    void themeCfgThatIsNoFile_isLikeAMissingOne();
    void brokenBgimage_leavesNoPicture_data();
    void brokenBgimage_leavesNoPicture();
    void hugeBgimageHeader_isNotDecoded();
    void awkwardTargets_installLiterally_data();
    void awkwardTargets_installLiterally();
    void unusableTargets_areRefused_data();
    void unusableTargets_areRefused();
    void oddPackageFileNames_installLiterally_data();
    void oddPackageFileNames_installLiterally();
    void unwritablePackage_isReported();
    void programsInThePackage_refuseIt_data();
    void programsInThePackage_refuseIt();
    void entriesThatAreNoFiles_refuseThePackage_data();
    void entriesThatAreNoFiles_refuseThePackage();

private:
    QString write(const QString &name, const QByteArray &bytes);
    void openWindow();
    void install(const QString &target);
    void expectTheRealInstallerOpens();
    void finishCase(const QStringList &mayChange = {});

    std::unique_ptr<CaseDir> m_package;
    FakeDialogs m_dialogs;
    platform::SystemCommandInterpreter m_interpreter;
    std::unique_ptr<InstallerWindow> m_window;
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

// A data tag that keeps a case on one line of the suite's case list.
static QString printableTag(const char *name)
{
    return QString::fromUtf8(name)
        .replace(QLatin1Char('\n'), QStringLiteral("<LF>"))
        .replace(QLatin1Char('\t'), QStringLiteral("<TAB>"));
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
    m_package = std::make_unique<CaseDir>();
    m_dialogs = FakeDialogs();
}

void InstallerBadInputTest::cleanup()
{
    m_window.reset();
}

void InstallerBadInputTest::openWindow()
{
    m_damage.snapshot(m_package->path());
    m_window = std::make_unique<InstallerWindow>(m_package->path(), m_dialogs, m_interpreter);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
}

// Types the target and presses Install Theme; the real interpreter runs 1.bat
// in a copy of this program, as vpak does.
void InstallerBadInputTest::install(const QString &target)
{
    findControl<QLineEdit>(m_window.get(), QStringLiteral("pathBox"))->setText(target);
    clickButton(m_window.get(), QStringLiteral("installButton"));
}

// The real vpak, started as install.exe from the package, opens its window
// and keeps it open. Under an X server (the suite starts Xvfb) the window is
// seen being mapped; without one the program must at least stay up.
void InstallerBadInputTest::expectTheRealInstallerOpens()
{
    const QString program = m_package->filePath(QStringLiteral("install.exe"));
    QVERIFY(QFile::copy(QStringLiteral(VPAK_PATH), program));
    QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QProcess vpak;
    vpak.setWorkingDirectory(QDir::tempPath());
#ifndef _WIN32
    xcb_connection_t *x = qEnvironmentVariableIsSet("DISPLAY") ? xcb_connect(nullptr, nullptr) : nullptr;
    const bool watching = x && !xcb_connection_has_error(x);
    if (watching) {
        const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_change_window_attributes(x, xcb_setup_roots_iterator(xcb_get_setup(x)).data->root, XCB_CW_EVENT_MASK,
                                     &mask);
        xcb_flush(x);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        vpak.setProcessEnvironment(environment);
    }
#endif
    vpak.start(program, {});
    QVERIFY(vpak.waitForStarted());
#ifndef _WIN32
    if (watching) {
        bool mapped = false;
        QElapsedTimer waited;
        waited.start();
        while (!mapped && vpak.state() == QProcess::Running && waited.elapsed() < 8000) {
            while (xcb_generic_event_t *event = xcb_poll_for_event(x)) {
                mapped = mapped || (event->response_type & 0x7f) == XCB_MAP_NOTIFY;
                std::free(event);
            }
            vpak.waitForFinished(20);
        }
        xcb_disconnect(x);
        QVERIFY2(mapped, "the installer's window was not mapped");
    } else if (x) {
        xcb_disconnect(x);
    }
#endif
    QVERIFY2(!vpak.waitForFinished(300), "the installer ended by itself");
    vpak.kill();
    vpak.waitForFinished();
    QFile::remove(program);
}

void InstallerBadInputTest::finishCase(const QStringList &mayChange)
{
    QCOMPARE(m_damage.damaged(mayChange), 0);
}

void InstallerBadInputTest::brokenThemeCfg_opensTheWindowSilently_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("name"); // what makerNameLabel then shows
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
    QTest::newRow("size -1") << head + "-1\r\n" << QStringLiteral("Ann") << 6.0;
    QTest::newRow("size 99999999") << head + "99999999\r\n" << QStringLiteral("Ann") << 30.0;
    QTest::newRow("size abc") << head + "abc\r\n" << QStringLiteral("Ann") << 19.5;
    QTest::newRow("CR-only line ends") << QByteArray("Ann\rann@example.org\rhttp://ann\r12\rRed\rBlue\rNight\r")
                                       << QStringLiteral("Ann") << 12.0;
    QTest::newRow("empty") << QByteArray() << QStringLiteral("Label1") << 19.5;
    QTest::newRow("truncated") << QByteArray("Ann\r\nann@exa") << QStringLiteral("Ann") << 19.5;
    QTest::newRow("only line ends") << QByteArray("\r\n").repeated(7) << QString() << 6.0;
    QTest::newRow("Latin-1") << QByteArray("Ren\xE9"
                                           "e\r\n")
                             << QStringLiteral("Ren") + QChar(0xE9) + QStringLiteral("e") << 19.5;
    QTest::newRow("UTF-16") << QByteArray("\xFF\xFE"
                                          "A\0n\0n\0\r\0\n\0",
                                          12)
                            << QString() << 19.5;
    QTest::newRow("markup") << head + "10\r\n<b>Red</b>\r\nBlue\r\n<img src=\"/dev/zero\">\r\n"
                            << QStringLiteral("Ann") << 10.0;
    QTest::newRow("image markup as name") << QByteArray("<img src=\"/dev/zero\" width=99999>\r\n")
                                          << QStringLiteral("<img src=\"/dev/zero\" width=99999>") << 19.5;
    QTest::newRow("a million lines") << QByteArray("x\r\n").repeated(1000000) << QStringLiteral("x") << 19.5;
    QTest::newRow("size NaN") << head + "nan\r\n" << QStringLiteral("Ann") << 19.5;
    QTest::newRow("size 1e308") << head + "1e308\r\n" << QStringLiteral("Ann") << 19.5;
    QTest::newRow("quoted size") << head + "\"12\"\r\nRed\r\n" << QStringLiteral("Ann") << 12.0;
    QTest::newRow("unknown colours") << head + "12\r\nChartreuse\r\nblack\r\nT\r\n" << QStringLiteral("Ann") << 12.0;
}

void InstallerBadInputTest::brokenThemeCfg_opensTheWindowSilently()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, name);
    QFETCH(double, size);
    write(QStringLiteral("theme.cfg"), bytes);
    openWindow();
    QVERIFY(m_dialogs.messages.isEmpty());
    auto *label1 = findControl<QLabel>(m_window.get(), QStringLiteral("makerNameLabel"));
    if (!name.isNull())
        QCOMPARE(label1->text(), name);
    if (size > 0)
        QCOMPARE(label1->font().pointSizeF(), size);
    expectTheRealInstallerOpens();
    finishCase();
}

// theme.cfg or bgimage.jpg as a FIFO, a link to an endless device, a folder
// or a dangling link: never read, and the window opens as without the file.
void InstallerBadInputTest::themeCfgThatIsNoFile_isLikeAMissingOne_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("kind");
    for (const char *name : {"theme.cfg", "bgimage.jpg"}) {
        for (const char *kind : {"fifo", "link to /dev/zero", "link to /dev/urandom", "folder", "dangling link"})
            QTest::addRow("%s %s", name, kind) << QString::fromLatin1(name) << QString::fromLatin1(kind);
    }
}

void InstallerBadInputTest::themeCfgThatIsNoFile_isLikeAMissingOne()
{
#ifdef _WIN32
    QSKIP("FIFOs and device links are POSIX matters");
#else
    QFETCH(QString, name);
    QFETCH(QString, kind);
    const std::string path = m_package->filePath(name).toStdString();
    if (kind == QStringLiteral("fifo"))
        QVERIFY(vesk::posix::makeFifo(path));
    else if (kind == QStringLiteral("folder"))
        QVERIFY(QDir().mkdir(m_package->filePath(name)));
    else if (kind == QStringLiteral("dangling link"))
        std::filesystem::create_symlink("/nowhere/at/all", path);
    else
        std::filesystem::create_symlink(kind.mid(8).toStdString(), path);
    if (name == QStringLiteral("bgimage.jpg"))
        write(QStringLiteral("theme.cfg"), "Ann\r\n");
    openWindow();
    QVERIFY(m_dialogs.messages.isEmpty());
    QCOMPARE(findControl<QLabel>(m_window.get(), QStringLiteral("makerNameLabel"))->text(),
             name == QStringLiteral("theme.cfg") ? QStringLiteral("Label1") : QStringLiteral("Ann"));
    QVERIFY(m_window->backgroundPicture().isNull());
    expectTheRealInstallerOpens();
    finishCase();
#endif
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
    QTest::newRow("JPEG marker then garbage")
        << QByteArray("\xFF\xD8\xFF\xE0").append(QByteArray(5000, '\x7F')) << false;
    QTest::newRow("GIF named .jpg") << QByteArray("GIF89a\x01\x00\x01\x00\x00\x00\x00;") << false;
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
    QCOMPARE(findControl<QLabel>(m_window.get(), QStringLiteral("makerNameLabel"))->text(), QStringLiteral("Ann"));
    expectTheRealInstallerOpens();
    finishCase();
}

void InstallerBadInputTest::hugeBgimageHeader_isNotDecoded()
{
    write(QStringLiteral("bgimage.jpg"), jpegClaiming(20000, 20000));
#ifndef _WIN32
    const long before = vesk::posix::peakResidentKiB();
#endif
    openWindow();
    QVERIFY(m_window->backgroundPicture().isNull());
#ifndef _WIN32
    // A decode would need 1.6 GB.
    const long grown = vesk::posix::peakResidentKiB() - before;
    QVERIFY2(grown < 200 * 1024, qPrintable(QStringLiteral("peak grew by %1 KiB").arg(grown)));
#endif
    expectTheRealInstallerOpens();
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
    const char *operators[] = {"a & b",     "a | b", "a ; b",         "100% sure",     "%PATH%",      "x^y",
                               "(1)",       "a, b",  "tab\there",     "-rf",           "--help",      "wow!",
                               "a < b > c", "a = b", "`echo hi`",     "$(touch x)",    "back\\slash", "'single'",
                               "*",         "?",     "trailing dot.", " leading blank"};
    for (const char *name : operators)
        QTest::addRow("%s", qPrintable(printableTag(name))) << QString::fromUtf8(name);
}

void InstallerBadInputTest::awkwardTargets_installLiterally()
{
    QFETCH(QString, name);
    CaseDir games;
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

    install(target);
    QCOMPARE(m_dialogs.messages, QStringList{QStringLiteral("Install Completed")});
    QCOMPARE(QDir(target).entryList(QDir::Files, QDir::Name),
             (QStringList{QStringLiteral("1.bat"), QStringLiteral("bomb1.wa2"), QStringLiteral("gun1.wa2")}));
    finishCase();
}

// Targets the install must refuse with one message, before 1.bat is written.
void InstallerBadInputTest::unusableTargets_areRefused_data()
{
    QTest::addColumn<QString>("target");
    QTest::newRow("empty") << QString();
    QTest::newRow("dot") << QStringLiteral(".");
    QTest::newRow("relative name") << QStringLiteral("game");
    QTest::newRow("relative up") << QStringLiteral("../game");
    QTest::newRow("missing") << QStringLiteral("/no/such/kestrova");
    QTest::newRow("line break") << QStringLiteral("/tmp/a\ncopy");
    QTest::newRow("carriage return") << QStringLiteral("/tmp/a\rdel x");
    QTest::newRow("a file") << QStringLiteral("FILE");
    QTest::newRow("the package") << QStringLiteral("PACKAGE");
    QTest::newRow("the package with a slash") << QStringLiteral("PACKAGE/");
    QTest::newRow("not writable even for root") << QStringLiteral("/sys");
    QTest::newRow("not writable proc") << QStringLiteral("/proc/self");
}

void InstallerBadInputTest::unusableTargets_areRefused()
{
    QFETCH(QString, target);
    write(QStringLiteral("bomb1.wa2"), "RIFF bomb");
    target.replace(QStringLiteral("PACKAGE"), m_package->path());
    if (target == QStringLiteral("FILE"))
        target = write(QStringLiteral("plain.txt"), "a file, not a folder");
    openWindow();
    install(target);
    QCOMPARE(m_dialogs.messages.size(), 1);
    QVERIFY(!m_dialogs.messages.contains(QStringLiteral("Install Completed")));
    QVERIFY(!QFile::exists(m_package->filePath(QStringLiteral("1.bat"))));
    QVERIFY(m_window->isVisible());
    finishCase();
}

// Whatever the package's files are called, they are copied as they are and
// nothing in their names is carried out.
void InstallerBadInputTest::oddPackageFileNames_installLiterally_data()
{
    QTest::addColumn<QString>("name");
    const char *names[] = {"-rf",      "--version",       "$(touch x)", "`touch x`",   "*.*",
                           ".hidden",  "quote\"d",        "it's",       "back\\slash", "100%",
                           "a b",      "semi;colon",      "amp&ersand", "pipe|d",      "new\nline",
                           "tab\tbed", "caf\xc3\xa9.wa2", "#hash",      "~tilde",      "x.WA2"};
    for (const char *name : names)
        QTest::addRow("%s", qPrintable(printableTag(name))) << QString::fromUtf8(name);
}

void InstallerBadInputTest::oddPackageFileNames_installLiterally()
{
    QFETCH(QString, name);
    CaseDir games;
    write(name, "odd bytes");
    write(QStringLiteral("bomb1.wa2"), "RIFF bomb");
    openWindow();
    // No theme file: the player is asked first, and agrees.
    m_dialogs.questionAnswers << platform::Dialogs::Answer::Yes;
    install(games.path());
    QCOMPARE(m_dialogs.questions.size(), 1);
    QVERIFY(m_dialogs.questions[0].contains(name));
    QCOMPARE(m_dialogs.messages, QStringList{QStringLiteral("Install Completed")});
    QStringList expected = {QStringLiteral("1.bat"), QStringLiteral("bomb1.wa2"), name};
    expected.sort();
    QStringList installed = QDir(games.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    installed.sort();
    QCOMPARE(installed, expected);
    QVERIFY(!QFile::exists(QStringLiteral("x")) && !QFile::exists(m_package->filePath(QStringLiteral("x"))));
    finishCase();
}

void InstallerBadInputTest::programsInThePackage_refuseIt_data()
{
    QTest::addColumn<QString>("name");
    for (const char *name : {"evil.dll", "DDRAW.DLL", "kestrova.exe", "run.bat", "x.cmd", "s.scr", "p.pif", "v.vbs",
                             "v.vbe", "j.js", "j.jse", "w.wsf", "w.wsh", "p.ps1", "setup.msi", "game.lnk", "c.cpl",
                             "d.sys", "o.ocx", "d.drv", "old.com", "bomb1.wa2.exe",
                             // Windows drops trailing dots and blanks: these are programs too.
                             "x.exe.", "x.exe ", "evil.dll.. "})
        QTest::newRow(name) << QString::fromLatin1(name);
}

void InstallerBadInputTest::programsInThePackage_refuseIt()
{
    QFETCH(QString, name);
    CaseDir games;
    write(name, "MZ program");
    write(QStringLiteral("bomb1.wa2"), "RIFF bomb");
    openWindow();
    m_damage.snapshot(games.path());
    install(games.path());
    QCOMPARE(m_dialogs.messages.size(), 1);
    QVERIFY(m_dialogs.messages[0].contains(name));
    QVERIFY(m_dialogs.questions.isEmpty());
    QVERIFY(!QFile::exists(m_package->filePath(QStringLiteral("1.bat"))));
    QCOMPARE(QDir(games.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden), QStringList());
    finishCase();
}

void InstallerBadInputTest::unwritablePackage_isReported()
{
    CaseDir game;
    QVERIFY(QDir(m_package->path()).mkdir(QStringLiteral("1.bat")));
    openWindow();
    install(game.path());
    QCOMPARE(m_dialogs.messages.size(), 1);
    QVERIFY(!m_dialogs.messages.contains(QStringLiteral("Install Completed")));
    finishCase();
}

namespace {

// An X server of the suite's own, so that the real installer's windows can
// be seen opening; none when Xvfb is not installed.
QString startXServer(QProcess &server)
{
    for (int display = 140; display < 200; ++display) {
        const QString socket = QStringLiteral("/tmp/.X11-unix/X%1").arg(display);
        if (QFile::exists(socket) || QFile::exists(QStringLiteral("/tmp/.X%1-lock").arg(display)))
            continue;
        server.start(QStringLiteral("Xvfb"),
                     {QStringLiteral(":%1").arg(display), QStringLiteral("-nolisten"), QStringLiteral("tcp"),
                      QStringLiteral("-screen"), QStringLiteral("0"), QStringLiteral("800x600x24")});
        if (!server.waitForStarted(3000))
            return QString();
        for (int wait = 0; wait < 100 && !QFile::exists(socket); ++wait)
            QThread::msleep(50);
        return QFile::exists(socket) ? QStringLiteral(":%1").arg(display) : QString();
    }
    return QString();
}

} // namespace

// A link would bring whatever it points at into the game directory, a FIFO
// would stall the copy: only plain files are installed, and anything else
// refuses the package before a byte is written.
void InstallerBadInputTest::entriesThatAreNoFiles_refuseThePackage_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("kind");
    QTest::newRow("bomb1.wa2 links to /etc/passwd") << QStringLiteral("bomb1.wa2") << QStringLiteral("link");
    QTest::newRow("readme.txt links to /etc/passwd") << QStringLiteral("readme.txt") << QStringLiteral("link");
    QTest::newRow("gun1.wa2 is a FIFO") << QStringLiteral("gun1.wa2") << QStringLiteral("fifo");
    QTest::newRow("gun2.wa2 is a folder") << QStringLiteral("gun2.wa2") << QStringLiteral("folder");
}

void InstallerBadInputTest::entriesThatAreNoFiles_refuseThePackage()
{
    QFETCH(QString, name);
    QFETCH(QString, kind);
    CaseDir games;
    write(QStringLiteral("bomb2.wa2"), "RIFF bomb");
    const QString entry = m_package->filePath(name);
    if (kind == QStringLiteral("link"))
        QVERIFY(QFile::link(QStringLiteral("/etc/passwd"), entry));
    else if (kind == QStringLiteral("fifo"))
        QVERIFY(vesk::posix::makeFifo(QFile::encodeName(entry).toStdString()));
    else
        QVERIFY(QDir().mkdir(entry));
    openWindow();
    m_damage.snapshot(games.path());
    install(games.path());
    QCOMPARE(m_dialogs.messages.size(), 1);
    QVERIFY2(m_dialogs.messages[0].contains(QStringLiteral("not plain files")) && m_dialogs.messages[0].contains(name),
             qPrintable(m_dialogs.messages[0]));
    QVERIFY(!QFile::exists(m_package->filePath(QStringLiteral("1.bat"))));
    QCOMPARE(QDir(games.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden), QStringList());
    finishCase();
}

int main(int argc, char *argv[])
{
    // The copy of this program that the real interpreter starts for 1.bat.
    if (argc == 3 && std::strcmp(argv[1], platform::kRunBatchArgument) == 0)
        return vpak::runBatchFile(argv[2], std::filesystem::current_path().string()).ok() ? 0 : 1;
    QApplication app(argc, argv);
    InstallerBadInputTest suite;
    QTEST_SET_MAIN_SOURCE_PATH
    QStringList environment;
    QProcess xServer;
    if (!badinput::isChild()) {
        const QString display = startXServer(xServer);
        if (!display.isEmpty())
            environment << QStringLiteral("DISPLAY=") + display;
    }
    const int result = badinput::runSuite(suite, argc, argv, environment);
    xServer.terminate();
    xServer.waitForFinished(3000);
    return result;
}
#include "installer_badinput_test.moc"
