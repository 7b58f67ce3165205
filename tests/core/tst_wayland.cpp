#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include "support/ScratchFolder.h"

namespace {
// A start of the engine on a loaded two-core machine.
constexpr int Timeout = 60000;
}

// The built program in a Wayland session of its own (a headless weston): it starts on Qt's
// Wayland platform, not through X11, shows its window with its title, "Nuova" shows a second
// one, and a second start with an activation token a third.
class TestWayland : public QObject
{
    Q_OBJECT
private slots:
    void windowsAppearNativelyUnderWayland();
};

void TestWayland::windowsAppearNativelyUnderWayland()
{
    const QString weston = QStandardPaths::findExecutable(QStringLiteral("weston"));
    if (weston.isEmpty())
        QSKIP("weston is not installed (Debian package weston): the native Wayland start is not tested");

    // The compositor's socket and the program's channel go into a runtime folder of their own,
    // which must be the user's only, whatever XDG_RUNTIME_DIR is (as root in CI, often unset).
    QTemporaryDir runtime;
    QVERIFY(runtime.isValid());
    QVERIFY(QFile::setPermissions(runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));

    QProcess compositor;
    compositor.setProcessEnvironment(environment);
    compositor.setProcessChannelMode(QProcess::MergedChannels);
    const QString socket = QStringLiteral("quovadex-test");
    compositor.start(weston, {QStringLiteral("--backend=headless-backend.so"), QStringLiteral("--socket=") + socket,
                              QStringLiteral("--idle-time=0"), QStringLiteral("--no-config")});
    QVERIFY(compositor.waitForStarted());
    QTRY_VERIFY2_WITH_TIMEOUT(QFileInfo::exists(runtime.filePath(socket)) || compositor.state() == QProcess::NotRunning,
                              "weston does not open its socket", Timeout);
    QVERIFY2(compositor.state() == QProcess::Running, compositor.readAll().constData());

    environment.insert(QStringLiteral("WAYLAND_DISPLAY"), socket);
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("wayland"));
    environment.insert(QStringLiteral("QUOVADEX_VERBOSE"), QStringLiteral("1"));
    environment.insert(QStringLiteral("LD_PRELOAD"), QStringLiteral(WINDOW_PROBE_PATH));
    ScratchFolder folder;
    QProcess program;
    program.setProcessEnvironment(environment);
    program.setWorkingDirectory(folder.path());
    QByteArray said;
    connect(&program, &QProcess::readyReadStandardError, this, [&] { said += program.readAllStandardError(); });
    program.start(QStringLiteral(QUOVADEX3_PATH), {});
    QVERIFY(program.waitForStarted());

    const QByteArray shown = "window-probe: shown on wayland: Doppio Quovadex";
    QTRY_VERIFY2_WITH_TIMEOUT(said.count(shown) >= 2 || program.state() == QProcess::NotRunning, said.constData(),
                              Timeout);
    QVERIFY2(said.count(shown) == 2, said.constData());

    // A second start hands its folder over with the token its desktop gave it, and ends.
    QProcess second;
    environment.insert(QStringLiteral("XDG_ACTIVATION_TOKEN"), QStringLiteral("quovadex-test_TIME1"));
    second.setProcessEnvironment(environment);
    second.setWorkingDirectory(folder.path());
    second.start(QStringLiteral(QUOVADEX3_PATH), {});
    QVERIFY(second.waitForFinished(Timeout));
    QCOMPARE(second.exitCode(), 0);
    QTRY_VERIFY2_WITH_TIMEOUT(said.count(shown) == 3, said.constData(), Timeout);

    program.terminate();
    QVERIFY(program.waitForFinished(Timeout));
    compositor.terminate();
    QVERIFY(compositor.waitForFinished(Timeout));
}

QTEST_GUILESS_MAIN(TestWayland)
#include "tst_wayland.moc"
