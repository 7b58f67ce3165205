#pragma once

#include <QWebEngineUrlRequestInterceptor>

#include "panes/webengine/LocalPictureServer.h"

// What the program asks of every request its pages make: a refresh fetches the site's page
// of now, and a local page (a saved quote page, a page somebody sent) reads nothing, neither a
// web site's data nor the user's other files, which it could then send on to any site in a
// picture's address.
class RequestPolicy final : public QWebEngineUrlRequestInterceptor
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(RequestPolicy)
public:
    RequestPolicy() = default;

    void interceptRequest(QWebEngineUrlRequestInfo &info) override;

private:
    LocalPictureServer m_pictures;
};
