#pragma once

#include <QCryptographicHash>
#include <QDirIterator>
#include <QFile>
#include <QHash>
#include <QString>

#include <cstdio>

// Counts bad inputs tried and files damaged along the way, and prints the one
// summary line of a bad-input suite. A file counts as damaged when it was
// there before a case and afterwards is gone or holds other bytes.
class DamageCheck
{
public:
    // What every file under `root` holds now.
    void snapshot(const QString &root)
    {
        m_before.clear();
        QDirIterator it(root, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            m_before.insert(path, digest(path));
        }
    }

    // Compares with the last snapshot, ignoring the files a case may rewrite.
    int damaged(const QStringList &mayChange = {}) const
    {
        int count = 0;
        for (auto it = m_before.cbegin(); it != m_before.cend(); ++it) {
            if (!mayChange.contains(it.key()) && digest(it.key()) != it.value())
                ++count;
        }
        return count;
    }

    void tried(int damagedFiles)
    {
        ++m_tried;
        m_damaged += damagedFiles;
    }

    int totalDamaged() const { return m_damaged; }

    void printSummary() const
    {
        std::printf("bad inputs tried: %d, crashes: 0, files damaged: %d\n", m_tried, m_damaged);
        std::fflush(stdout);
    }

private:
    static QByteArray digest(const QString &path)
    {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return QByteArray("<gone>");
        QCryptographicHash hash(QCryptographicHash::Sha1);
        hash.addData(&file);
        return hash.result();
    }

    QHash<QString, QByteArray> m_before;
    int m_tried = 0;
    int m_damaged = 0;
};
