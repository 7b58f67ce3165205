#pragma once

#include <QObject>
#include <QString>

class BrowserPane;
class ClickLabel;
class QAbstractButton;

// The column of navigation buttons beside one pane: back, forward, "GO", Home, Stop and "A".
// The window makes one for each pane.
class PaneControls final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PaneControls)
public:
    struct Buttons
    {
        QAbstractButton *back;
        QAbstractButton *forward;
        QAbstractButton *go;
        ClickLabel *home;
        QAbstractButton *stop;
        QAbstractButton *reload;
    };

    // "GO" sends the address box's text to pane.
    PaneControls(BrowserPane &pane, const Buttons &buttons, QObject *parent = nullptr);

    // The page Home opens; read at the moment of the click.
    void setHomeAddress(const QString &address) { m_home = address; }
    // What the address box holds; "GO" sends it.
    void setAddress(const QString &address) { m_address = address; }

    void sendAddress();
    void goHome();

signals:
    // "GO" sent this text to the pane; the history list remembers it.
    void addressSent(const QString &address);

private:
    BrowserPane &m_pane;
    QString m_address;
    QString m_home;
};
