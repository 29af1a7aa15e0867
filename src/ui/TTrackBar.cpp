#include "ui/TTrackBar.h"

#include <QMouseEvent>
#include <QStyle>
#include <QStyleOptionSlider>

#include <algorithm>

namespace {

// Rounds numerator / denominator (denominator > 0) to the nearest integer, halves to even.
qint64 roundHalfEven(qint64 numerator, qint64 denominator)
{
    qint64 quotient = numerator / denominator;
    qint64 remainder = numerator % denominator;
    if (remainder < 0) { // floor division
        --quotient;
        remainder += denominator;
    }
    const qint64 twice = 2 * remainder;
    if (twice > denominator || (twice == denominator && (quotient & 1)))
        ++quotient;
    return quotient;
}

} // namespace

TrackBarPress trackBarPress(const QRect &thumb, const QRect &channel, const QPoint &press, int minimum, int maximum,
                            Qt::Orientation orientation)
{
    const bool horizontal = orientation == Qt::Horizontal;
    // Along the bar (a) and across it (c), with exclusive ends.
    const int thumbA0 = horizontal ? thumb.x() : thumb.y();
    const int thumbA1 = thumbA0 + (horizontal ? thumb.width() : thumb.height());
    const int thumbC0 = horizontal ? thumb.y() : thumb.x();
    const int thumbC1 = thumbC0 + (horizontal ? thumb.height() : thumb.width());
    int channelA0 = horizontal ? channel.x() : channel.y();
    int channelA1 = channelA0 + (horizontal ? channel.width() : channel.height());
    const int a = horizontal ? press.x() : press.y();
    const int c = horizontal ? press.y() : press.x();

    const bool acrossThumb = c >= thumbC0 && c < thumbC1;
    if (acrossThumb && a >= thumbA0 && a < thumbA1)
        return {TrackBarPress::Thumb, 0};
    if (!acrossThumb || a < channelA0 || a >= channelA1)
        return {TrackBarPress::Elsewhere, 0};

    const int half = (thumbA1 - thumbA0) / 2;
    channelA0 += half;
    channelA1 -= half;
    qint64 position = minimum;
    if (channelA1 > channelA0)
        position = roundHalfEven(qint64(a - channelA0) * maximum, channelA1 - channelA0);
    return {TrackBarPress::Channel, int(std::clamp<qint64>(position, minimum, maximum))};
}

TTrackBar::TTrackBar(Qt::Orientation orientation, QWidget *parent) : QSlider(orientation, parent) {}

QRect TTrackBar::thumbRect() const
{
    QStyleOptionSlider option;
    initStyleOption(&option);
    return style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, this);
}

QRect TTrackBar::channelRect() const
{
    QStyleOptionSlider option;
    initStyleOption(&option);
    return style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderGroove, this);
}

void TTrackBar::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        QSlider::mousePressEvent(event);
        return;
    }
    const TrackBarPress press =
        trackBarPress(thumbRect(), channelRect(), event->position().toPoint(), minimum(), maximum(), orientation());
    switch (press.where) {
    case TrackBarPress::Thumb:
        QSlider::mousePressEvent(event); // the thumb drags as usual
        return;
    case TrackBarPress::Channel:
        setValue(press.position); // the change notification seeks
        event->accept();
        return;
    case TrackBarPress::Elsewhere:
        event->accept();
        return;
    }
}
