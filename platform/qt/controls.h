#pragma once

#include <QPoint>
#include <QRect>
#include <QString>
#include <QTabWidget>

#include "layout.h"

#include <initializer_list>
#include <vector>

class QObject;
class QWidget;

namespace platform {

using vesk::ControlRow;
using vesk::Kind;
using vesk::kTwipsPerPixel;
using vesk::pixels;
QRect twipsRect(int left, int top, int width, int height);

// Builds the controls of a table on `root`. Controls that sit directly on the
// root are shifted by `origin`, for pages whose positions count from the
// corner of their tab container rather than from the page.
void buildControls(QWidget *root, const std::vector<ControlRow> &table, QPoint origin = {});

// Ends the program with the control's name: a window asked for a control its
// table does not build, which no player may ever meet half-built.
[[noreturn]] void missingControl(const QString &name);

// A control of a window by its name. Every name used here is in the window's
// own table, so a miss is a programming error, in release builds too.
template<typename T>
T *control(const QObject *root, const QString &name)
{
    T *found = root->findChild<T *>(name);
    if (!found)
        missingControl(name);
    return found;
}

// The order in which Tab walks a window's controls; the window opens with
// the keyboard on the first of them.
void setFocusOrder(const std::vector<QWidget *> &order);
// The same by the controls' object names in `window`.
void setFocusOrder(const QWidget *window, const std::vector<const char *> &names);

// A tab container whose pages hold controls placed relative to the
// container's own corner, tab strip included.
class TabContainer final : public QTabWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TabContainer)

public:
    explicit TabContainer(QWidget *parent = nullptr);

    QWidget *addPage(const QString &caption);

    // Where a point given from the container's corner lands on a page.
    QPoint pageOrigin() const;
};

// Keeps a window of fixed layout whole on its screen's free area. A window
// that fits stays as it is (a top-level one centred with its frame); one
// that does not shrinks to that area and its controls scroll inside it.
// Called once its controls are made.
void fitToScreen(QWidget *window);

// The small, even font that the layouts were drawn for.
void useLayoutFont();

} // namespace platform
