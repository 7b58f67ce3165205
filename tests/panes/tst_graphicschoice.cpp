#include <QTest>

#include "panes/GraphicsChoice.h"

// Which renderers get the pages drawn in software, without a display; and a backend the user
// names is never overridden.
class TestGraphicsChoice : public QObject
{
    Q_OBJECT
private slots:
    void softwareOnlyWhereOpenGLIsDrawnInSoftwareOrMissing_data();
    void softwareOnlyWhereOpenGLIsDrawnInSoftwareOrMissing();
    void aBackendNamedInTheEnvironmentIsKept_data();
    void aBackendNamedInTheEnvironmentIsKept();
};

void TestGraphicsChoice::softwareOnlyWhereOpenGLIsDrawnInSoftwareOrMissing_data()
{
    QTest::addColumn<QString>("renderer");
    QTest::addColumn<bool>("software");
    QTest::newRow("llvmpipe") << QStringLiteral("llvmpipe (LLVM 15.0.6, 256 bits)") << true;
    QTest::newRow("softpipe") << QStringLiteral("softpipe") << true;
    QTest::newRow("swrast") << QStringLiteral("Software Rasterizer") << true;
    QTest::newRow("zink on llvmpipe") << QStringLiteral("zink Vulkan 1.3(llvmpipe (LLVM 19.1.7, 256 bits) (MESA_LLVMPIPE))")
                                      << true;
    QTest::newRow("none") << QString() << true;
    QTest::newRow("Intel") << QStringLiteral("Mesa Intel(R) UHD Graphics 620 (KBL GT2)") << false;
    QTest::newRow("NVIDIA") << QStringLiteral("NVIDIA GeForce RTX 3060/PCIe/SSE2") << false;
    QTest::newRow("AMD, naming its LLVM")
        << QStringLiteral("AMD Radeon RX 6600 (navi23, LLVM 15.0.6, DRM 3.49, 6.1.0-18-amd64)") << false;
    QTest::newRow("virtual machine on the host's card") << QStringLiteral("virgl (AMD Radeon RX 6600)") << false;
}

void TestGraphicsChoice::softwareOnlyWhereOpenGLIsDrawnInSoftwareOrMissing()
{
    QFETCH(QString, renderer);
    QFETCH(bool, software);
    QCOMPARE(GraphicsChoice::isSoftwareRenderer(renderer), software);
}

void TestGraphicsChoice::aBackendNamedInTheEnvironmentIsKept_data()
{
    QTest::addColumn<QByteArray>("variable");
    QTest::addColumn<QByteArray>("value");
    QTest::newRow("software asked for") << QByteArray("QT_QUICK_BACKEND") << QByteArray("software");
    QTest::newRow("hardware asked for") << QByteArray("QSG_RHI_BACKEND") << QByteArray("opengl");
}

void TestGraphicsChoice::aBackendNamedInTheEnvironmentIsKept()
{
    QFETCH(QByteArray, variable);
    QFETCH(QByteArray, value);
    qunsetenv("QT_QUICK_BACKEND");
    qunsetenv("QSG_RHI_BACKEND");
    qputenv(variable.constData(), value);
    // No application object: naming a backend must not even look for OpenGL.
    const QString line = GraphicsChoice::apply();
    QVERIFY2(line.contains(QString::fromLatin1(variable + '=' + value)), qPrintable(line));
    QCOMPARE(qgetenv(variable.constData()), value);
    if (variable != "QT_QUICK_BACKEND")
        QVERIFY(qEnvironmentVariableIsEmpty("QT_QUICK_BACKEND"));
    qunsetenv(variable.constData());
}

QTEST_APPLESS_MAIN(TestGraphicsChoice)
#include "tst_graphicschoice.moc"
