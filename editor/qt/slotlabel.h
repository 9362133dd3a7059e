#pragma once

#include "slotmeasurements.h"

#include <QLabel>

#include <string>
#include <vector>

class QPainter;

// A small picture of frames [from, to) of a sound in `box`, at their true
// level times `scale` (full scale is the box's height): the peaks light,
// the body of the sound (its RMS) strong.
void paintWaveform(QPainter &painter, const QRect &box, const vesk::SoundAnalysis &sound, std::uint64_t from,
                   std::uint64_t to, double scale, const QPalette &palette);

// A slot's row beside its button: the slot's value (its text, a path or
// "none"), and for a sound its length and a small picture of it at its true
// level, full scale being the row's height. A long path is shortened in its
// middle to leave them room. A sound with something wrong carries a mark,
// and its tooltip says what.
class SlotLabel final : public QLabel
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SlotLabel)

public:
    explicit SlotLabel(const QString &text, QWidget *parent = nullptr);

    // The slot's sound as its edit leaves it; nothing: no sound, or not measured yet.
    void showSound(const vesk::SlotMeasurements::Row &row);
    bool marked() const { return m_marked; }
    // What the row shows of the sound as text: "2.1 s", or "" when nothing.
    QString lengthShown() const { return m_length; }

Q_SIGNALS:
    void doubleClicked();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    vesk::SoundAnalyses::Entry m_sound;
    std::uint64_t m_from = 0, m_to = 0; // the frames drawn
    double m_scale = 1;                 // at the level the edit gives them
    QString m_length;
    bool m_marked = false;
};
