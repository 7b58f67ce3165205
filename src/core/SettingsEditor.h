#pragma once

#include <array>

#include <QString>
#include <QWidget>

#include "core/SiteSettings.h"

class QLabel;
class QLineEdit;
class QPushButton;

// "Configurazione": edits the six site shortcuts and the upper pane's start page. Made once
// and afterwards only shown and hidden, so its boxes keep unsaved edits. It writes the
// settings file itself and hands the saved values back; it knows no window.
class SettingsEditor final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SettingsEditor)
public:
    explicit SettingsEditor(const QString &filePath, QWidget *parent = nullptr);

    static constexpr int BoxCount = SiteSettings::LineCount;

    struct Controls
    {
        std::array<QLineEdit *, BoxCount> boxes = {}; // box i holds line i+1 of the file
        QLabel *startPageCaption = nullptr;
        QLabel *instructions = nullptr;
        QPushButton *save = nullptr;
        QPushButton *cancel = nullptr;
    };
    const Controls &controls() const { return m_controls; }

    void setSettings(const SiteSettings &settings);

    static QString instructionText();

    void toggleShown();
    // Writes the file; only once it is safe on disk are the values handed on and the
    // editor hidden. A save that fails says why and keeps the edits.
    void saveAndHide();

signals:
    void saved(const SiteSettings &settings);

private:
    QString m_filePath;
    Controls m_controls;
};
