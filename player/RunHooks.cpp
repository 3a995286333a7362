#include "player/RunHooks.h"

#include <cstdio>
#include <cstdlib>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>

namespace player {

std::string ReportingErrorBox::plainText(const std::string& text) {
    std::string shown;
    for (std::size_t i = 0; i < text.size(); ++i)
        if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) shown += text[i];
    return shown;
}

void ReportingErrorBox::show(const std::string& text, const std::string& title) {
    std::fprintf(stderr, "Error box: %s\n", plainText(text).c_str());
    std::fflush(stderr);
    if (autoDismissMs_ >= 0) {
        // Nobody is there to press OK.
        QTimer::singleShot(autoDismissMs_, [] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
                box->button(QMessageBox::Ok)->click();
        });
    }
    box_.show(text, title);
}

int environmentInt(const char* name, int fallback) {
    const char* v = std::getenv(name);
    return v && *v ? std::atoi(v) : fallback;
}

} // namespace player
