#include "controls.h"

#include "dirlist.h"
#include "drivelist.h"
#include "filelist.h"

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionTabWidgetFrame>

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
    case Kind::Picture: {
        auto *picture = new QLabel(parent);
        picture->setTextFormat(Qt::PlainText);
        picture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        return picture;
    }
    }
    return nullptr;
}

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
    // Frame captions sit on the frame's top edge, so that rows placed just
    // below the caption land inside the frame.
    qApp->setStyleSheet(QStringLiteral(
        "QGroupBox { border: 1px solid palette(mid); border-radius: 2px; margin-top: 6px; }"
        "QGroupBox::title { subcontrol-origin: margin; subcontrol-position: top left; left: 6px; padding: 0 2px; }"));
}

} // namespace platform
