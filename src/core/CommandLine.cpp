#include "core/CommandLine.h"

#include <cstdio>

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include "core/MainWindows.h"

namespace {

const QString ExportWatch = QStringLiteral("export-watch");
const QString ImportWatch = QStringLiteral("import-watch");
const QString WithReadings = QStringLiteral("with-readings");

// The options QApplication takes out of the arguments itself; hidden, and only so that they are
// not refused before it gets them.
const QStringList QtValueOptions = {
    QStringLiteral("platform"),        QStringLiteral("platformpluginpath"), QStringLiteral("platformtheme"),
    QStringLiteral("plugin"),          QStringLiteral("qmljsdebugger"),      QStringLiteral("qwindowgeometry"),
    QStringLiteral("qwindowicon"),     QStringLiteral("qwindowtitle"),       QStringLiteral("session"),
    QStringLiteral("display"),         QStringLiteral("geometry"),           QStringLiteral("style"),
    QStringLiteral("stylesheet"),
};
const QStringList QtFlagOptions = {QStringLiteral("reverse"), QStringLiteral("widgetcount"), QStringLiteral("nograb"),
                                   QStringLiteral("dograb")};

void print(FILE *stream, const QString &text)
{
    std::fputs(qUtf8Printable(text), stream);
    std::fflush(stream);
}

} // namespace

CommandLine::CommandLine(const QStringList &arguments)
{
    m_parser.setApplicationDescription(QStringLiteral("Doppio Quovadex: due pagine di borsa, una sopra l'altra, e i "
                                                      "valori seguiti con i loro avvisi."));
    m_parser.addHelpOption();
    m_parser.addVersionOption();
    // Qt's own options come with one dash and a whole word.
    m_parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    m_parser.addOptions({
        {ExportWatch, QStringLiteral("Scrive i valori seguiti, con i livelli e gli avvisi, nel FILE (JSON)."),
         QStringLiteral("FILE")},
        {WithReadings, QStringLiteral("Con --export-watch: anche le letture.")},
        {ImportWatch, QStringLiteral("Aggiunge ai valori seguiti quelli del FILE; un valore gi\u00e0 seguito prende le "
                                     "impostazioni del file."),
         QStringLiteral("FILE")},
    });
    for (const QString &name : QtValueOptions + QtFlagOptions) {
        QCommandLineOption option(name);
        if (QtValueOptions.contains(name))
            option.setValueName(QStringLiteral("x"));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        m_parser.addOption(option);
    }
    m_parser.addPositionalArgument(QStringLiteral("indirizzo"), QStringLiteral("La pagina da aprire nel riquadro superiore."),
                                   QStringLiteral("[indirizzo]"));

    read(arguments);
}

void CommandLine::read(const QStringList &arguments)
{
    // What follows --webEngineArgs is the web engine's own.
    const QStringList ours = arguments.mid(0, arguments.indexOf(QStringLiteral("--webEngineArgs")));
    const auto refuse = [this](const QString &why) {
        m_action = Action::UsageError;
        m_error = why;
    };
    if (!m_parser.parse(ours))
        return refuse(m_parser.errorText());
    if (m_parser.isSet(QStringLiteral("help")) || m_parser.isSet(QStringLiteral("help-all"))) {
        m_action = Action::Help;
        return;
    }
    if (m_parser.isSet(QStringLiteral("version"))) {
        m_action = Action::Version;
        return;
    }
    const bool exporting = m_parser.isSet(ExportWatch);
    const bool importing = m_parser.isSet(ImportWatch);
    m_address = MainWindows::addressFrom(m_parser.positionalArguments());
    if (!exporting && !importing) {
        if (m_parser.isSet(WithReadings))
            return refuse(QStringLiteral("--with-readings vale solo con --export-watch."));
        return;
    }
    if (exporting && importing)
        return refuse(QStringLiteral("--export-watch e --import-watch non vanno insieme."));
    if (importing && m_parser.isSet(WithReadings))
        return refuse(QStringLiteral("--with-readings vale solo con --export-watch."));
    if (!m_address.isEmpty())
        return refuse(QStringLiteral("Con --export-watch o --import-watch non si apre alcun indirizzo: \u00ab%1\u00bb.")
                          .arg(m_address));
    const QString file = m_parser.value(exporting ? ExportWatch : ImportWatch);
    if (file.isEmpty())
        return refuse(QStringLiteral("Manca il nome del file."));
    m_action = exporting ? Action::ExportWatch : Action::ImportWatch;
    m_watchFile = {exporting ? WatchFileRequest::Kind::Export : WatchFileRequest::Kind::Import,
                   QDir::cleanPath(QFileInfo(file).absoluteFilePath()), m_parser.isSet(WithReadings)};
}

QStringList CommandLine::arguments(int argc, char **argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    return arguments;
}

void CommandLine::nameProgram()
{
    QCoreApplication::setOrganizationName(QStringLiteral("Quovadex"));
    QCoreApplication::setApplicationName(QStringLiteral("quovadex3"));
    QCoreApplication::setApplicationVersion(QStringLiteral(QUOVADEX_VERSION));
}

QString CommandLine::helpText() const
{
    return m_parser.helpText();
}

int CommandLine::run(const WatchFileHere &here, const QString &channelName) const
{
    switch (m_action) {
    case Action::OpenWindow:
        return 0;
    case Action::Help:
        print(stdout, helpText());
        return 0;
    case Action::Version:
        print(stdout, QStringLiteral("%1 %2\n").arg(QCoreApplication::applicationName(), QCoreApplication::applicationVersion()));
        return 0;
    case Action::UsageError:
        print(stderr, QStringLiteral("quovadex3: %1\nLe opzioni: quovadex3 --help\n").arg(m_error));
        return UsageErrorStatus;
    case Action::ExportWatch:
    case Action::ImportWatch:
        break;
    }
    // A running copy does it itself, so that its values and the file agree.
    std::optional<QString> failure =
        InstanceChannel::askWatchFile(m_watchFile, channelName.isEmpty() ? InstanceChannel::defaultName() : channelName);
    if (!failure)
        failure = here(m_watchFile);
    if (failure->isEmpty())
        return 0;
    print(stderr, QStringLiteral("quovadex3: %1\n").arg(*failure));
    return 1;
}
