#include "shell/termometro.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>

namespace velix {

PieGauge::PieGauge(QWidget *parent) : QWidget(parent), m_fore(0, 0, 128)
{
    QFont f = font();
    f.setPointSize(14);
    f.setBold(true);
    setFont(f);
}

int PieGauge::percentDone() const
{
    if (m_max <= m_min)
        return 0;
    return int((qint64(m_progress) - m_min) * 100 / (qint64(m_max) - m_min));
}

void PieGauge::setMinValue(int value)
{
    m_min = value;
    m_max = std::max(m_max, m_min);
    setProgress(m_progress);
}

void PieGauge::setMaxValue(int value)
{
    m_max = value;
    m_min = std::min(m_min, m_max);
    setProgress(m_progress);
}

void PieGauge::setProgress(int value)
{
    const int v = std::clamp(value, m_min, m_max);
    if (v != m_progress) {
        m_progress = v;
        update();
    }
}

void PieGauge::setForeColor(const QColor &color)
{
    m_fore = color;
    update();
}

void PieGauge::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const int side = std::min(width(), height()) - 2;
    QRectF circle(0, 0, side, side);
    circle.moveCenter(QRectF(rect()).center());

    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::white);
    p.drawEllipse(circle);

    const int span = -percentDone() * 360 * 16 / 100;  // clockwise
    QPainterPath pie;
    pie.moveTo(circle.center());
    pie.arcTo(circle, 90, span / 16.0);
    pie.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(m_fore);
    p.drawPath(pie);

    // The figure in the filled colour over the empty part, in white over the pie.
    const QString text = QString::number(percentDone()) + QLatin1Char('%');
    p.setFont(font());
    p.setPen(m_fore);
    p.drawText(rect(), Qt::AlignCenter, text);
    p.setClipPath(pie);
    p.setPen(Qt::white);
    p.drawText(rect(), Qt::AlignCenter, text);
}

} // namespace velix
