#include "forms/Form.h"

#include <QCoreApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPointer>
#include <QWindow>

namespace forms {

Form::Form(const std::string& name, float widthTwips, float heightTwips)
    : Container(nullptr, name, Qt::Window | Qt::FramelessWindowHint), widthTwips_(widthTwips),
      heightTwips_(heightTwips) {
    setFixedSize(twipsToPixels(widthTwips), twipsToPixels(heightTwips));
}

float Form::Left() const { return pixelsToTwips(pos().x()); }
float Form::Top() const { return pixelsToTwips(pos().y()); }

void Form::Move(float left, float top) { move(twipsToPixels(left), twipsToPixels(top)); }

void Form::setCaption(const std::string& caption) { setWindowTitle(QString::fromLocal8Bit(caption.c_str())); }

bool Form::canPlaceWindows() { return !QGuiApplication::platformName().startsWith(QLatin1String("wayland")); }

bool Form::startSystemMove() {
    QWindow* w = windowHandle();
    if (!w || !w->startSystemMove()) return false;
    // The compositor sends the release to nobody: Qt would go on sending every move and the
    // next press to the widget that had this press, so the first hover and click after a drag
    // would be lost. A release of our own ends the press in Qt and, through it, in the widget.
    const Qt::MouseButtons held = QGuiApplication::mouseButtons();
    Qt::MouseButton button = Qt::LeftButton;
    for (Qt::MouseButton b : {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton})
        if (held & b) {
            button = b;
            break;
        }
    const QPointF global = QCursor::pos();
    QMouseEvent release(QEvent::MouseButtonRelease, w->mapFromGlobal(global), global, button, Qt::NoButton,
        QGuiApplication::keyboardModifiers());
    QPointer<Form> alive(this);
    handOverRelease(w, release);
    if (alive) endPress();
    return true;
}

void DoEvents() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

} // namespace forms
