#include "mail_test_support.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

namespace iomira::mail_test {

bool waitFor(const std::function<bool()>& done, std::chrono::milliseconds limit) {
    QElapsedTimer clock;
    clock.start();
    // Wakes the blocking wait below now and then, so the limit is seen without any event.
    QTimer tick;
    tick.start(20);
    while (!done()) {
        if (clock.elapsed() > limit.count()) return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}

CMailAccount sampleAccount(int32_t id) {
    CMailAccount a;
    a.MailAccountId = id;
    a.AuthType = MAIL_AUTH_TLS;
    a.AccountID = QStringLiteral("plant.alarm");
    a.AccountMail = QStringLiteral("plant.alarm@example.com");
    a.MailAccountComment = QStringLiteral("Boiler house");
    a.MailAccountName = QStringLiteral("보일러실 경보");
    a.MailServerAddress = QStringLiteral("smtp.example.com");
    a.MailServerPort = QStringLiteral("587");
    a.Password = QStringLiteral("pa^ss wörd");
    return a;
}

} // namespace iomira::mail_test

namespace iomira {
void PrintTo(const CMailAccount& a, std::ostream* out) {
    *out << "{" << a.MailAccountId << ", " << a.AuthType << ", " << a.AccountID.toStdString()
         << ", " << a.AccountMail.toStdString() << ", " << a.MailServerAddress.toStdString() << ":"
         << a.MailServerPort.toStdString() << ", " << a.Password.toStdString() << "}";
}
} // namespace iomira
