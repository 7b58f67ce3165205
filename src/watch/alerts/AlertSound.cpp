#include "watch/alerts/AlertSound.h"

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
    // An empty name is libcanberra's default theme too.
    if (theme)
        sound.theme = theme.get();
    return sound;
}

// One for the program, made at its first sound and never destroyed: destroying a context
// unloads libcanberra's sound driver while the driver's thread that plays the last sound may
// still be running in it (libcanberra 0.30: a crash in libcanberra-alsa.so). Null where no
// driver could be loaded.
ca_context *sharedContext()
{
    static ca_context *const shared = [] {
        ca_context *context = nullptr;
        if (ca_context_create(&context) != CA_SUCCESS)
            return static_cast<ca_context *>(nullptr);
        ca_context_change_props(context, CA_PROP_APPLICATION_NAME, "Doppio Quovadex", CA_PROP_APPLICATION_ID, "quovadex3",
                                nullptr);
        return context;
    }();
    return shared;
}

} // namespace

AlertSound::AlertSound(QObject *parent)
    : QObject(parent)
{
}

void AlertSound::play()
{
    m_worker.start([this] {
        const DesktopSound desktop = desktopSound();
        Outcome outcome = Outcome::EventSoundsOff;
        if (desktop.on) {
            ca_context *context = sharedContext();
            const int played = context ? ca_context_play(context, 0, CA_PROP_EVENT_ID, "message-new-instant",
                                                         CA_PROP_EVENT_DESCRIPTION, "Avviso di un valore seguito",
                                                         CA_PROP_CANBERRA_XDG_THEME_NAME, desktop.theme.constData(), nullptr)
                                       : CA_ERROR_NOTAVAILABLE;
            outcome = played == CA_SUCCESS ? Outcome::Played : Outcome::Failed;
        }
        QMetaObject::invokeMethod(this, [this, outcome] { emit finished(outcome); }, Qt::QueuedConnection);
    });
}
