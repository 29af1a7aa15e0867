#pragma once

#include <QRect>
#include <QSlider>

// Where a left press on the position bar lands and the position it asks for.
struct TrackBarPress
{
    enum Where { Thumb, Channel, Elsewhere } where = Elsewhere;
    int position = 0; // for Channel: the new bar position
};

// The bar's click rule. The channel takes the thumb's extent across the bar; a press on the
// thumb is left to the slider (it drags); a press in the channel maps the channel, shortened
// by half a thumb at each end, onto minimum..maximum (rounded to nearest, halves to even,
// limited to the range); anything else does nothing. Right and bottom edges are exclusive.
// A vertical bar works the same with x and y exchanged.
TrackBarPress trackBarPress(const QRect &thumb, const QRect &channel, const QPoint &press, int minimum, int maximum,
                            Qt::Orientation orientation);

// The position bar and the volume slider: a click in the channel jumps there instead of
// stepping a page.
class TTrackBar : public QSlider
{
    Q_OBJECT
public:
    explicit TTrackBar(Qt::Orientation orientation, QWidget *parent = nullptr);

    // The style's thumb and channel rectangles, as the click rule sees them.
    QRect thumbRect() const;
    QRect channelRect() const;

protected:
    void mousePressEvent(QMouseEvent *event) override;
};
