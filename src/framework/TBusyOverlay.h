#pragma once
// The busy animation's widget: a small panel centred over the window it covers, with a spinner
// and an emblem drawn by QPainter (one per kind) and the caption. Frames advance on a timer, which
// runs while a blocking call pumps events.

#include <QBasicTimer>
#include <QWidget>

class TBusyOverlay : public QWidget {
    Q_OBJECT
  public:
    explicit TBusyOverlay(QWidget* parent);

    void Start(int kind, const QString& caption);
    void Stop();
    int Kind() const { return m_kind; }
    QString CaptionText() const { return m_caption; }
    int Frame() const { return m_frame; }
    void Advance();  // next frame, if due; called by the wait pump too

  protected:
    void paintEvent(QPaintEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

  private:
    void PlaceOverParent();
    void DrawEmblem(QPainter& painter, const QRectF& box) const;

    QBasicTimer m_timer;
    qint64 m_lastAdvance = 0;
    int m_kind = -1;
    int m_frame = 0;
    QString m_caption;
};
