#pragma once

#include <QString>

// Whether the web views are drawn in software or left on the graphics hardware.
// WebEngineEnvironment decides once per process, after the application object exists (the
// renderer can only be read through the platform plugin it loads) and before the first
// profile, which starts the engine; the engine reads the choice from the environment then.
class GraphicsChoice final
{
    Q_DISABLE_COPY_MOVE(GraphicsChoice)
public:
    GraphicsChoice() = delete;

    // renderer: GL_RENDERER of an OpenGL context; empty where there is no OpenGL.
    static bool isSoftwareRenderer(const QString &renderer);

    // The renderer of an OpenGL context made the way Qt makes one on this platform; empty when
    // none can be made.
    static QString openGLRenderer();

    // Sets QT_QUICK_BACKEND to software where OpenGL is drawn in software or missing, unless the
    // environment names a backend itself. Returns the line the program prints when asked
    // (QUOVADEX_VERBOSE).
    static QString apply();
};
