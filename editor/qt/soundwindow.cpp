#include "soundwindow.h"

#include "controls.h"
#include "editorlayout.h"
#include "localtext.h"
#include "slotsound.h"

#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>

#include <algorithm>
#include <cmath>

using platform::control;
using Marker = vesk::SoundEditing::Marker;

namespace {

// How near the pointer must come to a marker to take it, in pixels.
constexpr int kGrip = 6;

} // namespace

SoundWindow::SoundWindow(QWidget *owner, vesk::SoundEditing editing, Play play, std::function<void()> stop)
    : QDialog(owner, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint), m_editing(std::move(editing)),
      m_play(std::move(play)), m_stop(std::move(stop))
{
    setObjectName(QStringLiteral("soundWindow"));
    setWindowTitle(QString::fromStdString(vesk::soundWindowCaption(m_editing.slot())));
    setFixedSize(platform::pixels(vesk::kSoundWindowClientWidth), platform::pixels(vesk::kSoundWindowClientHeight));
    platform::buildControls(this, vesk::soundWindowControls());
    const auto label = [this](const char *name) { return control<QLabel>(this, QString::fromLatin1(name)); };
    const auto box = [this](const char *name) { return control<QLineEdit>(this, QString::fromLatin1(name)); };
    const auto button = [this](const char *name) { return control<QPushButton>(this, QString::fromLatin1(name)); };
    label("soundFigures")->setText(QString::fromStdString(m_editing.soundFigures()));
    label("gameFigures")->setText(QString::fromStdString(m_editing.gameFigures()));
    m_soundPicture = label("soundPicture");
    m_gamePicture = label("gamePicture");
    m_note = label("noteLabel");
    m_note->setWordWrap(true);
    using Field = vesk::SoundEditing::Field;
    m_fields = {{box("startBox"), Field::Start},
                {box("endBox"), Field::End},
                {box("fadeInBox"), Field::FadeIn},
                {box("fadeOutBox"), Field::FadeOut},
                {box("gainBox"), Field::Gain}};
    m_match = button("matchButton");
    for (QLabel *picture : {m_soundPicture, m_gamePicture})
        picture->installEventFilter(this);
    m_soundPicture->setCursor(Qt::SizeHorCursor);
    for (const auto &entry : m_fields) {
        QLineEdit *field = entry.first;
        connect(field, &QLineEdit::editingFinished, this, [this, field] { commit(field); });
    }
    if (const std::optional<std::string> why = m_editing.matchUnavailable()) {
        m_match->setEnabled(false);
        m_match->setToolTip(QString::fromStdString(*why));
        m_note->setText(QString::fromStdString(*why));
    }
    connect(m_match, &QPushButton::clicked, this, [this] {
        setCursor(Qt::WaitCursor);
        const std::string said = m_editing.match();
        unsetCursor();
        m_note->setText(QString::fromStdString(said));
        showEdit();
    });
    connect(button("playButton"), &QPushButton::clicked, this, [this] {
        if (const std::optional<std::string> refused = m_editing.refusal())
            m_note->setText(QString::fromStdString(*refused));
        else
            m_play(m_editing.path(), m_editing.kept());
    });
    connect(button("stopButton"), &QPushButton::clicked, this, [this] { m_stop(); });
    connect(button("resetButton"), &QPushButton::clicked, this, [this] {
        m_editing.reset();
        m_note->clear();
        showEdit();
    });
    QPushButton *ok = button("okButton");
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &SoundWindow::accepted);
    connect(button("cancelButton"), &QPushButton::clicked, this, &QDialog::reject);
    platform::setFocusOrder(this, vesk::soundWindowFocusOrder());
    showEdit();
    platform::fitToScreen(this);
}

void SoundWindow::showEdit()
{
    for (const auto &[box, field] : m_fields)
        box->setText(QString::fromStdString(m_editing.fieldText(field)));
    m_soundPicture->update();
}

// A typed value: a cut at the nearest zero crossing unless Shift is held.
void SoundWindow::commit(QLineEdit *box)
{
    const bool snap = !(QGuiApplication::keyboardModifiers() & Qt::ShiftModifier);
    m_note->setText(QString::fromStdString(m_editing.enter(m_fields.at(box), platform::toLocal(box->text()), snap)));
    showEdit();
}

void SoundWindow::accepted()
{
    // Whatever the box at hand holds counts, as if the player had left it.
    if (auto *box = qobject_cast<QLineEdit *>(focusWidget()); box && m_fields.count(box) && box->isModified())
        commit(box);
    if (const std::optional<std::string> refused = m_editing.refusal()) {
        m_note->setText(QString::fromStdString(*refused));
        return;
    }
    accept();
}

vesk::Micros SoundWindow::timeAt(int x) const
{
    return m_editing.timeAt(x, m_soundPicture->width());
}

int SoundWindow::xOf(vesk::Micros time) const
{
    return m_editing.xOf(time, m_soundPicture->width());
}

bool SoundWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Paint) {
        if (watched == m_soundPicture)
            paintPicture(m_soundPicture, m_editing.sound(), true);
        else if (watched == m_gamePicture && m_editing.game())
            paintPicture(m_gamePicture, *m_editing.game(), false);
        return watched == m_soundPicture || watched == m_gamePicture;
    }
    if (watched != m_soundPicture)
        return QDialog::eventFilter(watched, event);
    const auto *mouse = dynamic_cast<QMouseEvent *>(event);
    if (!mouse)
        return QDialog::eventFilter(watched, event);
    const int x = static_cast<int>(mouse->position().x());
    const bool exact = mouse->modifiers() & Qt::ShiftModifier;
    const auto place = [&](bool snap) {
        m_editing.moveMarker(m_dragged, timeAt(x), snap);
        showEdit();
    };
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        // The nearer marker follows; away from both, the nearer one jumps there.
        m_dragged = m_editing.nearerMarker(timeAt(x));
        const int marker = xOf(m_dragged == Marker::Start ? m_editing.edit().start : m_editing.end());
        if (std::abs(x - marker) > kGrip)
            place(!exact);
        return true;
    }
    case QEvent::MouseMove:
        if (m_dragged != Marker::None)
            place(false); // snapped when let go: a drag reads no sound
        return true;
    case QEvent::MouseButtonRelease:
        if (m_dragged != Marker::None)
            place(!exact);
        m_dragged = Marker::None;
        if (const std::optional<std::string> refused = m_editing.refusal())
            m_note->setText(QString::fromStdString(*refused));
        return true;
    default:
        return QDialog::eventFilter(watched, event);
    }
}

// A sound at its true level (full scale is the picture's height): its peaks
// light, its body (RMS) strong; with `edited`, as the edit makes it (faded
// and scaled), the parts cut away greyed and the markers drawn.
void SoundWindow::paintPicture(QLabel *picture, const vesk::SoundAnalysis &sound, bool edited)
{
    QPainter painter(picture);
    const QRect box = picture->rect();
    painter.fillRect(box, palette().color(QPalette::Base));
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(box.adjusted(0, 0, -1, -1));
    const int width = std::min(box.width(), xOf(vesk::framesToMicros(sound.frames, sound.format.rate)));
    if (width <= 0)
        return;
    const std::vector<vesk::Waveform::Column> columns
        = sound.waveform.resample(0, sound.frames, static_cast<std::size_t>(width));
    const vesk::SoundEdit &edit = m_editing.edit();
    const double gain = edited ? std::pow(10.0, edit.gain / 20) : 1.0;
    const double middle = box.height() / 2.0, half = box.height() / 2.0;
    const int startX = edited ? xOf(edit.start) : 0, endX = edited ? xOf(m_editing.end()) : width;
    const QColor strong = palette().color(QPalette::Highlight), light = strong.lighter(160);
    const QColor grey = palette().color(QPalette::Mid);
    for (int x = 0; x < width; ++x) {
        const vesk::Waveform::Column &column = columns[static_cast<std::size_t>(x)];
        const bool kept = x >= startX && x < endX;
        const double level = kept && edited ? gain * m_editing.envelope(timeAt(x)) : gain;
        const auto y = [&](double value) { return middle - std::clamp(value * level, -1.0, 1.0) * half; };
        painter.setPen(kept ? light : grey.lighter(130));
        painter.drawLine(QPointF(x + 0.5, y(column.maximum)), QPointF(x + 0.5, y(column.minimum)));
        painter.setPen(kept ? strong : grey);
        painter.drawLine(QPointF(x + 0.5, y(column.rms)), QPointF(x + 0.5, y(-column.rms)));
    }
    if (!edited)
        return;
    painter.setPen(QPen(QColor(0xB0, 0x30, 0x00), 2));
    for (int x : {startX, std::min(endX, box.width() - 1)})
        painter.drawLine(x, 0, x, box.height());
}
