// The floor the program is measured against: the same two pages in two plain web views in
// one window, with the panes' sizes of the program's window, and nothing else.
#include <cstdio>

#include <QApplication>
#include <QUrl>
#include <QWebEngineView>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QStringList addresses = QApplication::arguments().mid(1);
    if (addresses.size() != 2) {
        std::fputs("usage: baseline <upper address> <lower address>\n", stderr);
        return 2;
    }

    // Page size drives the engine's raster and memory cost, so the views get the pixel
    // sizes the program's own layout gives its panes in a window of its default size.
    QWidget window;
    window.resize(867, 621);
    QWebEngineView upper(&window);
    QWebEngineView lower(&window);
    upper.setGeometry(30, 51, 822, 260);
    lower.setGeometry(30, 318, 822, 289);
    upper.load(QUrl::fromUserInput(addresses.at(0)));
    lower.load(QUrl::fromUserInput(addresses.at(1)));
    window.show();
    return QApplication::exec();
}
