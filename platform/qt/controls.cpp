#include "controls.h"

#include "dirlist.h"
#include "drivelist.h"
#include "filelist.h"

#include <QApplication>
#include <QtMath>

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QIconEngine>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QListView>
#include <QMainWindow>
#include <QPainter>
#include <QPointer>
#include <QProxyStyle>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QStyle>
#include <QStyleOptionGroupBox>
#include <QStyleOptionTabWidgetFrame>
#include <QTableWidget>
#include <QTreeWidget>
#include <functional>

namespace platform {

void missingControl(const QString &name)
{
    qFatal("no control named %s", qPrintable(name));
}

QRect twipsRect(int left, int top, int width, int height)
{
    return QRect(pixels(left), pixels(top), pixels(width), pixels(height));
}

namespace {

QWidget *createControl(Kind kind, const QString &text, QWidget *parent)
{
    switch (kind) {
    case Kind::Label: {
        auto *label = new QLabel(text, parent);
        label->setTextFormat(Qt::PlainText);
        return label;
    }
    case Kind::Button:
        return new QPushButton(text, parent);
    case Kind::TextBox:
        return new QLineEdit(text, parent);
    case Kind::Frame:
        return new QGroupBox(text, parent);
    case Kind::ListBox: {
        // Its entries come from a model the window sets.
        auto *list = new QListView(parent);
        list->setSelectionMode(QAbstractItemView::SingleSelection);
        list->setUniformItemSizes(true);
        list->setEditTriggers(QAbstractItemView::NoEditTriggers);
        return list;
    }
    case Kind::ComboBox: {
        auto *combo = new QComboBox(parent);
        combo->setEditable(true);
        combo->setInsertPolicy(QComboBox::NoInsert);
        combo->setEditText(text);
        return combo;
    }
    case Kind::DriveList:
        return new DriveList(parent);
    case Kind::DirList:
        return new DirList(parent);
    case Kind::FileList:
        return new FileList(parent);
    case Kind::CheckBox:
        return new QCheckBox(text, parent);
    case Kind::Table: {
        auto *table = new QTreeWidget(parent);
        table->setRootIsDecorated(false);
        table->setUniformRowHeights(true);
        table->setSelectionMode(QAbstractItemView::SingleSelection);
        table->setEditTriggers(QAbstractItemView::NoEditTriggers);
        return table;
    }
    case Kind::Grid: {
        auto *grid = new QTableWidget(parent);
        grid->setSelectionMode(QAbstractItemView::SingleSelection);
        grid->setSelectionBehavior(QAbstractItemView::SelectItems);
        grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
        grid->setWordWrap(false);
        return grid;
    }
    case Kind::Picture: {
        auto *picture = new QLabel(parent);
        picture->setTextFormat(Qt::PlainText);
        picture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        return picture;
    }
    }
    return nullptr;
}

// An icon made only when it is first drawn: the style's own icons come from
// picture files, whose reading loads the image-format plugins, which would
// otherwise happen while the windows are built (a menu bar asks for an icon
// it shows only when its menus do not fit, which ours always do).
class DeferredIconEngine final : public QIconEngine
{
public:
    explicit DeferredIconEngine(std::function<QIcon()> make) : m_make(std::move(make)) {}

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override
    {
        icon().paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return icon().pixmap(size, mode, state);
    }
    QSize actualSize(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return icon().actualSize(size, mode, state);
    }
    QIconEngine *clone() const override { return new DeferredIconEngine(m_make); }

private:
    const QIcon &icon()
    {
        if (m_icon.isNull())
            m_icon = m_make();
        return m_icon;
    }

    std::function<QIcon()> m_make;
    QIcon m_icon;
};

// Frames as the layouts were drawn for: a thin rounded line in the
// palette's mid tone, 6 pixels below the frame's top, with the caption in
// the frame's own font on that line, 6 pixels in from the left. Drawn here
// rather than by a style sheet, which would restyle every widget.
class FrameStyle final : public QProxyStyle
{
public:
    static constexpr int kCaptionDrop = 6; // the line's distance from the top
    static constexpr int kCaptionIndent = 6;
    static constexpr int kCaptionPadding = 2; // the line stops this far from the caption's box
    static constexpr int kCaptionRoom = 3;

    QRect subControlRect(ComplexControl control, const QStyleOptionComplex *option, SubControl part,
                         const QWidget *widget) const override
    {
        const auto *box = qstyleoption_cast<const QStyleOptionGroupBox *>(option);
        if (control != CC_GroupBox || !box)
            return QProxyStyle::subControlRect(control, option, part, widget);
        const QRect frame = option->rect.adjusted(0, kCaptionDrop, 0, 0);
        switch (part) {
        case SC_GroupBoxFrame:
            return frame;
        case SC_GroupBoxContents:
            return frame.adjusted(1, 1, -1, -1);
        case SC_GroupBoxLabel: {
            const QFontMetrics metrics = option->fontMetrics;
            // The caption's box: its text's width rounded up and a little
            // room, the text centred in it.
            const qreal width
                = QFontMetricsF(widget ? widget->font() : QApplication::font()).horizontalAdvance(box->text);
            return QRect(option->rect.left() + kCaptionIndent + kCaptionPadding, option->rect.top(),
                         qCeil(width) + kCaptionRoom, metrics.height());
        }
        default:
            return QProxyStyle::subControlRect(control, option, part, widget);
        }
    }

    void drawComplexControl(ComplexControl control, const QStyleOptionComplex *option, QPainter *painter,
                            const QWidget *widget) const override
    {
        const auto *box = qstyleoption_cast<const QStyleOptionGroupBox *>(option);
        if (control != CC_GroupBox || !box) {
            QProxyStyle::drawComplexControl(control, option, painter, widget);
            return;
        }
        const QRect label = subControlRect(control, option, SC_GroupBoxLabel, widget);
        painter->save();
        painter->setClipRegion(
            QRegion(option->rect).subtracted(label.adjusted(-kCaptionPadding, 0, kCaptionPadding, 0)));
        drawRoundedLine(painter, subControlRect(control, option, SC_GroupBoxFrame, widget),
                        option->palette.color(QPalette::Mid));
        painter->restore();
        drawItemText(painter, label, Qt::TextShowMnemonic | Qt::AlignHCenter | Qt::AlignLeft, option->palette,
                     option->state & State_Enabled, box->text, QPalette::WindowText);
    }

    QIcon standardIcon(StandardPixmap icon, const QStyleOption *option, const QWidget *widget) const override
    {
        Q_UNUSED(option)
        const QPointer<const QWidget> owner(widget);
        return QIcon(new DeferredIconEngine(
            [this, icon, owner] { return QProxyStyle::standardIcon(icon, nullptr, owner.data()); }));
    }

private:
    // A one-pixel line around `r` whose corners are quarter circles of two
    // pixels: straight edges filled, each corner drawn as two eighths of a
    // circle, one from each edge that meets there.
    static void drawRoundedLine(QPainter *painter, const QRect &r, const QColor &colour)
    {
        constexpr qreal radius = 2;
        const qreal x = r.x(), y = r.y(), right = r.x() + r.width(), bottom = r.y() + r.height();
        painter->setRenderHint(QPainter::Antialiasing);
        painter->setPen(Qt::NoPen);
        painter->setBrush(colour);
        const QRectF edges[] = {{x + radius, bottom - 1, r.width() - 2 * radius, 1},
                                {right - 1, y + radius, 1, r.height() - 2 * radius},
                                {x, y + radius, 1, r.height() - 2 * radius},
                                {x + radius, y, r.width() - 2 * radius, 1}};
        for (const QRectF &edge : edges)
            painter->drawRect(edge);
        QPen pen(colour, 1, Qt::SolidLine, Qt::SquareCap);
        painter->setPen(pen);
        painter->setBrush(Qt::NoBrush);
        const qreal d = 2 * radius - 1;
        // Each arc: its box's corner and its start and span in sixteenths of a degree.
        const struct
        {
            qreal left, top;
            int start, span;
        } arcs[] = {
            {x + radius - radius + 0.5, bottom - 2 * radius + 0.5, -90 * 16, -45 * 16},    // bottom left
            {right - radius - radius + 0.5, bottom - 2 * radius + 0.5, -90 * 16, 45 * 16}, // bottom right
            {right - 2 * radius + 0.5, y + radius - radius + 0.5, 45 * 16, -45 * 16},      // right top
            {right - 2 * radius + 0.5, bottom - radius - radius + 0.5, 315 * 16, 45 * 16}, // right bottom
            {x + 0.5, y + radius - radius + 0.5, 135 * 16, 45 * 16},                       // left top
            {x + 0.5, bottom - radius - radius + 0.5, 180 * 16, 45 * 16},                  // left bottom
            {x + radius - radius + 0.5, y + 0.5, 135 * 16, -45 * 16},                      // top left
            {right - radius - radius + 0.5, y + 0.5, 45 * 16, 45 * 16},                    // top right
        };
        for (const auto &arc : arcs)
            painter->drawArc(QRectF(arc.left, arc.top, d, d), arc.start, arc.span);
    }
};

} // namespace

void buildControls(QWidget *root, const std::vector<ControlRow> &table, QPoint origin)
{
    for (const ControlRow &row : table) {
        QWidget *parent = root;
        QPoint shift = origin;
        if (row.parent) {
            parent = control<QWidget>(root, QString::fromLatin1(row.parent));
            shift = QPoint();
        }
        QWidget *widget = createControl(row.kind, QString::fromUtf8(row.text ? row.text : ""), parent);
        widget->setObjectName(QString::fromLatin1(row.name));
        widget->setGeometry(twipsRect(row.left, row.top, row.width, row.height).translated(shift));
    }
}

void setFocusOrder(const std::vector<QWidget *> &order)
{
    QWidget *previous = nullptr;
    for (QWidget *widget : order) {
        if (previous)
            QWidget::setTabOrder(previous, widget);
        previous = widget;
    }
    if (!order.empty())
        order.front()->setFocus();
}

void setFocusOrder(const QWidget *window, const std::vector<const char *> &names)
{
    std::vector<QWidget *> order;
    for (const char *name : names)
        order.push_back(control<QWidget>(window, QString::fromLatin1(name)));
    setFocusOrder(order);
}

TabContainer::TabContainer(QWidget *parent) : QTabWidget(parent) {}

QWidget *TabContainer::addPage(const QString &caption)
{
    auto *page = new QWidget;
    addTab(page, caption);
    return page;
}

QPoint TabContainer::pageOrigin() const
{
    QStyleOptionTabWidgetFrame option;
    initStyleOption(&option);
    const QRect contents = style()->subElementRect(QStyle::SE_TabWidgetTabContents, &option, this);
    return -contents.topLeft();
}

namespace {

// What the window manager adds around a window not yet shown: a title bar
// and a thin border, by the style's measure.
QSize frameAround(const QWidget *window)
{
    if (window->isVisible() && window->frameGeometry().size() != window->size())
        return window->frameGeometry().size() - window->size();
    const int border = window->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, window);
    const int title = window->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, window);
    return {2 * border, title + 2 * border};
}

QScrollArea *scrollingArea(QWidget *parent, QWidget *content)
{
    auto *area = new QScrollArea(parent);
    area->setObjectName(QStringLiteral("screenFit"));
    area->setFrameShape(QFrame::NoFrame);
    area->setFocusPolicy(Qt::NoFocus);
    area->setWidgetResizable(false);
    area->setWidget(content);
    return area;
}

} // namespace

void fitToScreen(QWidget *window)
{
    const QScreen *screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    const QRect area = screen->availableGeometry();
    const QSize frame = frameAround(window);
    const QSize whole = window->size();
    const QSize free = area.size() - frame;
    QSize room = whole.boundedTo(free);
    if (room != whole) {
        // A scroll bar in one direction takes room from the other.
        const int bar = window->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, window);
        if (room.height() < whole.height())
            room.setWidth(std::min(free.width(), room.width() + bar));
        if (room.width() < whole.width())
            room.setHeight(std::min(free.height(), room.height() + bar));
        if (auto *main = qobject_cast<QMainWindow *>(window)) {
            // The menu bar stays; the client below it scrolls.
            const int menu = whole.height() - main->centralWidget()->height();
            main->layout()->setSizeConstraint(QLayout::SetDefaultConstraint);
            QWidget *client = main->takeCentralWidget();
            main->setCentralWidget(scrollingArea(main, client));
            main->setFixedSize(room);
            main->centralWidget()->setFixedSize(room.width(), room.height() - menu);
        } else {
            auto *content = new QWidget(window);
            content->setFixedSize(whole);
            for (QWidget *child : window->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly)) {
                if (child == content || child->isWindow())
                    continue;
                const bool shown = !child->isHidden();
                const QRect at = child->geometry();
                child->setParent(content);
                child->setGeometry(at);
                child->setVisible(shown);
            }
            window->setFixedSize(room);
            scrollingArea(window, content)->setGeometry(0, 0, room.width(), room.height());
        }
    }
    if (!window->parentWidget()) {
        // Centred as a whole, title bar included, and never above the area.
        const QSize outer = room + frame;
        const QPoint corner(area.left() + std::max(0, (area.width() - outer.width()) / 2),
                            area.top() + std::max(0, (area.height() - outer.height()) / 2));
        window->move(corner);
    }
}

void useLayoutFont()
{
    // The layouts were drawn for a narrow 8-point sans serif; these families
    // keep its widths, and stand in where a window names the old one.
    const QStringList narrowSans = {QStringLiteral("Liberation Sans"), QStringLiteral("Arial"),
                                    QStringLiteral("Nimbus Sans"), QStringLiteral("DejaVu Sans")};
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"), narrowSans);
    QFont font = QApplication::font();
    font.setFamilies(narrowSans);
    font.setPointSize(8);
    QApplication::setFont(font);
    QApplication::setStyle(new FrameStyle);
}

} // namespace platform
