#pragma once

#include "support/PageServer.h"

// A quote page on 127.0.0.1 that is different at every request, as a live quote page is:
// the request number is in its title, in a script variable and in every price. No cache
// may keep it, so every refresh really fetches and lays out a new page.
class ChangingPageServer final
{
    Q_DISABLE_COPY_MOVE(ChangingPageServer)
public:
    explicit ChangingPageServer(int rows)
        : m_rows(rows)
        , m_server([this](const QString &) { return page(++m_served); })
    {
    }

    bool listen() { return m_server.listen(); }
    QString url(const QString &path) const { return m_server.url(path); }
    int pagesServed() const { return m_served; }
    void setFault(PageServer::Fault fault) { m_server.setFault(fault); }

private:
    QByteArray page(int number) const
    {
        QByteArray rows;
        for (int i = 0; i < m_rows; ++i) {
            const double price = 10 + (i * 37 + number * 11) % 1000 / 7.0;
            rows += "<tr><td>Titolo " + QByteArray::number(i) + "</td><td>" + QByteArray::number(price, 'f', 3) +
                    "</td><td>" + QByteArray::number(number) + "</td></tr>";
        }
        return "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>Quotazioni " + QByteArray::number(number) +
               "</title><script>window.soakPage=" + QByteArray::number(number) +
               ";</script></head><body><table>" + rows + "</table></body></html>";
    }

    const int m_rows;
    int m_served = 0;
    // Last: it serves pages made from the members above.
    PageServer m_server;
};
