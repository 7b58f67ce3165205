#pragma once

#include <QObject>

class QAbstractButton;
class QLineEdit;

// The one address box both panes share, and the only code that touches its line edit. The
// site buttons and both lists only fill it; Enter presses the upper pane's "GO", as a click
// would. Whoever sends or opens the address is told each change of it.
class AddressBox final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(AddressBox)
public:
    AddressBox(QLineEdit &box, QAbstractButton &enterPresses, QObject *parent = nullptr);

    void setAddress(const QString &address);
    // Tells the listeners connected after the box was made what it holds now.
    void announce();

signals:
    void addressChanged(const QString &address);

private:
    QLineEdit &m_box;
};
