#pragma once
// The progress gauge of the progress panel: a pie that fills clockwise from
// twelve o'clock as the progress goes from its minimum to its maximum, with
// the percentage in the middle.

#include <QWidget>

namespace velix {

class PieGauge : public QWidget {
    Q_OBJECT
public:
    explicit PieGauge(QWidget *parent = nullptr);

    int minValue() const { return m_min; }
    int maxValue() const { return m_max; }
    int progress() const { return m_progress; }
    /// The share done, 0 to 100; 0 when the range is empty.
    int percentDone() const;

    /// The range; a progress outside it is moved into it.
    void setMinValue(int value);
    void setMaxValue(int value);
    void setProgress(int value);
    void addProgress(int delta) { setProgress(m_progress + delta); }

    /// The colour of the filled part (navy unless changed).
    void setForeColor(const QColor &color);

    QSize sizeHint() const override { return {100, 100}; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    int m_min = 0;
    int m_max = 100;
    int m_progress = 0;
    QColor m_fore;
};

} // namespace velix
