#include "watch/AlertSound.h"

#include <canberra.h>
// GIO's D-Bus headers have a struct member named "signals", which Qt defines as a keyword.
#undef signals
#include <gio/gio.h>

namespace {

using SchemaRef = std::unique_ptr<GSettingsSchema, decltype([](GSettingsSchema *schema) { g_settings_schema_unref(schema); })>;
using SettingsRef = std::unique_ptr<GSettings, decltype([](GSettings *settings) { g_object_unref(settings); })>;
using Text = std::unique_ptr<gchar, decltype([](gchar *text) { g_free(text); })>;

struct DesktopSound
{
    bool on = true;
    QByteArray theme = QByteArrayLiteral("freedesktop");
};

// libcanberra learns of the user's theme and of "event sounds off" only through GTK, which
// reads them from the desktop; without GTK they are read here, from the settings GNOME and the
// desktops built on it keep. Elsewhere the sound plays from the default theme.
DesktopSound desktopSound()
{
    DesktopSound sound;
    GSettingsSchemaSource *source = g_settings_schema_source_get_default();
    // Looked up first: GSettings ends the program when asked for a schema that is not installed.
    const SchemaRef schema(source ? g_settings_schema_source_lookup(source, "org.gnome.desktop.sound", TRUE) : nullptr);
    if (!schema)
        return sound;
    const SettingsRef settings(g_settings_new_full(schema.get(), nullptr, nullptr));
    if (g_settings_schema_has_key(schema.get(), "event-sounds"))
        sound.on = g_settings_get_boolean(settings.get(), "event-sounds");
    const Text theme(g_settings_schema_has_key(schema.get(), "theme-name") ? g_settings_get_string(settings.get(), "theme-name")
                                                                            : nullptr);
    if (theme && *theme)
        sound.theme = theme.get();
    return sound;
}

} // namespace

void AlertSound::ContextDeleter::operator()(ca_context *context) const
{
    ca_context_destroy(context);
}

AlertSound::AlertSound(QObject *parent)
    : QObject(parent)
{
    // One sound at a time: the context is made at the first and used by all.
    m_worker.setMaxThreadCount(1);
}

AlertSound::~AlertSound() = default;

void AlertSound::play()
{
    m_worker.start([this] {
        const DesktopSound desktop = desktopSound();
        Outcome outcome = Outcome::EventSoundsOff;
        if (desktop.on) {
            if (!m_context) {
                ca_context *context = nullptr;
                if (ca_context_create(&context) == CA_SUCCESS) {
                    m_context.reset(context);
                    ca_context_change_props(context, CA_PROP_APPLICATION_NAME, "Doppio Quovadex", CA_PROP_APPLICATION_ID,
                                            "quovadex3", nullptr);
                }
            }
            const int played = m_context ? ca_context_play(m_context.get(), 0, CA_PROP_EVENT_ID, "message-new-instant",
                                                           CA_PROP_EVENT_DESCRIPTION, "Avviso di un valore seguito",
                                                           CA_PROP_CANBERRA_XDG_THEME_NAME, desktop.theme.constData(), nullptr)
                                         : CA_ERROR_NOTAVAILABLE;
            outcome = played == CA_SUCCESS ? Outcome::Played : Outcome::Failed;
        }
        QMetaObject::invokeMethod(this, [this, outcome] { emit finished(outcome); }, Qt::QueuedConnection);
    });
}
