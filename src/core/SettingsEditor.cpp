#include "core/SettingsEditor.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "common/Colors.h"
#include "common/Controls.h"
#include "common/DesignFonts.h"
#include "common/Maker.h"
#include "common/MessageBox.h"
#include "common/Twips.h"
#include "core/SettingsFile.h"

namespace {

constexpr double ClientWidth = 6765;
constexpr double ClientHeight = 5340;

} // namespace

QString SettingsEditor::instructionText()
{
    // The doubled blanks are part of the text as it has always been shown.
    return QStringLiteral("Inserire nella prima colonna il nome del sito come lo si vuole visualizzare sul tasto "
                          "8 caratteri Max. Inserire nella seconda colonna l'indirizzo del sito corrispondente. "
                          "Inserire nel campo \"Indirizzo pagina iniziale\" l'indirizzo di default della seconda "
                          "finestra Browser.  L'indirizzo di default  della  prima  finestra Browser non si pu\u00f2 "
                          "cambiare ed \u00e8 ")
        + QLatin1Char('"') + Maker::webSite() + QLatin1Char('"');
}

SettingsEditor::SettingsEditor(const QString &filePath, QWidget *parent)
    : QWidget(parent, Qt::Tool)
    , m_filePath(filePath)
{
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("Configurazione"));
    setFont(DesignFonts::msSansSerif(8.25, false));
    setFixedSize(Twips::toPixels(ClientWidth, Twips::dpiX(this)), Twips::toPixels(ClientHeight, Twips::dpiY(this)));

    using K = ControlKind;
    using F = FontRole;
    std::array<QLineEdit *, BoxCount> &b = m_controls.boxes;
    const DesignRow design[] = {
        {{}, {"Label1", K::Label, "Nome Sito", "", 180, 90, 825, 195, true, F::Inherit}},
        {{}, {"Label2", K::Label, "Indirizzo Server", "", 2835, 90, 1275, 195, true, F::Inherit}},
        {b[0], {"Text1(0)", K::TextBox, "", "", 90, 360, 870, 285, true, F::Inherit}},
        {b[1], {"Text1(1)", K::TextBox, "", "", 1125, 360, 5550, 285, true, F::Inherit}},
        {b[2], {"Text1(2)", K::TextBox, "", "", 90, 720, 870, 285, true, F::Inherit}},
        {b[3], {"Text1(3)", K::TextBox, "", "", 1125, 720, 5550, 285, true, F::Inherit}},
        {b[4], {"Text1(4)", K::TextBox, "", "", 90, 1080, 870, 285, true, F::Inherit}},
        {b[5], {"Text1(5)", K::TextBox, "", "", 1125, 1080, 5550, 285, true, F::Inherit}},
        {b[6], {"Text1(6)", K::TextBox, "", "", 90, 1440, 870, 285, true, F::Inherit}},
        {b[7], {"Text1(7)", K::TextBox, "", "", 1125, 1440, 5550, 285, true, F::Inherit}},
        {b[8], {"Text1(8)", K::TextBox, "", "", 90, 1800, 870, 285, true, F::Inherit}},
        {b[9], {"Text1(9)", K::TextBox, "", "", 1125, 1800, 5550, 285, true, F::Inherit}},
        {b[10], {"Text1(10)", K::TextBox, "", "", 90, 2160, 870, 285, true, F::Inherit}},
        {b[11], {"Text1(11)", K::TextBox, "", "", 1125, 2160, 5550, 285, true, F::Inherit}},
        {m_controls.startPageCaption,
         {"Label3", K::Label, "Indirizzo pagina iniziale ", "", 2520, 2610, 1770, 240, true, F::Inherit}},
        {b[12], {"Text1(12)", K::TextBox, "", "", 90, 2925, 6585, 285, true, F::Inherit}},
        {m_controls.instructions, {"Label4", K::Label, "", "", 135, 3420, 6495, 1365, true, F::SansSerif975}},
        {m_controls.save, {"Command2", K::Button, "Esci e salva le modifiche", "", 90, 4905, 3345, 375, true, F::Inherit}},
        {m_controls.cancel,
         {"Command1", K::Button, "Esci senza salvare le modifiche", "", 3555, 4905, 3120, 375, true, F::Inherit}},
    };
    createControls(this, design);

    QLabel *instructions = m_controls.instructions;
    instructions->setWordWrap(true);
    instructions->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    instructions->setText(instructionText());
    Colors::setForeColor(instructions, 0x800000);
    connect(m_controls.save, &QPushButton::clicked, this, &SettingsEditor::saveAndHide);
    connect(m_controls.cancel, &QPushButton::clicked, this, &QWidget::hide);
}

void SettingsEditor::setSettings(const SiteSettings &settings)
{
    const QStringList lines = settings.toLines();
    for (int i = 0; i < BoxCount; ++i)
        m_controls.boxes[i]->setText(lines.at(i));
}

void SettingsEditor::toggleShown()
{
    if (isVisible()) {
        hide();
    } else {
        show();
        raise();
        activateWindow();
    }
}

void SettingsEditor::saveAndHide()
{
    QStringList values;
    for (QLineEdit *edit : m_controls.boxes)
        values << edit->text();

    // The file is safe on disk before anything in the main window changes; a save that
    // fails changes nothing and keeps the editor open with the user's edits.
    QString error;
    if (!SettingsFile::write(m_filePath, values, &error)) {
        MessageBox::show(this, QMessageBox::Warning, QStringLiteral("Configurazione"),
                         QStringLiteral("Impossibile salvare le impostazioni nel file %1.\n%2")
                             .arg(SettingsFile::fileName(), error));
        return;
    }
    emit saved(SiteSettings::fromLines(values));
    hide();
}
