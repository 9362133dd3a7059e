#pragma once

#include "status.h"

#include <QListWidget>
#include <QString>

#include <string>

namespace platform {

// A directory list: the open directory with its ancestors above it and its
// subdirectories below. A double click or Enter on an entry opens it.
class DirList final : public QListWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(DirList)

public:
    explicit DirList(QWidget *parent = nullptr);

    // The open directory, in the platform's own form, as shown.
    QString path() const { return m_path; }
    // The same as the bytes of its path, which a name that is no text of the
    // code page keeps: what the logic takes.
    const std::string &localPath() const { return m_local; }

    // Opens a directory. False, with the list unchanged, when it does not
    // exist or cannot be read.
    bool setPath(const QString &path);
    bool setLocalPath(const std::string &path);

    // Lists the open directory's subdirectories afresh.
    void refresh();

    // "Make Directory": creates one level, `name` inside `parent` (joined
    // with one separator), and refreshes the list so that a new entry of the
    // open directory shows. An empty name, a name taken, a missing parent or
    // a refusal by the file system changes nothing and says nothing.
    // The failure says why (nothing is made for an empty name).
    vesk::Status makeDirectory(const std::string &parent, const std::string &name);

Q_SIGNALS:
    void changed(); // the open directory changed, by the user or by code
    void clicked(); // the user clicked an entry once

private:
    void open(QListWidgetItem *item);

    QString m_path;
    std::string m_local;
};

// The platform's own form of a directory path: absolute, cleaned, native
// separators.
QString nativeDirectory(const QString &path);
// The same for the bytes of a path.
std::string localDirectory(const std::string &path);

} // namespace platform
