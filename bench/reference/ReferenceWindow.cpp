// The yardstick of the whole-program benchmark: a bare animated window of the disk's size,
// borderless 520 x 498, a 30 ms timer moving a child label and a 75 ms timer pulsing a label's
// colour. Whatever the disk costs beyond this is its own doing.
#include <array>

#include <QApplication>
#include <QLabel>
#include <QPalette>
#include <QTimer>
#include <QWidget>

#include "forms/BenchTrace.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);

    QWidget window(nullptr, Qt::Window | Qt::FramelessWindowHint);
    window.setFixedSize(520, 498);
    window.setWindowTitle(QStringLiteral("Reference"));

    QLabel moving(QStringLiteral("Velsmoor, Part I [Orvantis]"), &window);
    moving.setGeometry(520, 4, 200, 16);
    QLabel pulsing(QStringLiteral("This can't be good for me!"), &window);
    pulsing.setGeometry(5, 482, 510, 13);
    pulsing.setAlignment(Qt::AlignHCenter);

    QTimer move;
    move.setTimerType(Qt::PreciseTimer);
    QObject::connect(&move, &QTimer::timeout, [&] {
        const int x = moving.x() - 1;
        moving.move(x < -moving.width() ? 520 : x, moving.y());
    });
    move.start(30);

    constexpr std::array<QRgb, 11> ramp = {0xFFFFFF, 0xE0E0E0, 0xC0C0C0, 0x808080, 0x404040, 0x000000, 0x404040,
        0x808080, 0xC0C0C0, 0xE0E0E0, 0xFFFFFF};
    std::size_t step = 0;
    QTimer pulse;
    pulse.setTimerType(Qt::PreciseTimer);
    QObject::connect(&pulse, &QTimer::timeout, [&] {
        QPalette p = pulsing.palette();
        p.setColor(QPalette::WindowText, QColor(ramp[step]));
        pulsing.setPalette(p);
        step = (step + 1) % ramp.size();
    });
    pulse.start(75);

    forms::benchtrace::watch(window);
    window.show();
    return app.exec();
}
