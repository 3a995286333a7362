#include "forms/ErrorBox.h"

#include <QMessageBox>
#include <QString>

namespace forms {

void QtErrorBox::show(const std::string& text, const std::string& title) {
    QString body = QString::fromLocal8Bit(text.c_str());
    body.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QMessageBox box(QMessageBox::Critical, QString::fromLocal8Bit(title.c_str()), body, QMessageBox::Ok);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

} // namespace forms
