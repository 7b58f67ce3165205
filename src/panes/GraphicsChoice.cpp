#include "panes/GraphicsChoice.h"

#include <QElapsedTimer>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFunctions>

namespace {

const char *const NamedBackends[] = {"QT_QUICK_BACKEND", "QSG_RHI_BACKEND"};

} // namespace

bool GraphicsChoice::isSoftwareRenderer(const QString &renderer)
{
    // Mesa's software rasterizers. "llvmpipe" and not "llvm": Mesa's drivers for AMD's cards
    // name the LLVM they compile shaders with.
    static const char *const software[] = {"llvmpipe", "softpipe", "swrast", "software rasterizer"};
    if (renderer.trimmed().isEmpty())
        return true;
    for (const char *name : software) {
        if (renderer.contains(QLatin1String(name), Qt::CaseInsensitive))
            return true;
    }
    return false;
}

QString GraphicsChoice::openGLRenderer()
{
    QOpenGLContext context;
    if (!context.create())
        return QString();
    QOffscreenSurface surface;
    surface.setFormat(context.format());
    surface.create();
    if (!surface.isValid() || !context.makeCurrent(&surface))
        return QString();
    const auto *name = reinterpret_cast<const char *>(context.functions()->glGetString(GL_RENDERER));
    const QString renderer = name ? QString::fromUtf8(name) : QString();
    context.doneCurrent();
    return renderer;
}

QString GraphicsChoice::apply()
{
    for (const char *variable : NamedBackends) {
        if (!qEnvironmentVariableIsEmpty(variable)) {
            return QStringLiteral("quovadex3: graphics as the environment names them: %1=%2")
                .arg(QLatin1String(variable), qEnvironmentVariable(variable));
        }
    }
    QElapsedTimer checking;
    checking.start();
    const QString renderer = openGLRenderer();
    const qint64 ms = checking.elapsed();
    const QString found = renderer.isEmpty() ? QStringLiteral("no OpenGL")
                                             : QStringLiteral("OpenGL renderer \"%1\"").arg(renderer);
    if (!isSoftwareRenderer(renderer)) {
        return QStringLiteral("quovadex3: graphics on the hardware: %1 (checked in %2 ms)").arg(found).arg(ms);
    }
    // Composed by OpenGL in software, every repaint of any control, the clock's once a second
    // among them, composes the whole window again with both pages in it: on a display without
    // graphics hardware that alone kept a core 1.5-2 % busy in an idle window. Drawn in
    // software, a repaint costs its own few pixels. The engine reads the choice from the
    // environment only (QQuickWindow::setGraphicsApi is not enough in Qt 6.4 to 6.8).
    qputenv("QT_QUICK_BACKEND", "software");
    return QStringLiteral("quovadex3: graphics in software: %1 (checked in %2 ms)").arg(found).arg(ms);
}
