#include "slotlabel.h"

#include "slotsound.h"

#include <QPainter>
#include <QPainterPath>

namespace {

constexpr int kPictureWidth = 64; // at scale 1
constexpr int kGap = 6;

} // namespace

SlotLabel::SlotLabel(const QString &text, QWidget *parent) : QLabel(text, parent)
{
    setTextFormat(Qt::PlainText);
}

void SlotLabel::showSound(const vesk::SlotMeasurements::Row &row)
{
    QStringList lines;
    for (const std::string &mark : row.marks)
        lines << QString::fromStdString(mark);
    const QString tip = lines.join(QLatin1Char('\n'));
    const QString length = QString::fromStdString(row.length);
    if (row.sound == m_sound && tip == toolTip() && length == m_length && row.from == m_from && row.to == m_to
        && row.scale == m_scale)
        return; // as shown already
    m_sound = row.sound;
    m_length = length;
    m_from = row.from;
    m_to = row.to;
    m_scale = row.scale;
    m_marked = !row.marks.empty();
    setToolTip(tip);
    update();
}

void SlotLabel::mouseDoubleClickEvent(QMouseEvent *)
{
    Q_EMIT doubleClicked();
}

void SlotLabel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QRect area = contentsRect();
    const QFontMetrics metrics = fontMetrics();
    const int picture = m_sound ? kPictureWidth : 0;
    const QString length = m_marked ? QStringLiteral("\u26A0 ") + m_length : m_length;
    const int lengthWidth = length.isEmpty() ? 0 : metrics.horizontalAdvance(length) + kGap;
    const int right = area.right() + 1 - picture - lengthWidth - (picture ? kGap : 0);
    const QRect textArea(area.left(), area.top(), std::max(0, right - area.left()), area.height());
    painter.setPen(palette().color(foregroundRole()));
    painter.drawText(textArea, Qt::AlignVCenter | Qt::AlignLeft,
                     metrics.elidedText(text(), Qt::ElideMiddle, textArea.width()));
    if (!length.isEmpty()) {
        if (m_marked)
            painter.setPen(QColor(0xB0, 0x30, 0x00));
        painter.drawText(QRect(right + kGap, area.top(), lengthWidth - kGap, area.height()),
                         Qt::AlignVCenter | Qt::AlignRight, length);
    }
    if (!m_sound || !m_sound->ok())
        return;
    paintWaveform(painter, QRect(area.right() + 1 - picture, area.top(), picture, area.height()), **m_sound, m_from,
                  m_to, m_scale, palette());
}

void paintWaveform(QPainter &painter, const QRect &box, const vesk::SoundAnalysis &sound, std::uint64_t from,
                   std::uint64_t to, double scale, const QPalette &palette)
{
    if (box.width() <= 0)
        return;
    const std::vector<vesk::Waveform::Column> columns
        = sound.waveform.resample(from, to, static_cast<std::size_t>(box.width()));
    const double middle = box.top() + box.height() / 2.0, half = box.height() / 2.0;
    painter.fillRect(box, palette.color(QPalette::Base));
    const QColor rms = palette.color(QPalette::Highlight), peak = rms.lighter(160);
    for (int x = 0; x < box.width() && static_cast<std::size_t>(x) < columns.size(); ++x) {
        const vesk::Waveform::Column &column = columns[static_cast<std::size_t>(x)];
        const auto y = [&](double level) { return middle - std::clamp(level * scale, -1.0, 1.0) * half; };
        painter.setPen(peak);
        painter.drawLine(QPointF(box.left() + x + 0.5, y(column.maximum)),
                         QPointF(box.left() + x + 0.5, y(column.minimum)));
        painter.setPen(rms);
        painter.drawLine(QPointF(box.left() + x + 0.5, y(column.rms)), QPointF(box.left() + x + 0.5, y(-column.rms)));
    }
}
