#pragma once

// The harness of the bad-input suites. Run plainly, a suite is the parent:
// it lists its own cases (every test function with every data row) and runs
// each in a child process of itself, so that a crash or a hang is seen and
// counted instead of ending the run. Each child snapshots the files its case
// may touch into a file the parent reads back afterwards, so damage is
// measured even when the child dies halfway. The parent prints one line:
//   bad inputs tried: N, crashes: C, files damaged: D
#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QHash>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>
#include <QTextStream>
#include <QtTest>

#include <cstdio>

namespace badinput {

inline constexpr int kCaseSeconds = 10;

inline bool isChild()
{
    return qEnvironmentVariableIsSet("VESK_BADINPUT_CASE");
}

// Where a case keeps its files: in a child run a folder of the parent's,
// which the parent checks and removes after the child ended.
class CaseDir
{
public:
    CaseDir() : m_dir(base() + QStringLiteral("/case-XXXXXX")) { m_dir.setAutoRemove(!isChild()); }
    QString path() const { return m_dir.path(); }
    QString filePath(const QString &name) const { return m_dir.filePath(name); }

private:
    static QString base()
    {
        const QString root = qEnvironmentVariable("VESK_BADINPUT_ROOT");
        return root.isEmpty() ? QDir::tempPath() : root;
    }
    QTemporaryDir m_dir;
};

inline QByteArray digest(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray("<gone>");
    QCryptographicHash hash(QCryptographicHash::Sha1);
    hash.addData(&file);
    return hash.result().toHex();
}

// What every regular file under a root holds before a case acts. In a child
// run it is written out for the parent as well.
class DamageCheck
{
public:
    void snapshot(const QString &root, const QStringList &mayChange = {})
    {
        m_before.clear();
        QDirIterator it(root, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            if (QFileInfo(path).isFile() && !mayChange.contains(path))
                m_before.insert(path, digest(path));
        }
        const QString out = qEnvironmentVariable("VESK_BADINPUT_SNAPSHOT");
        if (out.isEmpty())
            return;
        QFile file(out);
        if (file.open(QIODevice::WriteOnly)) {
            for (auto i = m_before.cbegin(); i != m_before.cend(); ++i)
                file.write(i.value() + ' ' + i.key().toUtf8().toBase64() + '\n');
        }
    }

    // Files that were there before and are gone or hold other bytes now.
    int damaged(const QStringList &mayChange = {}) const
    {
        int count = 0;
        for (auto i = m_before.cbegin(); i != m_before.cend(); ++i)
            count += !mayChange.contains(i.key()) && digest(i.key()) != i.value();
        return count;
    }

    // Damage by a snapshot file a child wrote.
    static int damagedSince(const QString &snapshotFile)
    {
        QFile file(snapshotFile);
        if (!file.open(QIODevice::ReadOnly))
            return 0;
        int count = 0;
        while (!file.atEnd()) {
            const QList<QByteArray> parts = file.readLine().trimmed().split(' ');
            if (parts.size() == 2)
                count += digest(QString::fromUtf8(QByteArray::fromBase64(parts[1]))) != parts[0];
        }
        return count;
    }

private:
    QHash<QString, QByteArray> m_before;
};

// The cases of a suite as "function" or "function:tag", from QtTest's own list.
inline QStringList listCases(const QString &self)
{
    QProcess list;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("VESK_BADINPUT_CASE"), QStringLiteral("list"));
    list.setProcessEnvironment(environment);
    list.start(self, {QStringLiteral("-datatags")});
    list.waitForFinished(60000);
    QStringList cases;
    for (const QString &line : QString::fromUtf8(list.readAllStandardOutput()).split(QLatin1Char('\n'))) {
        const QStringList parts = line.split(QLatin1Char(' '));
        if (parts.size() < 2 || parts[1].endsWith(QStringLiteral("TestCase")))
            continue;
        cases << (parts.size() == 2 ? parts[1] : parts[1] + QLatin1Char(':') + parts.mid(2).join(QLatin1Char(' ')));
    }
    return cases;
}

// Runs every case of the suite in a child of this program and prints the
// summary. Non-zero when any case crashed, hung, failed or damaged a file.
inline int runSuite(QObject &suite, int argc, char **argv, const QStringList &childEnvironment = {})
{
    if (isChild())
        return QTest::qExec(&suite, argc, argv);

    const QString self = QCoreApplication::applicationFilePath();
    int tried = 0, crashes = 0, hangs = 0, failures = 0, damaged = 0;
    for (const QString &name : listCases(self)) {
        QTemporaryDir root;
        const QString snapshot = root.filePath(QStringLiteral("snapshot"));
        QProcess child;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("VESK_BADINPUT_CASE"), name);
        environment.insert(QStringLiteral("VESK_BADINPUT_ROOT"), root.path());
        environment.insert(QStringLiteral("VESK_BADINPUT_SNAPSHOT"), snapshot);
        for (const QString &pair : childEnvironment)
            environment.insert(pair.section(QLatin1Char('='), 0, 0), pair.section(QLatin1Char('='), 1));
        child.setProcessEnvironment(environment);
        child.setProcessChannelMode(QProcess::MergedChannels);
        child.start(self, {name});
        ++tried;
        const char *verdict = nullptr;
        if (!child.waitForFinished(kCaseSeconds * 1000)) {
            child.kill();
            child.waitForFinished();
            ++hangs;
            verdict = "hang";
        } else if (child.exitStatus() == QProcess::CrashExit) {
            ++crashes;
            verdict = "crash";
        } else if (child.exitCode() != 0) {
            ++failures;
            verdict = "failure";
        }
        const int harmed = DamageCheck::damagedSince(snapshot);
        damaged += harmed;
        if (verdict || harmed > 0) {
            std::printf("== %s: %s, %d files damaged\n%s\n", qPrintable(name), verdict ? verdict : "passed", harmed,
                        child.readAll().right(4000).constData());
        }
    }
    std::printf("cases that failed: %d, hangs: %d\n", failures, hangs);
    std::printf("bad inputs tried: %d, crashes: %d, files damaged: %d\n", tried, crashes, damaged);
    std::fflush(stdout);
    return tried > 0 && crashes + hangs + failures + damaged == 0 ? 0 : 1;
}

} // namespace badinput
