#include "filelist.h"

#include "paths.h"
#include "texttools.h"

#include <QRegularExpression>

#include <algorithm>
#include <filesystem>
#include <vector>

namespace platform {

FileList::FileList(QWidget *parent) : QListWidget(parent)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    connect(this, &QListWidget::itemClicked, this, [this] { Q_EMIT clicked(); });
}

void FileList::setLocalPath(const std::string &path)
{
    m_path = path;
    refresh();
}

void FileList::setPattern(const QString &pattern)
{
    m_pattern = pattern;
    refresh();
}

QString FileList::fileName() const
{
    const QListWidgetItem *item = currentItem();
    return item ? item->text() : QString();
}

std::string FileList::localFilePath() const
{
    const QListWidgetItem *item = currentItem();
    return item ? vesk::joinPath(m_path, item->data(Qt::UserRole).toByteArray().toStdString()) : std::string();
}

void FileList::refresh()
{
    namespace fs = std::filesystem;
    clear();
    if (m_path.empty())
        return;
    // Each entry keeps the bytes of its name beside the text shown; the
    // pattern matches without regard to letter case.
    const QRegularExpression pattern(QRegularExpression::wildcardToRegularExpression(m_pattern),
                                     QRegularExpression::CaseInsensitiveOption);
    std::vector<std::pair<QString, std::string>> files;
    std::error_code ec;
    for (const auto &entry : fs::directory_iterator(fs::path(m_path), ec)) {
        std::error_code kind;
        const std::string name = entry.path().filename().string();
        if (entry.is_regular_file(kind) && pattern.match(fromLocal(name)).hasMatch())
            files.emplace_back(fromLocal(name), name);
    }
    std::sort(files.begin(), files.end(),
              [](const auto &a, const auto &b) { return vesk::listedBefore(a.second, b.second); });
    for (const auto &file : files) {
        auto *item = new QListWidgetItem(file.first, this);
        item->setData(Qt::UserRole, QByteArray::fromStdString(file.second));
    }
}

} // namespace platform
