// A one-file package given to the Linux installer: what is wrong with it is
// said once its checking window has gone, never beneath it.
#include "fakedialogs.h"
#include "onefile.h"
#include "packagefile.h"

#include <QApplication>
#include <QFile>
#include <QProgressDialog>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// Records, for each message, whether a progress window was still there.
class WatchingDialogs final : public FakeDialogs
{
public:
    QList<bool> progressAtMessage;
    void message(QWidget *parent, const QString &text, const QString &caption) override
    {
        bool progress = false;
        for (QWidget *widget : QApplication::topLevelWidgets())
            progress = progress || qobject_cast<QProgressDialog *>(widget);
        progressAtMessage << progress;
        FakeDialogs::message(parent, text, caption);
    }
};

} // namespace

class PackageFileTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void aDamagedPackageIsNamedAfterItsCheckingWindowHasGone();
};

void PackageFileTest::aDamagedPackageIsNamedAfterItsCheckingWindowHasGone()
{
    QTemporaryDir dir;
    const auto path = [&](const char *name) { return dir.filePath(QLatin1String(name)).toStdString(); };
    const auto write = [](const std::string &file, const QByteArray &bytes) {
        QFile out(QString::fromStdString(file));
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(bytes);
    };
    write(path("program"), "MZ the installer");
    write(path("bomb1.wa2"), QByteArray(200000, 'b'));
    auto writer = vesk::OneFileWriter::start(path("Ocean.exe"), path("program"));
    QVERIFY(writer.ok());
    QVERIFY((*writer)->add("bomb1.wa2", path("bomb1.wa2")).ok());
    QVERIFY((*writer)->finish().ok());
    // One byte of the sound altered in transit.
    QFile package(QString::fromStdString(path("Ocean.exe")));
    QVERIFY(package.open(QIODevice::ReadWrite));
    QVERIFY(package.seek(100000));
    package.write("x");
    package.close();

    WatchingDialogs dialogs;
    QVERIFY(!openPackageFile(path("Ocean.exe"), dialogs));
    QCOMPARE(dialogs.messages.size(), 1);
    QVERIFY2(dialogs.messages[0].startsWith(QStringLiteral("Ocean.exe is damaged (")), qPrintable(dialogs.messages[0]));
    QCOMPARE(dialogs.progressAtMessage, QList<bool>{false});
}

QTEST_MAIN(PackageFileTest)
#include "packagefile_test.moc"
