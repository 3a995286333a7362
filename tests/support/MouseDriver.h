// Sends pointer events to a window the way the window system would: to the widget under the
// pointer, or to the widget that holds the press until its release.
#pragma once

#include <QApplication>
#include <QMouseEvent>
#include <QPointer>
#include <QWidget>

namespace testsupport {

class MouseDriver {
public:
    explicit MouseDriver(QWidget& window) : window_(window) {}

    // Positions are global screen pixels.
    void press(QPoint global, Qt::MouseButton b = Qt::LeftButton) {
        buttons_ |= b;
        QWidget* target = grabber_ ? grabber_.data() : widgetAt(global);
        grabber_ = target;
        send(target, QEvent::MouseButtonPress, global, b);
    }
    void move(QPoint global) {
        QWidget* target = grabber_ ? grabber_.data() : widgetAt(global);
        if (target) send(target, QEvent::MouseMove, global, Qt::NoButton);
    }
    void release(QPoint global, Qt::MouseButton b = Qt::LeftButton) {
        buttons_ &= ~Qt::MouseButtons(b);
        QWidget* target = grabber_ ? grabber_.data() : widgetAt(global);
        if (buttons_ == Qt::NoButton) grabber_ = nullptr;
        if (target) send(target, QEvent::MouseButtonRelease, global, b);
    }
    // The button goes up while a modal box holds the input: no window of ours hears of it.
    void releaseUnseen(Qt::MouseButton b = Qt::LeftButton) {
        buttons_ &= ~Qt::MouseButtons(b);
        if (buttons_ == Qt::NoButton) grabber_ = nullptr;
    }
    void click(QPoint global, Qt::MouseButton b = Qt::LeftButton) {
        press(global, b);
        release(global, b);
    }
    // A point of the window's client area, in pixels, as a global position.
    QPoint at(int x, int y) const { return window_.mapToGlobal(QPoint(x, y)); }

    QWidget* widgetAt(QPoint global) const {
        const QPoint local = window_.mapFromGlobal(global);
        if (!window_.rect().contains(local)) return nullptr;
        QWidget* child = window_.childAt(local);
        return child ? child : &window_;
    }

private:
    void send(QWidget* target, QEvent::Type type, QPoint global, Qt::MouseButton b) {
        const QPointF local = target->mapFromGlobal(QPointF(global));
        QMouseEvent e(type, local, QPointF(global), b, buttons_, Qt::NoModifier);
        QApplication::sendEvent(target, &e);
    }

    QWidget& window_;
    QPointer<QWidget> grabber_;
    Qt::MouseButtons buttons_ = Qt::NoButton;
};

} // namespace testsupport
