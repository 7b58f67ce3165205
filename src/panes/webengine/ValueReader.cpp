#include "panes/webengine/ValueReader.h"

#include <memory>

#include <QJsonArray>
#include <QJsonDocument>
#include <QPointF>
#include <QPointer>
#include <QRegularExpression>
#include <QTimer>
#include <QVariantList>
#include <QWebEnginePage>
#include <QWebEngineScript>

#include "panes/webengine/PageScripts.h"

namespace {

// A page busy with its own scripts answers late; neither a refresh nor the menu waits longer.
constexpr int ReadWaitMs = 1000;
constexpr int PickWaitMs = 800;
// The script already keeps to one report a second; a page that fakes reports is held to it too.
constexpr int ChangeGapMs = 900;
const QString ChangedMessage = QStringLiteral("quovadex:values-changed");

const QString &valuesSource()
{
    static const QString source = PageScripts::withPageText(QStringLiteral("values.js"));
    return source;
}

QString placesJson(const QList<ValuePlace> &places)
{
    // As JSON, which escapes whatever a page put into a row's first cell.
    QJsonArray list;
    for (const ValuePlace &place : places)
        list.append(QJsonArray{place.group, place.index});
    return QString::fromUtf8(QJsonDocument(list).toJson(QJsonDocument::Compact));
}

// "12.345" on a page that names no language: a number, only not one to guess at.
bool unclearWriting(const QString &text)
{
    static const QRegularExpression shape(
        QStringLiteral("^[+\\-\u2212]?\\s*[\u20ac$\u00a3]?\\s*\\d{1,3}[.,]\\d{3}\\s*[\u20ac$\u00a3%]?$"));
    return shape.match(text).hasMatch();
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

ValueReader::ValueReader(QObject *parent)
    : QObject(parent)
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

QList<ValueReading> ValueReader::unread(const QUrl &url, const QString &reason) const
{
    QList<ValueReading> readings;
    const QDateTime now = QDateTime::currentDateTime();
    for (const ValuePlace &place : placesOf(url))
        readings.append({place, std::nullopt, QString(), reason, now, QString()});
    return readings;
}

void ValueReader::read(QWebEnginePage *page, Readings done)
{
    const QUrl url = page->url();
    const QList<ValuePlace> places = placesOf(url);
    if (places.isEmpty() || valuesSource().isEmpty())
        return;
    auto finish = once(std::move(done));
    const QString script = QStringLiteral("(%1)({read: %2})").arg(valuesSource(), placesJson(places));
    page->runJavaScript(script, QWebEngineScript::ApplicationWorld, [places, finish](const QVariant &result) {
        const QVariantList answers = result.toList();
        const QDateTime now = QDateTime::currentDateTime();
        QList<ValueReading> readings;
        for (qsizetype i = 0; i < places.size(); ++i) {
            const QVariantList answer = i < answers.size() ? answers.at(i).toList() : QVariantList();
            ValueReading reading{places.at(i), std::nullopt, QString(), QString(), now, QString()};
            if (answer.size() != 4 || !answer.at(0).toBool()) {
                reading.reason = QStringLiteral("non c'\u00e8 pi\u00f9 nella pagina");
            } else {
                reading.text = answer.at(1).toString();
                reading.heading = answer.at(3).toString();
                bool ok = false;
                const double number = answer.at(2).toDouble(&ok);
                if (!answer.at(2).isNull() && ok)
                    reading.number = number;
                else
                    reading.reason = unclearWriting(reading.text)
                        ? QStringLiteral("in \u00ab%1\u00bb la pagina non dice se sono migliaia o decimali").arg(reading.text)
                        : QStringLiteral("\u00ab%1\u00bb non \u00e8 un numero").arg(reading.text);
            }
            readings.append(reading);
        }
        finish(readings);
    });
    QPointer<ValueReader> self(this);
    QTimer::singleShot(ReadWaitMs, this, [self, url, finish] {
        if (self)
            finish(self->unread(url, QStringLiteral("la pagina non ha risposto")));
    });
}

void ValueReader::report(QWebEnginePage *page)
{
    QPointer<ValueReader> self(this);
    read(page, [self](const QList<ValueReading> &readings) {
        if (self)
            self->report(readings);
    });
}

void ValueReader::report(const QList<ValueReading> &readings)
{
    if (!readings.isEmpty())
        emit taken(readings);
}

void ValueReader::pick(QWebEnginePage *page, const QPointF &pos,
                       std::function<void(const std::optional<ValuePick> &)> done)
{
    auto finish = once(std::move(done));
    if (valuesSource().isEmpty()) {
        finish(std::nullopt);
        return;
    }
    const QString address = page->url().toString();
    const QString script = QStringLiteral("(%1)({pick: [%2, %3]})").arg(valuesSource()).arg(pos.x()).arg(pos.y());
    page->runJavaScript(script, QWebEngineScript::ApplicationWorld, [address, finish](const QVariant &result) {
        const QVariantList answer = result.toList();
        if (answer.size() != 7) {
            finish(std::nullopt);
            return;
        }
        ValuePick pick{{address, answer.at(0).toString(), answer.at(1).toInt()}, answer.at(2).toString(),
                       answer.at(3).toString(), std::nullopt, answer.at(5).toBool(), answer.at(6).toString()};
        bool ok = false;
        const double number = answer.at(4).toDouble(&ok);
        if (!answer.at(4).isNull() && ok)
            pick.number = number;
        finish(pick);
    });
    QTimer::singleShot(PickWaitMs, this, [finish] { finish(std::nullopt); });
}

void ValueReader::watch(QWebEnginePage *page)
{
    const QList<ValuePlace> places = placesOf(page->url());
    if (places.isEmpty() || valuesSource().isEmpty())
        return;
    page->runJavaScript(QStringLiteral("(%1)({watch: %2})").arg(valuesSource(), placesJson(places)),
                        QWebEngineScript::ApplicationWorld);
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
