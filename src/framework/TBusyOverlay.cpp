#include "framework/TBusyOverlay.h"

#include <QDateTime>
#include <QPainter>
#include <QPainterPath>
#include <QTimerEvent>
#include <cmath>

namespace {
constexpr int kFrameMs = 80;
constexpr int kSpokes = 12;
}  // namespace

TBusyOverlay::TBusyOverlay(QWidget* parent)
    : QWidget(parent, parent ? Qt::Widget : Qt::Tool | Qt::FramelessWindowHint) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    // Shown over the window the user works in, never taking its activation (and keyboard).
    setAttribute(Qt::WA_ShowWithoutActivating);
    // It paints every pixel of itself, so a frame of the animation repaints it alone and not
    // the grids underneath.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::NoFocus);
    resize(300, 84);
    hide();
}

void TBusyOverlay::Start(int kind, const QString& caption) {
    m_kind = kind;
    m_caption = caption;
    PlaceOverParent();
    show();
    raise();
    if (!m_timer.isActive()) m_timer.start(kFrameMs, this);
    update();
}

void TBusyOverlay::Stop() {
    m_timer.stop();
    m_kind = -1;
    m_caption.clear();
    hide();
}

void TBusyOverlay::PlaceOverParent() {
    if (QWidget* p = parentWidget()) {
        move((p->width() - width()) / 2, (p->height() - height()) / 2);
    } else if (QWidget* screenWidget = window()) {
        Q_UNUSED(screenWidget);
    }
}

void TBusyOverlay::Advance() {
    qint64 now = QDateTime::currentMSecsSinceEpoch();
    if (now - m_lastAdvance < kFrameMs) return;
    m_lastAdvance = now;
    ++m_frame;
    update();
}

void TBusyOverlay::timerEvent(QTimerEvent* event) {
    if (event->timerId() == m_timer.timerId()) Advance();
}

void TBusyOverlay::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Window));
    painter.setPen(QPen(palette().color(QPalette::Mid), 1));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    painter.setRenderHint(QPainter::Antialiasing);

    // Spinner: spokes fading behind the leading one.
    QPointF centre(42, height() / 2.0);
    for (int i = 0; i < kSpokes; ++i) {
        double angle = 2 * M_PI * i / kSpokes;
        int age = (m_frame - i + kSpokes * 1000) % kSpokes;
        QColor colour = palette().color(QPalette::Highlight);
        colour.setAlphaF(1.0 - age / static_cast<double>(kSpokes));
        painter.setPen(QPen(colour, 3, Qt::SolidLine, Qt::RoundCap));
        QPointF dir(std::cos(angle), std::sin(angle));
        painter.drawLine(centre + dir * 12, centre + dir * 22);
    }
    DrawEmblem(painter, QRectF(centre.x() - 8, centre.y() - 8, 16, 16));

    painter.setPen(palette().color(QPalette::WindowText));
    QString text = m_caption.isEmpty() ? QStringLiteral("Aguarde...") : m_caption;
    painter.drawText(QRectF(76, 0, width() - 86, height()), Qt::AlignVCenter | Qt::TextWordWrap,
                     text);
}

void TBusyOverlay::DrawEmblem(QPainter& painter, const QRectF& box) const {
    painter.setPen(QPen(palette().color(QPalette::WindowText), 1.5));
    painter.setBrush(Qt::NoBrush);
    switch (m_kind) {
        case 0: {  // connecting: two links of a chain
            painter.drawRoundedRect(QRectF(box.left(), box.top() + 4, 9, 8), 3, 3);
            painter.drawRoundedRect(QRectF(box.left() + 7, box.top() + 4, 9, 8), 3, 3);
            break;
        }
        case 6: {  // reading: a magnifier
            painter.drawEllipse(QRectF(box.left(), box.top(), 10, 10));
            painter.drawLine(QPointF(box.left() + 9, box.top() + 9), box.bottomRight());
            break;
        }
        case 1: {  // saving: a disk with an arrow into it
            painter.drawRect(QRectF(box.left() + 1, box.top() + 6, 14, 10));
            painter.drawLine(QPointF(box.center().x(), box.top()),
                             QPointF(box.center().x(), box.top() + 10));
            painter.drawLine(QPointF(box.center().x() - 3, box.top() + 7),
                             QPointF(box.center().x(), box.top() + 10));
            painter.drawLine(QPointF(box.center().x() + 3, box.top() + 7),
                             QPointF(box.center().x(), box.top() + 10));
            break;
        }
        default:
            painter.drawEllipse(box.center(), 2, 2);
    }
}
