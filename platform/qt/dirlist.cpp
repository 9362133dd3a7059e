#include "dirlist.h"

#include "fileops.h"
#include "localtext.h"
#include "paths.h"
#include "texttools.h"

#include <QDir>
#include <QStyle>

#include <algorithm>
#include <filesystem>
#include <vector>

namespace platform {

namespace {
constexpr int kPathRole = Qt::UserRole;
}

QString nativeDirectory(const QString &path)
{
    return QDir::toNativeSeparators(QDir::cleanPath(QDir(path).absolutePath()));
}

DirList::DirList(QWidget *parent) : QListWidget(parent)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    connect(this, &QListWidget::itemActivated, this, &DirList::open);
    connect(this, &QListWidget::itemClicked, this, [this] { Q_EMIT clicked(); });
}

bool DirList::setPath(const QString &path)
{
    return !path.isEmpty() && setLocalPath(toLocal(nativeDirectory(path)));
}

bool DirList::setLocalPath(const std::string &path)
{
    namespace fs = std::filesystem;
    std::error_code ec;
    if (path.empty() || !fs::is_directory(fs::path(path), ec))
        return false;
    // Readable: its entries can be listed.
    fs::directory_iterator probe(fs::path(path), ec);
    if (ec)
        return false;
    const std::string local = localDirectory(path);
    const bool moved = local != m_local;
    m_local = local;
    m_path = fromLocal(local);
    refresh();
    if (moved)
        Q_EMIT changed();
    return true;
}

void DirList::refresh()
{
    namespace fs = std::filesystem;
    clear();
    if (m_local.empty())
        return;

    // The chain from the root down to the open directory.
    std::vector<fs::path> chain;
    for (fs::path at(m_local);; at = at.parent_path()) {
        chain.insert(chain.begin(), at);
        if (at == at.root_path() || !at.has_relative_path())
            break;
    }

    const QIcon openIcon = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closedIcon = style()->standardIcon(QStyle::SP_DirClosedIcon);
    const auto add = [this](const QIcon &icon, int depth, const std::string &shown, const std::string &path) {
        auto *item = new QListWidgetItem(icon, QString(depth * 2, QLatin1Char(' ')) + fromLocal(shown), this);
        item->setData(kPathRole, QByteArray::fromStdString(path));
    };
    int depth = 0;
    for (const fs::path &ancestor : chain) {
        const bool root = !ancestor.has_relative_path();
        add(openIcon, depth++, root ? ancestor.string() : ancestor.filename().string(), ancestor.string());
    }
    // Subdirectories in the lists' one order (vesk::listedBefore).
    std::vector<std::pair<std::string, std::string>> children; // name, path
    std::error_code ec;
    for (const auto &entry : fs::directory_iterator(fs::path(m_local), ec)) {
        std::error_code kind;
        if (entry.is_directory(kind))
            children.emplace_back(entry.path().filename().string(), entry.path().string());
    }
    std::sort(children.begin(), children.end(),
              [](const auto &a, const auto &b) { return vesk::listedBefore(a.first, b.first); });
    for (const auto &child : children)
        add(closedIcon, depth, child.first, child.second);
    setCurrentRow(static_cast<int>(chain.size()) - 1);
}

vesk::Status DirList::makeDirectory(const std::string &parent, const std::string &name)
{
    if (name.empty())
        return vesk::Status::success();
    vesk::Status made = vesk::makeFolderIn(parent, name);
    if (made.ok())
        refresh();
    return made;
}

void DirList::open(QListWidgetItem *item)
{
    if (item)
        setLocalPath(item->data(kPathRole).toByteArray().toStdString());
}

std::string localDirectory(const std::string &path)
{
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::path full = fs::absolute(fs::path(path), ec).lexically_normal();
    std::string text = full.make_preferred().string();
    // No separator at the end, but for a root.
    while (text.size() > full.root_path().string().size() && (text.back() == '/' || text.back() == '\\'))
        text.pop_back();
    return text;
}

} // namespace platform
