#include "forms/BenchTrace.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>

#include <fcntl.h>
#include <unistd.h>

namespace forms::benchtrace {

namespace {

int traceFile() {
    static const int fd = [] {
        const char* path = std::getenv("VELSMOOR_BENCH_TRACE");
        return path && *path ? ::open(path, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644) : -1;
    }();
    return fd;
}

class Watcher final : public QObject {
public:
    explicit Watcher(QObject* parent) : QObject(parent) {}

    bool eventFilter(QObject* watched, QEvent* e) override {
        if (e->type() == QEvent::Paint && !framePending_) {
            // The backing store is flushed after all paints of this round; a zero timer runs
            // after that.
            framePending_ = true;
            QTimer::singleShot(0, [] { mark("frame"); });
        } else if (e->type() == QEvent::MouseButtonRelease && watched->isWindowType()) {
            mark("click");
        }
        return false;
    }

private:
    bool framePending_ = false;
};

} // namespace

bool enabled() { return traceFile() >= 0; }

void mark(const char* event) {
    const int fd = traceFile();
    if (fd < 0) return;
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    char line[96];
    const int n =
        std::snprintf(line, sizeof line, "%s %lld%09ld\n", event, static_cast<long long>(now.tv_sec), now.tv_nsec);
    if (n > 0 && ::write(fd, line, static_cast<std::size_t>(n)) < 0) {
        // A benchmark that cannot write its trace reports the missing events itself.
    }
}

void watch(QWidget& window) {
    if (!enabled()) return;
    auto* watcher = new Watcher(&window);
    QCoreApplication::instance()->installEventFilter(watcher);
}

} // namespace forms::benchtrace
