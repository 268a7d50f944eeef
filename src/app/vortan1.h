#pragma once

// The main window. How a Play becomes sound:
//   Memo1 (Unicode) -> exerciseText() (windows-1250 bytes, CR LF lines)
//   -> Synthesizer::txtofile() with the five slider positions -> temporary WAV file
//   -> SoundPlayer::play(), which returns at once while the server plays the file.
// Play renders only when Memo1's modified mark is set (any text edit, slider move, applied
// preset or Save WAV sets it) or the file is gone; otherwise it replays the last rendering.
// The presets live in SettingsModel, owned by main(); the sliders show the current preset
// clamped to their ranges, the preset keeps its numbers until the user moves a slider.

#include "app/error_box.h"
#include "settings/settings_schema.h"

#include <QWidget>

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>

class QCloseEvent;
class QAbstractButton;

namespace vortan {

namespace Ui {
class TForm1;
}

class Clock;
class ExerciseTextDialogs;
class OutputVolume;
class RandomGenerator;
class SettingsModel;
class SingleFileDialog;
class SoundPlayer;
class Synthesizer;
class TForm2;
struct WriteRules;

// What main() builds and hands to the main window: program-level state and platform services.
// The window keeps references; all of it must outlive the window.
struct ProgramContext {
    SettingsModel& settings;
    Synthesizer& synthesizer;
    RandomGenerator& random;
    const Clock& clock;
    SoundPlayer* player = nullptr;        // null: Play renders but nothing sounds
    OutputVolume* outputVolume = nullptr; // null: the volume slider acts on nothing
    std::filesystem::path settingsFile;
    std::filesystem::path temporarySoundFile;
};

class TForm1 : public QWidget {
    Q_OBJECT
public:
    explicit TForm1(const ProgramContext& context, QWidget* parent = nullptr);
    ~TForm1() override;

    // Where command errors go; the standard error box unless replaced (tests record instead).
    void setErrorReporter(ErrorReporter reporter);
    // The file dialog step of Save WAV: returns the chosen file, or nothing when cancelled.
    using FileChooser = std::function<std::optional<std::filesystem::path>()>;
    void setWavFileChooser(FileChooser chooser);
    // The file dialogs of Open and Save (text); tests put fakes in their stead.
    void setTextDialogs(std::unique_ptr<ExerciseTextDialogs> dialogs);
    // The window that O1Click shows; not owned.
    void setAboutWindow(TForm2* aboutWindow);

    // Runs one command; an exception ends it and its message goes to the error reporter.
    // Returns whether the command ran to its end.
    bool runCommand(const std::function<void()>& command);

    // A logout, shutdown or termination signal: saves what a close saves, shows nothing, never
    // throws; failures go to stderr.
    void endSession() noexcept;

    // The exercise text as the synthesizer and the text files take it: windows-1250, CR LF.
    std::string exerciseText() const;

    // Apply the current preset to the sliders, the character set, the displays; set the mark.
    void setall();

public slots:
    void TrackBar1Change();
    void TrackBar2Change();
    void TrackBar3Change();
    void TrackBar4Change();
    void TrackBar5Change();
    void ComboBox1Change();
    void SpeedItem5Click();
    void SpeedItem6Click();
    void SpeedItem7Click();
    void Ustawstandardowe1Click();
    void SpeedButton1Click();        // Play
    void SpeedButton2Click();        // Stop
    void Zapiszdwik1Click();         // Save WAV
    void N2Click();                  // Random
    void Nowytekst1Click();          // Clear
    void Otwrzplikzeznakami1Click(); // Open
    void Zapiszznaki1Click();        // Save text
    void Drukuj1Click();             // Print
    void O1Click();                  // About

signals:
    // The close went through: the program ends.
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void FormCreate();
    void FormClose();
    void applyToolbarBackground();
    void applyFonts();
    void setUpDisplays();
    void setUpGlyphsAndShortcuts();
    void connectControls();
    void connectCommand(QAbstractButton* button, void (TForm1::*handler)());
    void showTempo();
    void setModifiedMark();
    void renderTo(const std::filesystem::path& wavFile, const WriteRules& rules);
    std::optional<std::filesystem::path> chooseWavFileWithDialog();

    std::unique_ptr<Ui::TForm1> ui;
    SettingsModel& m_settings;
    Synthesizer& m_synthesizer;
    RandomGenerator& m_random;
    const Clock& m_clock;
    SoundPlayer* m_player;
    std::filesystem::path m_settingsFile;
    std::filesystem::path m_temporarySoundFile;
    Presets m_presetsAtStart; // as read at start: the close writes only what changed since
    ErrorReporter m_reportError;
    FileChooser m_chooseWavFile;
    SingleFileDialog* m_wavDialog = nullptr;
    std::unique_ptr<ExerciseTextDialogs> m_textDialogs;
    TForm2* m_aboutWindow = nullptr;
    // Set while setall moves the sliders, so that their handlers leave the preset alone.
    bool m_applyingPreset = false;
};

} // namespace vortan
