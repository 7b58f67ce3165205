#include "panes/webengine/ValueReader.h"

#include <memory>
#include <utility>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPointF>
#include <QRegularExpression>
#include <QTimer>
#include <QVariantMap>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>

#include "panes/webengine/PageScripts.h"

namespace {

// A page busy with its own scripts answers late; neither a refresh nor the menu waits longer.
// A page just loaded in a new process took 0.8 s to answer a trivial call on a loaded
// two-core machine.
constexpr int ReadWaitMs = 2000;
constexpr int PickWaitMs = 800;
// The script already keeps to one report a second; a page that fakes reports is held to it too.
constexpr int ChangeGapMs = 900;
const QString ChangedMessage = QStringLiteral("quovadex:values-changed");
const QString ScriptName = QStringLiteral("quovadex-values");
// What the short call answers in a document the script is not installed in yet.
const QString NotInstalled = QStringLiteral("quovadex:no-values");

// Defines quovadexValues in the program's world of the document and calls it at once, so that
// it notes the rows as the document comes; empty if the script is missing from the build.
const QString &installSource()
{
    static const QString function = PageScripts::withPageText(QStringLiteral("values.js"));
    static const QString source = function.isEmpty()
        ? QString()
        : QLatin1String("quovadexValues = ") + function + QLatin1String(";\nquovadexValues({});\n");
    return source;
}

QString callOf(const QString &request)
{
    // Joined, not formatted: a row's first cell of the page's is in the request.
    return QLatin1String("typeof quovadexValues === 'function' ? quovadexValues(") + request + QLatin1String(") : '")
        + NotInstalled + QLatin1Char('\'');
}

QString request(const char *kind, const QJsonArray &argument)
{
    // As JSON, which escapes whatever a page put into a row's first cell.
    return QString::fromUtf8(QJsonDocument(QJsonObject{{QLatin1String(kind), argument}}).toJson(QJsonDocument::Compact));
}

QJsonArray placesJson(const QList<ValuePlace> &places)
{
    QJsonArray list;
    for (const ValuePlace &place : places)
        list.append(QJsonArray{place.group, place.index});
    return list;
}

QList<ValueReading> unread(const QList<ValuePlace> &places, const QString &reason, const QDateTime &now)
{
    QList<ValueReading> readings;
    for (const ValuePlace &place : places)
        readings.append({place, std::nullopt, QString(), reason, now, QString()});
    return readings;
}

std::optional<double> numberOf(const QVariant &value)
{
    bool ok = false;
    const double number = value.toDouble(&ok);
    return !value.isNull() && value.typeId() != QMetaType::QString && ok ? std::optional(number) : std::nullopt;
}

// "12.345" on a page that names no language: a number, only not one to guess at.
bool unclearWriting(const QString &text)
{
    static const QRegularExpression shape(
        QStringLiteral("^[+\\-\u2212]?\\s*[\u20ac$\u00a3]?\\s*\\d{1,3}[.,]\\d{3}\\s*[\u20ac$\u00a3%]?$"));
    return shape.match(text).hasMatch();
}

ValueReading readingOf(const ValuePlace &place, const QVariantMap &answer, const QDateTime &time)
{
    ValueReading reading{place, std::nullopt, QString(), QString(), time, QString()};
    if (!answer.value(QStringLiteral("found")).toBool()) {
        reading.reason = answer.value(QStringLiteral("signIn")).toBool() ? QStringLiteral("accesso richiesto")
                                                                         : QStringLiteral("non c'\u00e8 pi\u00f9 nella pagina");
        return reading;
    }
    reading.text = answer.value(QStringLiteral("text")).toString();
    reading.heading = answer.value(QStringLiteral("heading")).toString();
    reading.number = numberOf(answer.value(QStringLiteral("number")));
    if (!reading.number)
        reading.reason = unclearWriting(reading.text)
            ? QStringLiteral("in \u00ab%1\u00bb la pagina non dice se sono migliaia o decimali").arg(reading.text)
            : QStringLiteral("\u00ab%1\u00bb non \u00e8 un numero").arg(reading.text);
    return reading;
}

// Any reason, even one this program does not know, keeps the value from being followed.
ValuePick::Followable followableOf(const QVariantMap &answer)
{
    const QVariant why = answer.value(QStringLiteral("why"));
    if (why.isNull())
        return ValuePick::Followable::Yes;
    return why.toString() == QLatin1String("volatile") ? ValuePick::Followable::NameChanges
                                                       : ValuePick::Followable::NoUniqueName;
}

template<typename F>
auto once(F call)
{
    auto pending = std::make_shared<F>(std::move(call));
    auto done = std::make_shared<bool>(false);
    return [pending, done](auto &&...args) {
        if (*done)
            return;
        *done = true;
        (*pending)(std::forward<decltype(args)>(args)...);
    };
}

} // namespace

ValueReader::ValueReader(WallClock clock, QObject *parent)
    : QObject(parent)
    , m_clock(orSystemClock(std::move(clock)))
{
}

void ValueReader::setPlaces(const QList<ValuePlace> &places)
{
    m_places = places;
    m_enabled = true;
}

QList<ValuePlace> ValueReader::placesOf(const QUrl &url) const
{
    QList<ValuePlace> found;
    const QString address = url.toString();
    for (const ValuePlace &place : m_places) {
        if (place.address == address)
            found.append(place);
    }
    return found;
}

bool ValueReader::follows(const QUrl &url) const
{
    return !placesOf(url).isEmpty();
}

void ValueReader::install(QWebEnginePage *page)
{
    QWebEngineScriptCollection &scripts = page->scripts();
    if (installSource().isEmpty() || !scripts.find(ScriptName).isEmpty())
        return;
    QWebEngineScript script;
    script.setName(ScriptName);
    script.setInjectionPoint(QWebEngineScript::DocumentReady);
    script.setWorldId(QWebEngineScript::ApplicationWorld);
    script.setRunsOnSubFrames(false);
    script.setSourceCode(installSource());
    scripts.insert(script);
}

void ValueReader::ask(QWebEnginePage *page, const QString &request, std::function<void(const QVariant &)> answer)
{
    const QString call = callOf(request);
    const QPointer<QWebEnginePage> asked(page);
    page->runJavaScript(call, QWebEngineScript::ApplicationWorld, [asked, call, answer](const QVariant &result) {
        if (asked && result.toString() == NotInstalled)
            asked->runJavaScript(installSource() + call, QWebEngineScript::ApplicationWorld, answer);
        else
            answer(result);
    });
}

void ValueReader::read(QWebEnginePage *page, Readings done)
{
    const QList<ValuePlace> places = placesOf(page->url());
    if (places.isEmpty())
        return;
    auto finish = once(std::move(done));
    if (installSource().isEmpty()) {
        finish(unread(places, QStringLiteral("manca lo script che legge i valori"), m_clock()));
        return;
    }
    ask(page, request("read", placesJson(places)), [places, finish, clock = m_clock](const QVariant &result) {
        // A page being deleted answers nothing: the wait below speaks for it.
        if (!result.isValid())
            return;
        const QVariantList answers = result.toList();
        const QDateTime now = clock();
        QList<ValueReading> readings;
        for (qsizetype i = 0; i < places.size(); ++i)
            readings.append(readingOf(places.at(i), answers.value(i).toMap(), now));
        finish(readings);
    });
    QTimer::singleShot(ReadWaitMs, this,
                       [places, finish, clock = m_clock] { finish(unread(places, QStringLiteral("la pagina non ha risposto"), clock())); });
}

void ValueReader::tell(const QList<ValueReading> &readings)
{
    if (!readings.isEmpty())
        emit valuesRead(readings);
}

void ValueReader::report(QWebEnginePage *page)
{
    const QPointer<ValueReader> self(this);
    read(page, [self](const QList<ValueReading> &readings) {
        if (self)
            self->tell(readings);
    });
}

void ValueReader::follow(QWebEnginePage *page)
{
    report(page);
    observe(page);
}

void ValueReader::prepare(QWebEnginePage *page, std::function<void()> done)
{
    m_prepared = page;
    m_kept.clear();
    if (!follows(page->url())) {
        done();
        return;
    }
    const QPointer<ValueReader> self(this);
    const QPointer<QWebEnginePage> prepared(page);
    read(page, [self, prepared, done](const QList<ValueReading> &readings) {
        if (self && prepared && self->m_prepared == prepared)
            self->m_kept = readings;
        done();
    });
}

void ValueReader::shown(QWebEnginePage *page)
{
    if (page == m_prepared)
        tell(std::exchange(m_kept, {}));
    m_prepared.clear();
    observe(page);
}

void ValueReader::failed(const QUrl &url, const QString &reason)
{
    tell(unread(placesOf(url), reason, m_clock()));
}

void ValueReader::pick(QWebEnginePage *page, const QPointF &pos,
                       std::function<void(const std::optional<ValuePick> &)> done)
{
    auto finish = once(std::move(done));
    if (installSource().isEmpty()) {
        finish(std::nullopt);
        return;
    }
    const QString address = page->url().toString();
    ask(page, request("pick", QJsonArray{pos.x(), pos.y()}), [address, finish](const QVariant &result) {
        const QVariantMap answer = result.toMap();
        if (!answer.contains(QStringLiteral("group"))) {
            finish(std::nullopt);
            return;
        }
        const auto text = [&answer](const char *key) { return answer.value(QLatin1String(key)).toString(); };
        finish(ValuePick{{address, text("group"), answer.value(QStringLiteral("index")).toInt()}, text("name"),
                         text("text"), numberOf(answer.value(QStringLiteral("number"))), followableOf(answer),
                         text("heading")});
    });
    QTimer::singleShot(PickWaitMs, this, [finish] { finish(std::nullopt); });
}

void ValueReader::observe(QWebEnginePage *page)
{
    const QList<ValuePlace> places = placesOf(page->url());
    if (places.isEmpty() || installSource().isEmpty())
        return;
    ask(page, request("watch", placesJson(places)), [](const QVariant &) {});
}

void ValueReader::consoleMessage(QWebEnginePage *page, const QString &message)
{
    if (message != ChangedMessage || !follows(page->url()))
        return;
    if (m_lastChange.isValid() && m_lastChange.elapsed() < ChangeGapMs)
        return;
    m_lastChange.start();
    emit changed(page);
}
